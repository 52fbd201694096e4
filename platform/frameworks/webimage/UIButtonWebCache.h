#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIControl.h"

class NSURL;
class UIButton;
class UIImage;

// Web images for a button's image in one control state, as image views get
// them (UIImageViewWebCache): placeholder at once, then the loaded image; a
// later call for the same state, or the button's end, cancels the load.
class UIButtonWebCache {
public:
    static void sd_setImageWithURL(const Ref<UIButton>& button, const Ref<NSURL>& url, UIControlState state,
                                   const Ref<UIImage>& placeholder = nullptr);
};
