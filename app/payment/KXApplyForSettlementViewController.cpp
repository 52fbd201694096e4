#include "app/payment/KXApplyForSettlementViewController.h"

#include "app/payment/KXFlowExit.h"
#include "app/payment/KXResultPageViews.h"
#include "app/team/KXTeamColors.h"
#include "uikit/UINavigationItem.h"

void KXApplyForSettlementViewController::loadView() {
    UIViewController::loadView();
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    auto card = KXResultPageViews::card(view(), 290, "beijingView");
    const CGFloat bottom =
        KXResultPageViews::addHeadline(card, "zhifu_chenggong", "提交成功", "已提交成功，可在记录中查看处理进度");
    auto done = KXResultPageViews::button(CGRectMake(30, bottom + 30, card->bounds().size.width - 60, 44), "完成",
                                          "dianjiWanBut", true);
    done->addTarget(self<KXApplyForSettlementViewController>(), &KXApplyForSettlementViewController::dianjiWanBut,
                    UIControlEventTouchUpInside);
    card->addSubview(done);
    beijingView_ = card;
}

void KXApplyForSettlementViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

void KXApplyForSettlementViewController::setupUI() {
    if (auto card = beijingView()) {
        card->layer()->setCornerRadius(8);
        card->setClipsToBounds(true);
    }
    navigationItem()->setTitle("申请结算");
}

void KXApplyForSettlementViewController::dianjiWanBut(const Ref<UIButton>&) {
    KXFlowExit::returnToOpener(self<KXApplyForSettlementViewController>());
}
