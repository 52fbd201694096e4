#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIControl.h"

class NSURL;
class UIButton;
class UIImage;

// Web images for a button's image in one control state, as image views get
// them (UIImageViewWebCache): placeholder at once, the loaded image when the
// state still wants that address.
class UIButtonWebCache {
public:
    static void sd_setImageWithURL(const Ref<UIButton>& button, const Ref<NSURL>& url, UIControlState state,
                                   const Ref<UIImage>& placeholder = nullptr);
};
