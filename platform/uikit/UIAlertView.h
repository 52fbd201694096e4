#pragma once

#include <string>
#include <vector>

#include "uikit/UIView.h"

class AlertCardView;
class UIAlertView;
class UIWindow;

// What the older alert view tells its delegate. Every method is optional.
class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    // A button was tapped (not sent for dismissWithClickedButtonIndex).
    virtual void clickedButtonAtIndex(const Ref<UIAlertView>&, long /*buttonIndex*/) {}
    virtual void didDismissWithButtonIndex(const Ref<UIAlertView>&, long /*buttonIndex*/) {}
};

// The older alert: a title, a message and buttons (the cancel button, when
// given, has index 0; the others follow in order). `show` puts it in a
// window of its own above the app's, made key so the driver taps its
// buttons; a tap tells the delegate clickedButtonAtIndex, then the alert
// goes away at once and the delegate hears didDismissWithButtonIndex, and
// the window that was key before becomes key again. The delegate is held
// weakly; the showing window keeps the alert alive.
class UIAlertView : public UIView {
public:
    UIAlertView(std::string title, std::string message, const Ref<UIAlertViewDelegate>& delegate,
                std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});

    const std::string& title() const { return title_; }
    const std::string& message() const { return message_; }
    Ref<UIAlertViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UIAlertViewDelegate>& delegate) { delegate_ = delegate; }
    long numberOfButtons() const { return static_cast<long>(buttonTitles_.size()); }
    // -1 without a cancel button.
    long cancelButtonIndex() const { return hasCancelButton_ ? 0 : -1; }
    std::string buttonTitleAtIndex(long index) const;
    bool isVisible() const { return window_ != nullptr; }

    void show();
    void dismissWithClickedButtonIndex(long buttonIndex, bool animated);
    std::string className() const override { return "UIAlertView"; }

protected:
    void didCreate() override;

private:
    void buttonTapped(long index);

    std::string title_;
    std::string message_;
    WeakRef<UIAlertViewDelegate> delegate_;
    bool hasCancelButton_;
    std::vector<std::string> buttonTitles_;
    Ref<AlertCardView> card_;
    Ref<UIWindow> window_;
    WeakRef<UIWindow> previousKeyWindow_;
};
