#pragma once

#include <optional>
#include <string>

#include "uikit/UINavigationController.h"

// The navigation controller around the kit's web screen. Its bar shows the
// image the host app names under "nimbusSDKResource" / "NavigationBar" in
// its information file, else the kit's own bar image, when the file exists.
class NBWebNavigationController : public UINavigationController {
public:
    using UINavigationController::UINavigationController;

    // The bar image; nothing when the setting names none or it is missing.
    static Ref<UIImage> navigationBarImage();

    void viewDidLoad() override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() override;
    bool shouldAutorotate() override;
    std::string className() const override { return "NBWebNavigationController"; }
};
