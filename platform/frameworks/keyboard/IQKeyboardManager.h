#pragma once

#include "foundation/NSObject.h"

// The app-wide keyboard helper's switches (`shared()`): whether it works at
// all, whether a touch outside the edited field ends editing, and whether
// fields get the previous/next/done bar over the keyboard. The headless
// keyboard has no frame to avoid and no bar to show, so the switches are
// kept for the screens that set them; they stay in force until changed.
class IQKeyboardManager : public NSObject {
public:
    static Ref<IQKeyboardManager> shared();

    bool enable() const { return enable_; }
    void setEnable(bool enable) { enable_ = enable; }
    bool shouldResignOnTouchOutside() const { return shouldResignOnTouchOutside_; }
    void setShouldResignOnTouchOutside(bool resign) { shouldResignOnTouchOutside_ = resign; }
    bool enableAutoToolbar() const { return enableAutoToolbar_; }
    void setEnableAutoToolbar(bool enable) { enableAutoToolbar_ = enable; }

private:
    bool enable_ = true;
    bool shouldResignOnTouchOutside_ = false;
    bool enableAutoToolbar_ = true;
};
