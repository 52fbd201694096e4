#include "app/shell/KXTabBarController.h"

#include "app/promotion/KXHomePageViewController.h"
#include "app/promotion/KXManagementViewController.h"
#include "app/promotion/KXPromoteViewController.h"
#include "app/promotion/MyViewController.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXNavigationViewController.h"
#include "graphics/UIImage.h"
#include "uikit/UITabBarItem.h"

namespace {

// The account kind without the promotion tab.
const std::string kAccountWithoutPromotion = "3";

}  // namespace

void KXTabBarController::viewDidLoad() {
    UITabBarController::viewDidLoad();
    setDelegate(self<KXTabBarController>());
    if (KXLocallyStoredData::getAppStr() == kAccountWithoutPromotion) {
        addControllerWithTitle("首页", "home_Tabar", "home_Tabar", make<KXHomePageViewController>());
    } else {
        addControllerWithTitle("首页", "tabbar_Home_Normal", "tabbar_Home_Select", make<KXHomePageViewController>());
        addControllerWithTitle("推广", "tuiguan_tabar", "tuguan_sel_tabar", make<KXPromoteViewController>());
    }
    addControllerWithTitle("管理", "guanLi_tabar", "guanli_sele_tabar", make<KXManagementViewController>());
    addControllerWithTitle("我的", "weixuanzhondemy_ico", "My_sele_tabar", make<MyViewController>());
}

void KXTabBarController::addControllerWithTitle(std::string title, const std::string& imageName,
                                                const std::string& selectImage,
                                                const Ref<UIViewController>& controller) {
    auto navigation = make<KXNavigationViewController>(controller);
    controller->tabBarItem()->setImage(UIImage::imageNamed(imageName));
    controller->setTitle(std::move(title));
    tabBar()->setTintColor(UIColor::colorWithRed(88 / 255.0, 121 / 255.0, 255 / 255.0, 1.0));
    auto selected = UIImage::imageNamed(selectImage);
    controller->tabBarItem()->setSelectedImage(
        selected ? selected->imageWithRenderingMode(UIImageRenderingMode::AlwaysOriginal) : nullptr);
    addChildViewController(navigation);
}

bool KXTabBarController::shouldSelectViewController(const Ref<UITabBarController>& tabBarController,
                                                    const Ref<UIViewController>& viewController) {
    return viewController != tabBarController->selectedViewController();
}
