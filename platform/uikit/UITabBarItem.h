#pragma once

#include "uikit/UIBarItem.h"

// A controller's entry in a tab bar: its title and image, and the image
// shown while its tab is selected (the plain image when none is set).
class UITabBarItem : public UIBarItem {
public:
    UITabBarItem() = default;
    UITabBarItem(std::string title, const Ref<UIImage>& image, const Ref<UIImage>& selectedImage);

    Ref<UIImage> selectedImage() const { return selectedImage_; }
    void setSelectedImage(const Ref<UIImage>& image);

private:
    Ref<UIImage> selectedImage_;
};
