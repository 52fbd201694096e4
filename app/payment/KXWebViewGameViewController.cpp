#include "app/payment/KXWebViewGameViewController.h"

#include "app/components/KXViewUtils.h"
#include "frameworks/constraints/MASAdditions.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITabBarController.h"

void KXWebViewGameViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::whiteColor());
    navigationItem()->setTitle(gname_);

    webView1_ = KXGameWebView::initWithUrlString(urlString_);
    webView1_->setAccessibilityIdentifier("webView1");
    view()->addSubview(webView1_);
    webView1_->setKongzhiView(self<KXWebViewGameViewController>());

    header_ = make<KXHeaderView>();
    header_->setAccessibilityIdentifier("header");
    header_->setHidden(true);
    header_->title()->setText(gname_);
    WeakRef<KXWebViewGameViewController> weakSelf = self<KXWebViewGameViewController>();
    header_->setLeftClick([weakSelf] {
        if (auto screen = weakSelf.lock()) screen->headerBack();
    });
    view()->addSubview(header_);

    mas_makeConstraints(header_, [&](MASConstraintMaker& make) {
        make.top.left.right.equalTo(view());
        make.height.mas_equalTo(0);
    });
    mas_makeConstraints(webView1_, [&](MASConstraintMaker& make) {
        make.top.equalTo(mas_bottom(header_));
        make.left.right.bottom.equalTo(view());
    });
}

void KXWebViewGameViewController::headerBack() {
    if (auto current = KXViewUtils::getCurrentVC()) {
        if (auto stack = current->navigationController()) stack->popViewControllerAnimated(true);
    }
    if (auto tabs = tabBarController()) tabs->tabBar()->setHidden(isPush_);
}
