#include "app/shell/MBProgressHUDManager.h"

#include "graphics/UIImage.h"
#include "uikit/UIApplication.h"
#include "uikit/UIImageView.h"
#include "uikit/UIWindow.h"

namespace {

Ref<UIView> viewOrKeyWindow(const Ref<UIView>& view) {
    if (view) return view;
    return UIApplication::sharedApplication()->keyWindow();
}

}  // namespace

void MBProgressHUDManager::showIconMessage(const std::string& text, const std::string& icon,
                                           const Ref<UIView>& view, double hideDelay, const std::string& details) {
    hideHUDForView(view);
    Ref<UIView> host = viewOrKeyWindow(view);
    if (!host) return;
    auto hud = MBProgressHUD::showHUDAddedTo(host, true);
    hud->label()->setText(text);
    hud->detailsLabel()->setText(details);
    auto iconView = make<UIImageView>(icon.empty() ? nullptr : UIImage::imageNamed("MBProgressHUD.bundle/" + icon));
    hud->setCustomView(iconView);
    hud->setMode(MBProgressHUDMode::CustomView);
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hideAnimated(true, hideDelay);
}

void MBProgressHUDManager::show(const std::string& text, const std::string& icon, const Ref<UIView>& view) {
    showIconMessage(text, icon, view, 1.0);
}

void MBProgressHUDManager::showtext(const std::string& text, const std::string& icon, const Ref<UIView>& view) {
    showIconMessage(text, icon, view, 2.0);
}

void MBProgressHUDManager::show(const std::string& text) { show(text, "", nullptr); }

void MBProgressHUDManager::showProblem(const std::string& text, const std::string& details) {
    showIconMessage(text, "error.png", nullptr, 3.0, details);
}

void MBProgressHUDManager::showSuccess(const std::string& text, const Ref<UIView>& view) {
    show(text, "success.png", view);
}

void MBProgressHUDManager::showError(const std::string& text, const Ref<UIView>& view) {
    show(text, "error.png", view);
}

Ref<MBProgressHUD> MBProgressHUDManager::showMessage(const std::string& text, const Ref<UIView>& view) {
    Ref<UIView> host = viewOrKeyWindow(view);
    if (!host) return nullptr;
    auto hud = MBProgressHUD::showHUDAddedTo(host, true);
    hud->label()->setText(text);
    hud->setRemoveFromSuperViewOnHide(true);
    return hud;
}

void MBProgressHUDManager::hideHUD() { hideHUDForView(nullptr); }

void MBProgressHUDManager::hideHUDForView(const Ref<UIView>& view) {
    MBProgressHUD::hideHUDForView(viewOrKeyWindow(view), true);
}

Ref<MBProgressHUD> MBProgressHUDManager::showLoading() { return showMessage("正在加载..."); }

void MBProgressHUDManager::showError() { showError("加载失败!"); }

void MBProgressHUDManager::showSuccess() { showSuccess("加载成功!"); }
