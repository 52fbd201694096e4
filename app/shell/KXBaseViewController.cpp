#include "app/shell/KXBaseViewController.h"

#include "uikit/UINavigationController.h"

void KXBaseViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    auto root = view();
    root->setBackgroundColor(UIColor::whiteColor());
    navigationView_ = make<KXNavigationView>(CGRectZero);
    navigationView_->setAccessibilityIdentifier("navigationView");
    root->addSubview(navigationView_);
    const CGFloat width = root->bounds().size.width;
    navigationView_->setFrame(CGRectMake(0, 0, width, navigationView_->sizeThatFits({width, 0}).height));
    navigationView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    WeakRef<KXBaseViewController> weak = self<KXBaseViewController>();
    navigationView_->backButtonClick = [weak] {
        auto screen = weak.lock();
        if (!screen) return;
        if (auto navigation = screen->navigationController()) navigation->popViewControllerAnimated(true);
    };
}

void KXBaseViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, animated);
}
