#include "app/payment/KXChongzhishibaiViewController.h"

#include "app/payment/KXResultPageViews.h"
#include "app/team/KXTeamColors.h"

KXChongzhishibaiViewController::KXChongzhishibaiViewController(std::string records, std::optional<std::string> refusal)
    : records_(std::move(records)), refusal_(std::move(refusal)) {}

std::string KXChongzhishibaiViewController::explanation(const std::string& records) {
    return "订单支付结果尚未确认，请稍后在" + records + "中查看，无需重新下单";
}

std::string KXChongzhishibaiViewController::refusalExplanation(const std::string& records, const std::string& refusal) {
    // The lists show paid orders only: they are where the order shows once paid.
    return (refusal.empty() ? std::string("订单未支付") : refusal) + "，支付成功的订单可在" + records + "中查看";
}

void KXChongzhishibaiViewController::loadView() {
    UIViewController::loadView();
    auto card = KXResultPageViews::card(view(), 210, "failureCard");
    card->layer()->setCornerRadius(8);
    card->setClipsToBounds(true);
    if (refusal_)
        KXResultPageViews::addHeadline(card, "zhifu_shibai", kRefusedHeadline, refusalExplanation(records_, *refusal_));
    else KXResultPageViews::addHeadline(card, "zhifu_shibai", kHeadline, explanation(records_));
}

void KXChongzhishibaiViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

void KXChongzhishibaiViewController::setupUI() { view()->setBackgroundColor(KXTeamColors::screenBackground()); }
