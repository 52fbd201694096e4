#pragma once

#include "foundation/NSObject.h"
#include "uikit/UIGestureRecognizerDelegate.h"
#include "uikit/UITapGestureRecognizer.h"

class UIView;

// The app-wide keyboard helper's switches (`shared()`): whether it works at
// all, whether a touch outside the edited field ends editing, and whether
// fields get the previous/next/done bar over the keyboard. They stay in
// force until changed.
//
// While a text field or text view is being edited and both `enable` and
// `shouldResignOnTouchOutside` are on, a tap recognizer sits on the field's
// window: a tap anywhere in it except on a control (another field, a
// button) or a navigation bar ends the editing; the tapped view still gets
// its tap. The headless keyboard has no frame to avoid and no bar to show,
// so `enableAutoToolbar` is kept for the screens that set it.
class IQKeyboardManager : public NSObject, public UIGestureRecognizerDelegate {
public:
    static Ref<IQKeyboardManager> shared();

    bool enable() const { return enable_; }
    void setEnable(bool enable) { enable_ = enable; }
    bool shouldResignOnTouchOutside() const { return shouldResignOnTouchOutside_; }
    void setShouldResignOnTouchOutside(bool resign) { shouldResignOnTouchOutside_ = resign; }
    bool enableAutoToolbar() const { return enableAutoToolbar_; }
    void setEnableAutoToolbar(bool enable) { enableAutoToolbar_ = enable; }

    // The recognizer that ends editing on a tap outside the field.
    const Ref<UITapGestureRecognizer>& resignFirstResponderGesture() const { return resignGesture_; }

    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>& recognizer,
                                             const Ref<UITouch>& touch) override;

protected:
    void didCreate() override;

private:
    void editingBegan(const Ref<UIView>& field);
    void editingEnded();
    void tappedOutside(const Ref<UIGestureRecognizer>& recognizer);

    bool enable_ = true;
    bool shouldResignOnTouchOutside_ = false;
    bool enableAutoToolbar_ = true;
    Ref<UITapGestureRecognizer> resignGesture_;
};
