#include "app/payment/KXChongzhijiemianViewController.h"

#include "app/payment/KXFlowExit.h"
#include "app/payment/KXResultPageViews.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

namespace {

// One "caption  amount" row of the card; answers the amount's label.
Ref<UILabel> addAmountRow(const Ref<UIView>& card, CGFloat y, const std::string& caption, const std::string& outlet) {
    const CGFloat width = card->bounds().size.width;
    auto name = make<UILabel>(CGRectMake(20, y, 120, 24));
    name->setText(caption);
    name->setFont(UIFont::systemFontOfSize(15));
    name->setTextColor(KXTeamColors::bodyText());
    card->addSubview(name);
    auto amount = make<UILabel>(CGRectMake(140, y, width - 160, 24));
    amount->setAccessibilityIdentifier(outlet);
    amount->setFont(UIFont::boldSystemFontOfSize(16));
    amount->setTextColor(KXTeamColors::accentBlue());
    amount->setTextAlignment(NSTextAlignment::Right);
    amount->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    card->addSubview(amount);
    return amount;
}

}  // namespace

void KXChongzhijiemianViewController::loadView() {
    UIViewController::loadView();
    auto card = KXResultPageViews::card(view(), 360, "beijingView");
    const CGFloat bottom = KXResultPageViews::addHeadline(card, "zhifu_chenggong", "充值成功", "预付款已到账");
    chongzhijingerLabel_ = addAmountRow(card, bottom + 10, "充值金额", "chongzhijingerLabel");
    yufukuanLabel_ = addAmountRow(card, bottom + 44, "预付款余额", "yufukuanLabel");

    const CGFloat half = (card->bounds().size.width - 60) / 2;
    auto back = KXResultPageViews::button(CGRectMake(20, bottom + 100, half, 44), "返回", "fanhuiBut", false);
    back->addTarget(self<KXChongzhijiemianViewController>(), &KXChongzhijiemianViewController::fanhuiBut,
                    UIControlEventTouchUpInside);
    card->addSubview(back);
    auto balance = KXResultPageViews::button(CGRectMake(40 + half, bottom + 100, half, 44), "查看预付款", "chaknaBut",
                                             true);
    balance->addTarget(self<KXChongzhijiemianViewController>(), &KXChongzhijiemianViewController::chaknaBut,
                       UIControlEventTouchUpInside);
    card->addSubview(balance);
    beijingView_ = card;
}

void KXChongzhijiemianViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    daohangNavigation();
}

void KXChongzhijiemianViewController::setupUI() {
    navigationItem()->setTitle("充值");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    if (auto card = beijingView()) {
        card->layer()->setCornerRadius(12);
        card->setClipsToBounds(true);
    }
    if (auto label = chongzhijingerLabel()) label->setText(NSString::stringWithFormat("%@元", chongzhijinger_));
    if (auto label = yufukuanLabel()) label->setText(NSString::stringWithFormat("%@元", zongjinge_));
}

void KXChongzhijiemianViewController::daohangNavigation() {
    auto image = UIImage::imageNamed("fanghui_QC");
    if (image) image = image->imageWithRenderingMode(UIImageRenderingMode::AlwaysOriginal);
    WeakRef<KXChongzhijiemianViewController> weakSelf = self<KXChongzhijiemianViewController>();
    navigationItem()->setLeftBarButtonItem(make<UIBarButtonItem>(
        image, UIBarButtonItemStyle::Plain, self<KXChongzhijiemianViewController>(),
        [weakSelf](const Ref<UIBarButtonItem>&) {
            if (auto page = weakSelf.lock()) page->rightBarTap();
        }));
}

void KXChongzhijiemianViewController::rightBarTap() { KXFlowExit::returnToOpener(self<KXChongzhijiemianViewController>()); }

void KXChongzhijiemianViewController::fanhuiBut(const Ref<UIButton>&) { rightBarTap(); }

void KXChongzhijiemianViewController::chaknaBut(const Ref<UIButton>&) {
    if (auto stack = navigationController()) stack->popViewControllerAnimated(true);
}
