#include "app/shell/KXNavigationController.h"

#include "app/shell/UIColorHex.h"
#include "uikit/UIButton.h"
#include "uikit/UIDevice.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UINavigationBarAppearance.h"
#include "uikit/UINavigationItem.h"

namespace {

constexpr const char* kBackImage = "fanghui_QC";

// The system version's leading number ("15.0" gives 15).
int majorSystemVersion() { return std::atoi(UIDevice::currentDevice()->systemVersion().c_str()); }

}  // namespace

void KXNavigationController::viewDidLoad() {
    UINavigationController::viewDidLoad();
    auto bar = UINavigationBar::appearance();
    bar->setTranslucent(false);
    bar->setTitleTextAttributes({.font = UIFont::boldSystemFontOfSize(18),
                                 .foregroundColor = UIColorHex::colorWithHexStringWithHexString("#333333")});
    bar->setTintColor(UIColorHex::colorWithHexStringWithHexString("#333333"));
    bar->setBackIndicatorTransitionMaskImage(UIImage::imageNamed(kBackImage));
    bar->setShadowImage(make<UIImage>());
    if (auto recognizer = interactivePopGestureRecognizer()) {
        recognizer->setEnabled(true);
        recognizer->setDelegate(self<KXNavigationController>());
    }
    if (majorSystemVersion() >= 15) {
        auto appearance = make<UINavigationBarAppearance>();
        appearance->configureWithOpaqueBackground();
        bar->setStandardAppearance(appearance);
        bar->setScrollEdgeAppearance(appearance);
    }
}

void KXNavigationController::pushViewController(const Ref<UIViewController>& controller, bool /*animated*/) {
    if (controller && !viewControllers().empty()) {
        controller->setHidesBottomBarWhenPushed(true);
        auto backImage = UIImage::imageNamed(kBackImage);
        if (!backImage) backImage = make<UIImage>();
        controller->navigationItem()->setLeftBarButtonItem(
            makeBarButtonItem(backImage, backImage, self<KXNavigationController>(),
                              bindTargetAction<UIControl>(self<KXNavigationController>(), &KXNavigationController::back),
                              " "));
    }
    UINavigationController::pushViewController(controller, true);
}

void KXNavigationController::back() { popViewControllerAnimated(false); }

Ref<UIBarButtonItem> KXNavigationController::makeBarButtonItem(const Ref<UIImage>& image,
                                                               const Ref<UIImage>& highlightedImage,
                                                               const Ref<NSObject>& target, UIControl::Action action,
                                                               std::string title) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(std::move(title), UIControlStateNormal);
    button->setImage(image, UIControlStateNormal);
    button->setImage(highlightedImage, UIControlStateHighlighted);
    button->sizeToFit();
    button->setContentEdgeInsets({0, -5, 0, 0});
    button->sizeToFit();
    button->addTarget(target, std::move(action), UIControlEventTouchUpInside);
    return make<UIBarButtonItem>(button);
}
