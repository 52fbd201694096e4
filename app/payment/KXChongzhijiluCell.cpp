#include "app/payment/KXChongzhijiluCell.h"

#include "app/payment/KXRecordListLook.h"
#include "app/promotion/KXAnswerText.h"
#include "app/team/KXTeamColors.h"

void KXChongzhijiluCell::didCreate() {
    KXRecordCell::didCreate();
    auto date = KXRecordListLook::label({}, 13, KXRecordListLook::secondaryText(), NSTextAlignment::Left, "riqiLabel");
    date->setNumberOfLines(2);
    auto amount = KXRecordListLook::label({}, 15, KXTeamColors::bodyText(), NSTextAlignment::Center, "jingeLabel");
    auto state = KXRecordListLook::label({}, 13, KXTeamColors::accentBlue(), NSTextAlignment::Right, "chuliLabel");
    for (const auto& label : {date, amount, state}) contentView()->addSubview(label);
    riqiLabel_ = date;
    jingeLabel_ = amount;
    chuliLabel_ = state;
}

void KXChongzhijiluCell::placeContent(CGFloat width, CGFloat height) {
    const CGFloat column = (width - 30) / 3;
    if (auto label = riqiLabel()) label->setFrame({15, 0, column, height});
    if (auto label = jingeLabel()) label->setFrame({15 + column, 0, column, height});
    if (auto label = chuliLabel()) label->setFrame({15 + 2 * column, 0, column, height});
}

void KXChongzhijiluCell::setModel(const Ref<KXChongzhijiluModel>& model) {
    model_ = model;
    if (!model) return;
    riqiLabel()->setText(KXAnswerText::text(model->time1) + "\n" + KXAnswerText::text(model->time2));
    jingeLabel()->setText(KXAnswerText::text(model->money) + "元");
    chuliLabel()->setText(KXAnswerText::text(model->status));
}
