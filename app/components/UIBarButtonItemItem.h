#pragma once

#include <string>

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIControl.h"

// Bar items of the older screens, each a custom button sized to fit that
// sends `action` to `target` on touch-up-inside.
class UIBarButtonItemItem {
public:
    UIBarButtonItemItem() = delete;

    // A red-backed button with a normal and a highlighted image, inside a
    // plain view of the button's bounds that is the item's custom view.
    static Ref<UIBarButtonItem> itemWithimageHighImageTargetAction(const Ref<UIImage>& image,
                                                                   const Ref<UIImage>& highImage,
                                                                   const Ref<NSObject>& target,
                                                                   UIControl::Action action);
    // The same with an image for the selected state and no background.
    static Ref<UIBarButtonItem> itemWithimageSelImageTargetAction(const Ref<UIImage>& image, const Ref<UIImage>& selImage,
                                                                  const Ref<NSObject>& target, UIControl::Action action);
    // The navigation bar's back item: a button with the title (black, red
    // while highlighted) and the images, sized to fit, its content then
    // moved 5 points left; the button itself is the custom view.
    static Ref<UIBarButtonItem> backItemWithimage(const Ref<UIImage>& image, const Ref<UIImage>& highImage,
                                                  const Ref<NSObject>& target, UIControl::Action action,
                                                  std::string title);
};
