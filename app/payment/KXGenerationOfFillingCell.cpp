#include "app/payment/KXGenerationOfFillingCell.h"

#include "app/payment/KXRecordListLook.h"
#include "app/promotion/KXAnswerText.h"
#include "app/team/KXTeamColors.h"

void KXGenerationOfFillingCell::didCreate() {
    KXRecordCell::didCreate();
    auto name = KXRecordListLook::label({}, 15, KXTeamColors::bodyText(), NSTextAlignment::Left, "name1Label");
    auto date = KXRecordListLook::label({}, 12, KXRecordListLook::secondaryText(), NSTextAlignment::Left, "riqiLabel");
    auto amount =
        KXRecordListLook::label({}, 16, KXTeamColors::bodyText(), NSTextAlignment::Right, "jingerLbabel");
    for (const auto& label : {name, date, amount}) contentView()->addSubview(label);
    name1Label_ = name;
    riqiLabel_ = date;
    jingerLbabel_ = amount;
}

void KXGenerationOfFillingCell::placeContent(CGFloat width, CGFloat) {
    const CGFloat left = width * 0.6;
    if (auto label = name1Label()) label->setFrame({15, 12, left - 15, 20});
    if (auto label = riqiLabel()) label->setFrame({15, 35, left - 15, 17});
    if (auto label = jingerLbabel()) label->setFrame({left, 0, width - left - 15, 64});
}

void KXGenerationOfFillingCell::setDataModel(const Ref<GenerationOfFillingModel>& dataModel) {
    dataModel_ = dataModel;
    if (!dataModel) return;
    name1Label()->setText(KXAnswerText::text(dataModel->user_name));
    riqiLabel()->setText(KXAnswerText::text(dataModel->order_time));
    jingerLbabel()->setText(KXAnswerText::text(dataModel->money) + "元");
}
