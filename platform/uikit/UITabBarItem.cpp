#include "uikit/UITabBarItem.h"

UITabBarItem::UITabBarItem(std::string title, const Ref<UIImage>& image, const Ref<UIImage>& selectedImage)
    : selectedImage_(selectedImage) {
    setTitle(std::move(title));
    setImage(image);
}

void UITabBarItem::setSelectedImage(const Ref<UIImage>& image) {
    selectedImage_ = image;
    itemDidChange();
}
