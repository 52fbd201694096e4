#include "app/payment/KXChongzhishibaiViewController.h"

#include "app/payment/KXResultPageViews.h"
#include "app/team/KXTeamColors.h"

void KXChongzhishibaiViewController::loadView() {
    UIViewController::loadView();
    auto card = KXResultPageViews::card(view(), 210, "failureCard");
    card->layer()->setCornerRadius(8);
    card->setClipsToBounds(true);
    KXResultPageViews::addHeadline(card, "zhifu_shibai", "支付失败", "订单未完成支付，请返回后重新下单");
}

void KXChongzhishibaiViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

void KXChongzhishibaiViewController::setupUI() { view()->setBackgroundColor(KXTeamColors::screenBackground()); }
