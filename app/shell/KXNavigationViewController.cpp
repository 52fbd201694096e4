#include "app/shell/KXNavigationViewController.h"

#include "app/components/UIBarButtonItemItem.h"
#include "graphics/UIImage.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPanGestureRecognizer.h"

// Styling the contained bars is the class's load-time work; a static
// initialiser is its counterpart here. The top-level CMakeLists names this
// symbol so that every program linking the app carries this file.
extern "C" const bool KXNavigationViewControllerLoaded = KXNavigationViewController::load();

bool KXNavigationViewController::load() {
    auto bar = UINavigationBar::appearanceWhenContainedInInstancesOfClass<KXNavigationViewController>();
    bar->setTitleTextAttributes({.font = UIFont::systemFontOfSize(18),
                                 .foregroundColor = UIColor::colorWithRed(0.2, 0.2, 0.2, 1.0)});
    bar->setBarTintColor(UIColor::whiteColor());
    return true;
}

void KXNavigationViewController::viewDidLoad() {
    UINavigationController::viewDidLoad();
    WeakRef<KXNavigationViewController> weak = self<KXNavigationViewController>();
    auto pan = make<UIPanGestureRecognizer>(self(), [weak](const Ref<UIGestureRecognizer>& recognizer) {
        if (auto controller = weak.lock()) controller->handleNavigationTransition(cast<UIPanGestureRecognizer>(recognizer));
    });
    pan->setDelegate(self<KXNavigationViewController>());
    view()->addGestureRecognizer(pan);
    if (auto edgeSwipe = interactivePopGestureRecognizer()) edgeSwipe->setEnabled(false);
}

bool KXNavigationViewController::gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&,
                                                                     const Ref<UITouch>&) {
    return viewControllers().size() > 1;
}

void KXNavigationViewController::pushViewController(const Ref<UIViewController>& controller, bool animated) {
    if (controller && !viewControllers().empty()) {
        controller->setHidesBottomBarWhenPushed(true);
        auto back = UIImage::imageNamed("fanghui_QC");
        auto self = this->self<KXNavigationViewController>();
        controller->navigationItem()->setLeftBarButtonItem(UIBarButtonItemItem::backItemWithimage(
            back, back, self, bindTargetAction<UIControl>(self, &KXNavigationViewController::back), "  "));
    }
    UINavigationController::pushViewController(controller, animated);
}

void KXNavigationViewController::back() { popViewControllerAnimated(true); }
