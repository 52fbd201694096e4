#include "app/tabs/assets/KXAssetsIncomeViews.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

constexpr const char* kGridLine = "#EEEEEE";

Ref<UIView> gridLine(const Ref<UIView>& parent) {
    auto line = make<UIView>();
    line->setBackgroundColor(hex(kGridLine));
    parent->addSubview(line);
    return line;
}

Ref<UILabel> columnLabel(const Ref<UIView>& parent, const std::string& sample) {
    auto label = KXLabel::systemLabel(sample, "#000000", 14 * layoutScale());
    label->setNumberOfLines(2);
    parent->addSubview(label);
    return label;
}

}  // namespace

void KXAssetsIncomeHeader::didCreate() {
    UITableViewHeaderFooterView::didCreate();
    const CGFloat s = layoutScale();
    contentView()->setBackgroundColor(hex("#F5F5F5"));
    leftImageView_ = make<UIImageView>(UIImage::imageNamed("priceRank"));
    titleLabel_ = KXLabel::boldLabel("收入明细", "#333333", 16 * s);
    contentView()->addSubview(leftImageView_);
    contentView()->addSubview(titleLabel_);
    rightBgView_ = make<UIView>();
    rightBgView_->setBackgroundColor(UIColor::whiteColor());
    rightBgView_->layer()->setCornerRadius(14 * s);
    rightBgView_->layer()->setBorderWidth(1);
    rightBgView_->layer()->setBorderColor(hex("#EEEEEE"));
    rightBgView_->setHidden(true);
    addSubview(rightBgView_);
    rightTitleLabel_ = KXLabel::systemLabel("最新", "#333333", 14 * s);
    rightArrowImage_ = make<UIImageView>(UIImage::imageNamed("downArrow"));
    rightBgView_->addSubview(rightTitleLabel_);
    rightBgView_->addSubview(rightArrowImage_);

    auto icon = leftImageView_;
    snp(icon).makeConstraints([s](ConstraintMaker& make) {
        make.top.equalTo(24 * s);
        make.left.equalTo(20 * s);
        make.width.height.equalTo(20 * s);
    });
    snp(titleLabel_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.left.equalTo(snp(icon).right).offset(6 * s);
        make.centerY.equalTo(snp(icon).centerY);
    });
    snp(rightBgView_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.right.equalTo(-20 * s);
        make.height.equalTo(28 * s);
        make.centerY.equalTo(snp(icon).centerY);
    });
    auto pillTitle = rightTitleLabel_;
    snp(pillTitle).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(10 * s);
        make.centerY.equalToSuperview();
    });
    snp(rightArrowImage_).makeConstraints([s, pillTitle](ConstraintMaker& make) {
        make.centerY.equalToSuperview();
        make.left.equalTo(snp(pillTitle).right).offset(38 * s);
        make.right.equalTo(-10 * s);
        make.width.height.equalTo(16 * s);
    });
}

void KXAssetsIncomeCell::didCreate() {
    UITableViewCell::didCreate();
    const CGFloat s = layoutScale();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::clearColor());
    bgView_ = make<UIView>();
    bgView_->setBackgroundColor(UIColor::whiteColor());
    contentView()->addSubview(bgView_);
    topLine_ = gridLine(bgView_);
    auto leftLine = gridLine(bgView_);
    auto bottomLine = gridLine(bgView_);
    auto rightLine = gridLine(bgView_);
    auto vLineOne = gridLine(bgView_);
    auto vLineSecond = gridLine(bgView_);
    auto vLineThree = gridLine(bgView_);
    nameLabel_ = columnLabel(bgView_, "推广用户");
    priceLabel_ = columnLabel(bgView_, "充值 6 元");
    timeLabel_ = columnLabel(bgView_, "11:58");
    timeLabel_->setTextAlignment(NSTextAlignment::Center);
    divideLabel_ = columnLabel(bgView_, "-");

    snp(bgView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(20 * s);
        make.right.equalTo(-20 * s);
        make.top.bottom.equalToSuperview();
        make.height.equalTo(61 * s).priority(999);
    });
    snp(topLine_).makeConstraints([s](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.height.equalTo(1 * s);
    });
    snp(leftLine).makeConstraints([s](ConstraintMaker& make) {
        make.left.top.bottom.equalToSuperview();
        make.width.equalTo(1 * s);
    });
    snp(bottomLine).makeConstraints([s](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.height.equalTo(1 * s);
    });
    snp(rightLine).makeConstraints([s](ConstraintMaker& make) {
        make.right.top.bottom.equalToSuperview();
        make.width.equalTo(1 * s);
    });
    snp(vLineOne).makeConstraints([s](ConstraintMaker& make) {
        make.width.equalTo(1 * s);
        make.top.bottom.equalToSuperview();
        make.left.equalTo(110 * s);
    });
    snp(vLineSecond).makeConstraints([s, vLineOne](ConstraintMaker& make) {
        make.top.bottom.equalToSuperview();
        make.width.equalTo(1 * s);
        make.left.equalTo(snp(vLineOne).right).offset(70 * s);
    });
    snp(vLineThree).makeConstraints([s](ConstraintMaker& make) {
        make.width.equalTo(1 * s);
        make.top.bottom.equalToSuperview();
        make.right.equalTo(-70 * s);
    });
    snp(nameLabel_).makeConstraints([s, vLineOne](ConstraintMaker& make) {
        make.left.equalTo(8 * s);
        make.right.equalTo(snp(vLineOne).left).offset(-8 * s);
        make.centerY.equalToSuperview();
    });
    snp(priceLabel_).makeConstraints([s, vLineOne, vLineSecond](ConstraintMaker& make) {
        make.left.equalTo(snp(vLineOne).right).offset(8 * s);
        make.right.equalTo(snp(vLineSecond).left).offset(-8 * s);
        make.centerY.equalToSuperview();
    });
    snp(timeLabel_).makeConstraints([s, vLineSecond, vLineThree](ConstraintMaker& make) {
        make.left.equalTo(snp(vLineSecond).right).offset(8 * s);
        make.right.equalTo(snp(vLineThree).left);
        make.centerY.equalToSuperview();
    });
    snp(divideLabel_).makeConstraints([s, vLineThree, rightLine](ConstraintMaker& make) {
        make.left.equalTo(snp(vLineThree).right).offset(8 * s);
        make.right.equalTo(snp(rightLine).left).offset(-8 * s);
        make.centerY.equalToSuperview();
    });
}

void KXAssetsIncomeCell::setIndexPath(std::optional<NSIndexPath> indexPath) {
    indexPath_ = indexPath;
    const bool titles = indexPath && indexPath->row() == 0;
    const CGFloat size = 14 * layoutScale();
    topLine_->setHidden(!titles);
    bgView_->setBackgroundColor(titles ? hex("#FAFAFA") : UIColor::whiteColor());
    for (const auto& label : {nameLabel_, priceLabel_, timeLabel_, divideLabel_}) {
        label->setFont(titles ? UIFont::boldSystemFontOfSize(size) : UIFont::systemFontOfSize(size));
    }
}

void KXAssetsIncomeCell::setModel(const Ref<KXAssetsIncomeDetailModel>& model) {
    model_ = model;
    nameLabel_->setText(model ? model->username : std::string());
    priceLabel_->setText(model ? model->money : std::string());
    timeLabel_->setText(model ? model->time : std::string());
    divideLabel_->setText(model ? model->fencheng : std::string());
}

void KXAssetsIncomeCell::showColumnTitles() {
    nameLabel_->setText("用户名");
    priceLabel_->setText("充值金额");
    timeLabel_->setText("充值时间");
    divideLabel_->setText("佣金分成");
}
