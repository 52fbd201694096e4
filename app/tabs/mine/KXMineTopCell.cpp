#include "app/tabs/mine/KXMineTopCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/KXTabViews.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXMineTopCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat s = layoutScale();
    auto content = contentView();

    imageView_ = make<UIImageView>();
    imageView_->setBackgroundColor(UIColor::clearColor());
    imageView_->layer()->setCornerRadius(12 * s);
    imageView_->setClipsToBounds(false);
    nameLabel_ = KXLabel::boldLabel("名字", "#444444", 18 * s);
    balanceTitle_ = KXLabel::systemLabel("可用余额 (元)", "#C1C1CB", 12 * s);
    balanceLabel_ = KXLabel::boldLabel("", "#444444", 26 * s);
    withdrawalButton_ = KXTabViews::titleButton("提现", "#5559EA", 16 * s);
    lineView_ = make<UIView>();
    lineView_->setBackgroundColor(hex("#CCCCCC"));
    rechargeButton_ = KXTabViews::titleButton("充值", "#444444", 16 * s);
    advanceTitle_ = KXLabel::systemLabel("预付款金额 (元)", "#C1C1CB", 12 * s);
    advanceLabel_ = KXLabel::boldLabel("", "#444444", 16 * s);
    allPriceTitle_ = KXLabel::systemLabel("推广总金额 (元)", "#C1C1CB", 12 * s);
    allPriceLabel_ = KXLabel::boldLabel("", "#444444", 16 * s);
    for (const Ref<UIView>& view :
         std::initializer_list<Ref<UIView>>{imageView_, nameLabel_, balanceTitle_, balanceLabel_, withdrawalButton_,
                                            lineView_, rechargeButton_, advanceTitle_, advanceLabel_, allPriceTitle_,
                                            allPriceLabel_}) {
        content->addSubview(view);
    }

    withdrawalButton_->addTarget(self<KXMineTopCell>(), &KXMineTopCell::withdrawalButtonClicked,
                                 UIControlEventTouchUpInside);
    rechargeButton_->addTarget(self<KXMineTopCell>(), &KXMineTopCell::rechargeButtonClicked,
                               UIControlEventTouchUpInside);
    makeConstraints();
}

void KXMineTopCell::makeConstraints() {
    const CGFloat s = layoutScale();
    auto avatar = imageView_;
    snp(imageView_).makeConstraints([s](ConstraintMaker& make) {
        make.top.equalTo(20 * s);
        make.left.equalTo(30 * s);
        make.width.height.equalTo(58 * s);
    });
    snp(nameLabel_).makeConstraints([s, avatar](ConstraintMaker& make) {
        make.left.equalTo(snp(avatar).right).offset(10 * s);
        make.centerY.equalTo(avatar);
    });
    auto balanceTitle = balanceTitle_;
    snp(balanceTitle_).makeConstraints([s, avatar](ConstraintMaker& make) {
        make.left.equalTo(36 * s);
        make.top.equalTo(snp(avatar).bottom).offset(20 * s);
    });
    auto balance = balanceLabel_;
    snp(balanceLabel_).makeConstraints([s, balanceTitle](ConstraintMaker& make) {
        make.left.equalTo(snp(balanceTitle).left);
        make.top.equalTo(snp(balanceTitle).bottom).offset(5 * s);
    });
    auto recharge = rechargeButton_;
    snp(rechargeButton_).makeConstraints([s](ConstraintMaker& make) {
        make.right.equalTo(-39 * s);
        make.top.equalTo(116 * s);
    });
    auto line = lineView_;
    snp(lineView_).makeConstraints([s, recharge](ConstraintMaker& make) {
        make.width.equalTo(1);
        make.height.equalTo(14 * s);
        make.right.equalTo(snp(recharge).left).offset(-16 * s);
        make.centerY.equalTo(recharge);
    });
    snp(withdrawalButton_).makeConstraints([s, line, recharge](ConstraintMaker& make) {
        make.right.equalTo(snp(line).left).offset(-17 * s);
        make.centerY.equalTo(recharge);
    });
    auto advanceTitle = advanceTitle_;
    snp(advanceTitle_).makeConstraints([s, balanceTitle, balance](ConstraintMaker& make) {
        make.left.equalTo(snp(balanceTitle).left);
        make.top.equalTo(snp(balance).bottom).offset(27 * s);
    });
    auto advance = advanceLabel_;
    snp(advanceLabel_).makeConstraints([s, advanceTitle](ConstraintMaker& make) {
        make.left.equalTo(snp(advanceTitle).left);
        make.top.equalTo(snp(advanceTitle).bottom).offset(7 * s);
    });
    auto allPriceTitle = allPriceTitle_;
    snp(allPriceTitle_).makeConstraints([s, advanceTitle](ConstraintMaker& make) {
        make.right.equalTo(-41 * s);
        make.centerY.equalTo(advanceTitle);
    });
    snp(allPriceLabel_).makeConstraints([allPriceTitle, advance](ConstraintMaker& make) {
        make.left.equalTo(snp(allPriceTitle).left);
        make.centerY.equalTo(advance);
    });
}

void KXMineTopCell::setModel(const Ref<KXMineModel>& model) {
    model_ = model;
    KXTabViews::loadImage(imageView_, model ? model->head : std::string());
    nameLabel_->setText(model ? model->username : std::string());
    // Without an answer the figures show as unknown, keeping their lines.
    balanceLabel_->setText(KXNoDataText::figure(model ? model->shareMoney : std::string()));
    advanceLabel_->setText(KXNoDataText::figure(model ? model->yufu : std::string()));
    allPriceLabel_->setText(KXNoDataText::figure(model ? model->money : std::string()));
}

void KXMineTopCell::withdrawalButtonClicked() {
    if (withdrawalButtonClick) withdrawalButtonClick();
}

void KXMineTopCell::rechargeButtonClicked() {
    if (rechargeButtonClick) rechargeButtonClick();
}
