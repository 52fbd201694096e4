#pragma once

#include <string>

#include "frameworks/hud/MBProgressHUD.h"
#include "uikit/UIView.h"

// The app's short HUD messages over the progress HUD: a text with a success
// or error icon that hides itself, and a lasting busy message. A null view
// always means the application's key window; with neither nothing shows.
// Every message first hides the view's topmost HUD, so a busy message is
// replaced by the outcome.
class MBProgressHUDManager {
public:
    MBProgressHUDManager() = delete;

    // `text` with the icon "MBProgressHUD.bundle/<icon>" (none when the image
    // is missing), hidden 1.0 s later.
    static void show(const std::string& text, const std::string& icon, const Ref<UIView>& view);
    // The same, hidden 2.0 s later.
    static void showtext(const std::string& text, const std::string& icon, const Ref<UIView>& view);
    // A text message without an icon.
    static void show(const std::string& text);
    static void showSuccess(const std::string& text, const Ref<UIView>& view = nullptr);
    static void showError(const std::string& text, const Ref<UIView>& view = nullptr);
    // An error whose `details` (a file and why) show in smaller lines under
    // `text` on the key window, hidden 3.0 s later.
    static void showProblem(const std::string& text, const std::string& details);
    // A busy HUD with `text` as its label; it stays until hidden.
    static Ref<MBProgressHUD> showMessage(const std::string& text, const Ref<UIView>& view = nullptr);
    static void hideHUD();
    // Hides the view's topmost HUD with animation.
    static void hideHUDForView(const Ref<UIView>& view);
    // The fixed messages "正在加载...", "加载失败!" and "加载成功!".
    static Ref<MBProgressHUD> showLoading();
    static void showError();
    static void showSuccess();

private:
    static void showIconMessage(const std::string& text, const std::string& icon, const Ref<UIView>& view,
                                double hideDelay, const std::string& details = "");
};
