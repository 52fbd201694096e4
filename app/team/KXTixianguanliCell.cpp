#include "app/team/KXTixianguanliCell.h"

#include "app/team/KXRowActionButton.h"
#include "app/team/KXTeamColors.h"

void KXTixianguanliCell::didCreate() {
    KXReportGridCell::didCreate();
    // The buttons sit in the operation column, which takes touches so that
    // they receive them.
    const Ref<UILabel>& operation = labelMuArr().back();
    operation->setUserInteractionEnabled(true);
    const CGFloat x = (operation->bounds().size.width - 40) / 2;
    auto target = self<KXTixianguanliCell>();
    auto allow = KXRowActionButton::buttonWithTitle("允许", {x, 6, 40, 20}, KXTeamColors::accentBlue());
    allow->addTarget(target, &KXTixianguanliCell::buttontap, UIControlEventTouchUpInside);
    operation->addSubview(allow);
    const CGRect allowFrame = allow->frame();
    auto refuse = KXRowActionButton::buttonWithTitle(
        "拒绝", {x, allowFrame.origin.y + allowFrame.size.height + 6, 40, 20}, KXTeamColors::refusalRed());
    refuse->addTarget(target, &KXTixianguanliCell::buttontap1, UIControlEventTouchUpInside);
    operation->addSubview(refuse);
}

void KXTixianguanliCell::setModel(const Ref<KXTixianguanliModel>& model) {
    model_ = model;
    if (model) showFields({model->username, model->money, model->create_time, model->status});
}

void KXTixianguanliCell::buttontap() { decide(kAllow); }

void KXTixianguanliCell::buttontap1() { decide(kRefuse); }

void KXTixianguanliCell::decide(unsigned long decision) {
    if (auto delegate = delegate_.lock()) delegate->KXTixianguanliCellModel(model_, decision);
}
