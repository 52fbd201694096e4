#pragma once

#include <string>

#include "uikit/UITabBarController.h"

// The earlier family's tab bar: 首页 (KXHomePageViewController), 推广
// (KXPromoteViewController, left out for the account kind "3"), 管理
// (KXManagementViewController) and 我的 (MyViewController), each the root of
// its own KXNavigationViewController. It is its own delegate, so that a tap
// on the tab already shown does nothing (no pop to the root).
class KXTabBarController : public UITabBarController, public UITabBarControllerDelegate {
public:
    void viewDidLoad() override;

    // Adds the screen, in a new navigation controller, as the next tab: the
    // title names the screen, its tab and its bar; the image is tinted, the
    // selected image drawn as it is.
    void addControllerWithTitle(std::string title, const std::string& imageName, const std::string& selectImage,
                                const Ref<UIViewController>& controller);

    bool shouldSelectViewController(const Ref<UITabBarController>& tabBarController,
                                    const Ref<UIViewController>& viewController) override;

    // Kept for callers; the tab bar itself reads the stored login state.
    const std::string& appStr() const { return appStr_; }
    void setAppStr(std::string appStr) { appStr_ = std::move(appStr); }

    std::string className() const override { return "KXTabBarController"; }

private:
    std::string appStr_;
};
