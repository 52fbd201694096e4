#pragma once

#include "foundation/Value.h"

class UIImagePickerController;

// Info keys of a finished pick.
inline constexpr const char* UIImagePickerControllerMediaType = "UIImagePickerControllerMediaType";
inline constexpr const char* UIImagePickerControllerOriginalImage = "UIImagePickerControllerOriginalImage";
inline constexpr const char* UIImagePickerControllerEditedImage = "UIImagePickerControllerEditedImage";

// Hears what the user picked.
class UIImagePickerControllerDelegate {
public:
    virtual ~UIImagePickerControllerDelegate() = default;
    // `info` holds the media type ("public.image") and, when the pick gave a
    // picture, the original image and (with editing allowed) the edited one,
    // as UIImage objects.
    virtual void imagePickerController(const Ref<UIImagePickerController>& picker, const Dictionary& info) = 0;
};
