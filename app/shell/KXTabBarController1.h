#pragma once

#include <string>

#include "uikit/UITabBarController.h"

// The main tab bar of the signed-in app. Its view's first load styles every
// tab bar (white, no hairline, selected items "#5879FF", others "#333333",
// opaque), gives its own bar a soft shadow, and builds the four tabs, each
// screen the root of its own KXNavigationController: 首页 (KXHomeController),
// 资产 (KXAssetsController), 推广 (KXPromoteController), 我的 (KXMineController).
class KXTabBarController1 : public UITabBarController {
public:
    void viewDidLoad() override;

    // The screen's tab item gets the title and the two named images (drawn
    // as they are; none where the asset is missing); the screen goes into a
    // new KXNavigationController, added as the next tab.
    void addChildController(std::string title, const std::string& image, const std::string& selectedImage,
                            const Ref<UIViewController>& controller);

    std::string className() const override { return "KXTabBarController1"; }
};
