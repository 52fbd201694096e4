#include "app/shell/KXTabBarController1.h"

#include "app/shell/KXNavigationController.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/assets/KXAssetsController.h"
#include "app/tabs/home/KXHomeController.h"
#include "app/tabs/mine/KXMineController.h"
#include "app/tabs/promote/KXPromoteController.h"
#include "graphics/CGPath.h"
#include "uikit/UITabBarItem.h"

namespace {

Ref<UIImage> originalImageNamed(const std::string& name) {
    auto image = UIImage::imageNamed(name);
    return image ? image->imageWithRenderingMode(UIImageRenderingMode::AlwaysOriginal) : nullptr;
}

}  // namespace

void KXTabBarController1::viewDidLoad() {
    UITabBarController::viewDidLoad();
    auto appearance = UITabBar::appearance();
    appearance->setBackgroundColor(UIColor::whiteColor());
    appearance->setBackgroundImage(make<UIImage>());
    appearance->setShadowImage(make<UIImage>());
    appearance->setTintColor(UIColorHex::colorWithHexStringWithHexString("#5879FF"));
    appearance->setUnselectedItemTintColor(UIColorHex::colorWithHexStringWithHexString("#333333"));
    appearance->setTranslucent(false);

    auto barLayer = tabBar()->layer();
    barLayer->setShadowColor(UIColorHex::colorWithHexString("#EBEBEB", 0.34));
    barLayer->setShadowOffset({0, -3});
    barLayer->setShadowOpacity(1.0);
    barLayer->setShadowRadius(4.0);
    barLayer->setShadowPath(CGPathCreateWithRect(tabBar()->bounds(), nullptr));

    addChildController("首页", "tabbar_Home_Normal", "tabbar_Home_Select", make<KXHomeController>());
    addChildController("资产", "tabbar_Assets_Normal", "tabbar_Assets_Select", make<KXAssetsController>());
    addChildController("推广", "tabbar_Promote_Normal", "tabbar_Promote_Select", make<KXPromoteController>());
    addChildController("我的", "tabbar_Mine_Normal", "tabbar_Mine_Select", make<KXMineController>());
}

void KXTabBarController1::addChildController(std::string title, const std::string& image,
                                             const std::string& selectedImage,
                                             const Ref<UIViewController>& controller) {
    auto item = controller->tabBarItem();
    item->setImage(originalImageNamed(image));
    item->setSelectedImage(originalImageNamed(selectedImage));
    item->setTitle(std::move(title));
    addChildViewController(make<KXNavigationController>(controller));
}
