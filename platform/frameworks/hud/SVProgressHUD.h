#pragma once

#include <string>

#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The non-blocking information toast: a rounded dark box with an "i" mark
// and the status, centred on the key window. Touches pass through it. A new
// status replaces the one shown; each stays for a time that grows with its
// length (1.5 s plus 0.06 s a character, at most 5 s) on the main loop's
// clock. Without a key window the status is only logged. Callable from any
// thread: the view work happens on the main queue.
class SVProgressHUD : public UIView {
public:
    static void showInfoWithStatus(const std::string& status);
    // Takes the toast away now, if one shows (main thread).
    static void dismiss();
    // How long a status stays.
    static double displayDurationForString(const std::string& status);

    void layoutSubviews() override;

protected:
    void didCreate() override;

private:
    static void showOnMainThread(const std::string& status);

    Ref<UIView> box_;
    Ref<UIView> mark_;
    Ref<UILabel> statusLabel_;
};
