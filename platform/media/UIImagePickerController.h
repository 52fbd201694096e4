#pragma once

#include "graphics/UIImage.h"
#include "media/UIImagePickerControllerDelegate.h"
#include "uikit/UIViewController.h"

enum class UIImagePickerControllerSourceType { PhotoLibrary, Camera, SavedPhotosAlbum };

// The system's photo picker. When its view appears, the simulated user picks
// the next picture SimulatedPhotoLibrary holds (nothing happens while it
// holds none) and the delegate hears of it on the main queue. With editing
// allowed, the edited image is the picture's centred square, as the
// platform's crop box gives it by default.
class UIImagePickerController : public UIViewController {
public:
    // The photo library and album always; the camera when there is one.
    static bool isSourceTypeAvailable(UIImagePickerControllerSourceType type);

    UIImagePickerControllerSourceType sourceType() const { return sourceType_; }
    void setSourceType(UIImagePickerControllerSourceType type) { sourceType_ = type; }
    bool allowsEditing() const { return allowsEditing_; }
    void setAllowsEditing(bool allows) { allowsEditing_ = allows; }
    // Held weakly.
    Ref<UIImagePickerControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UIImagePickerControllerDelegate>& delegate) { delegate_ = delegate; }

    void viewDidAppear(bool animated) override;

private:
    Dictionary infoForPick(const Ref<UIImage>& picture) const;

    UIImagePickerControllerSourceType sourceType_ = UIImagePickerControllerSourceType::PhotoLibrary;
    bool allowsEditing_ = false;
    WeakRef<UIImagePickerControllerDelegate> delegate_;
};
