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
    // The navigation bar's back item (KXNavigationController's bar button)
    // with the title black, and red while highlighted.
    static Ref<UIBarButtonItem> backItemWithimage(const Ref<UIImage>& image, const Ref<UIImage>& highImage,
                                                  const Ref<NSObject>& target, UIControl::Action action,
                                                  std::string title);
};
