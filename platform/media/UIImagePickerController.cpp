#include "media/UIImagePickerController.h"

#include <algorithm>

#include "foundation/DispatchQueue.h"
#include "media/SimulatedCamera.h"
#include "media/SimulatedPhotoLibrary.h"

namespace {

Ref<UIImage> centredSquare(const Ref<UIImage>& picture) {
    const auto& bitmap = picture->CGImage();
    auto width = CGFloat(bitmap->width()), height = CGFloat(bitmap->height());
    CGFloat side = std::min(width, height);
    auto square = CGImageCreateWithImageInRect(bitmap, CGRectMake((width - side) / 2, (height - side) / 2, side, side));
    return UIImage::imageWithCGImage(square, picture->scale(), picture->imageOrientation());
}

}  // namespace

bool UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType type) {
    return type != UIImagePickerControllerSourceType::Camera || SimulatedCamera::isPresent();
}

void UIImagePickerController::viewDidAppear(bool animated) {
    UIViewController::viewDidAppear(animated);
    auto pick = SimulatedPhotoLibrary::takePick();
    if (!pick) return;
    DispatchQueue::main()->async([weak = weakSelf<UIImagePickerController>(), picture = *pick] {
        auto picker = weak.lock();
        if (!picker) return;
        if (auto delegate = picker->delegate()) delegate->imagePickerController(picker, picker->infoForPick(picture));
    });
}

Dictionary UIImagePickerController::infoForPick(const Ref<UIImage>& picture) const {
    Dictionary info{{UIImagePickerControllerMediaType, "public.image"}};
    if (!picture || !picture->CGImage()) return info;
    info.set(UIImagePickerControllerOriginalImage, picture);
    if (allowsEditing_) info.set(UIImagePickerControllerEditedImage, centredSquare(picture));
    return info;
}
