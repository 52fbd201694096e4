#include "app/payment/KXChongzhishibaiViewController.h"

#include "app/payment/KXResultPageViews.h"
#include "app/team/KXTeamColors.h"

KXChongzhishibaiViewController::KXChongzhishibaiViewController(std::string records) : records_(std::move(records)) {}

std::string KXChongzhishibaiViewController::explanation(const std::string& records) {
    return "订单支付结果尚未确认，请稍后在" + records + "中查看，无需重新下单";
}

void KXChongzhishibaiViewController::loadView() {
    UIViewController::loadView();
    auto card = KXResultPageViews::card(view(), 210, "failureCard");
    card->layer()->setCornerRadius(8);
    card->setClipsToBounds(true);
    KXResultPageViews::addHeadline(card, "zhifu_shibai", kHeadline, explanation(records_));
}

void KXChongzhishibaiViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

void KXChongzhishibaiViewController::setupUI() { view()->setBackgroundColor(KXTeamColors::screenBackground()); }
