#include "app/tabs/assets/KXAssetsCenterCell.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIViewExt.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "graphics/NSMutableAttributedString.h"

Ref<KXAssetsCenterCell> KXAssetsCenterCell::cellWithTableView(const Ref<UITableView>& tableView) {
    auto cell = cast<KXAssetsCenterCell>(tableView->dequeueReusableCellWithIdentifier(kReuseIdentifier));
    return cell ? cell : make<KXAssetsCenterCell>(UITableViewCellStyle::Default, kReuseIdentifier);
}

void KXAssetsCenterCell::didCreate() {
    UITableViewCell::didCreate();
    const CGFloat s = layoutScale();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::clearColor());

    bgView_ = make<UIView>(CGRectMake(0, 0, 335 * s, 44 * s));
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->setClipsToBounds(true);
    contentView()->addSubview(bgView_);
    leftImageView_ = make<UIImageView>();
    titleLabel_ = KXLabel::systemLabel("", "#444444", 14 * s);
    rightLabel_ = KXLabel::boldLabel("", "#444444", 16 * s);
    rightArrowImageView_ = make<UIImageView>(UIImage::imageNamed("grayArrow"));
    rightPlaceHoderLabel_ = KXLabel::systemLabel("快去推广拿佣金！", "#C1C1CB", 12 * s);
    for (const Ref<UIView>& view : std::initializer_list<Ref<UIView>>{leftImageView_, titleLabel_, rightLabel_,
                                                                      rightArrowImageView_, rightPlaceHoderLabel_}) {
        bgView_->addSubview(view);
    }
    rightArrowImageView_->setHidden(true);
    rightPlaceHoderLabel_->setHidden(true);

    snp(bgView_).makeConstraints([s](ConstraintMaker& make) {
        make.top.equalToSuperview();
        make.left.equalTo(20 * s);
        make.right.equalTo(-20 * s);
        make.height.equalTo(44 * s).priority(999);
        make.bottom.equalTo(-1);
    });
    auto icon = leftImageView_;
    snp(leftImageView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.equalTo(20 * s);
        make.width.height.equalTo(20 * s);
        make.centerY.equalToSuperview();
    });
    snp(titleLabel_).makeConstraints([s, icon](ConstraintMaker& make) {
        make.left.equalTo(snp(icon).right).offset(6 * s);
        make.centerY.equalToSuperview();
    });
    snp(rightLabel_).makeConstraints([s](ConstraintMaker& make) {
        make.right.equalTo(-20 * s);
        make.centerY.equalToSuperview();
    });
    auto arrow = rightArrowImageView_;
    snp(rightArrowImageView_).makeConstraints([s](ConstraintMaker& make) {
        make.right.equalTo(-20 * s);
        make.width.height.equalTo(12 * s);
        make.centerY.equalToSuperview();
    });
    snp(rightPlaceHoderLabel_).makeConstraints([arrow](ConstraintMaker& make) {
        make.right.equalTo(snp(arrow).left);
        make.centerY.equalToSuperview();
    });
}

void KXAssetsCenterCell::refresh() {
    const CGFloat s = layoutScale();
    const long row = indexPath ? indexPath->row() : -1;
    if (row == 0) {
        NSMutableAttributedString amount{NSAttributedString("￥" + KXNoDataText::figure(assetsModel ? assetsModel->money : std::string()),
                                                            {.font = rightLabel_->font()})};
        amount.addAttributes({.font = UIFont::boldSystemFontOfSize(12 * s)}, NSRange{0, 1});
        rightLabel_->setAttributedText(amount);
    } else if (row == 1) {
        rightLabel_->setText(KXNoDataText::figure(assetsModel ? assetsModel->popularizeNumber : std::string()));
    }
    if (row == 0 || row == 1) rightLabel_->setHidden(false);
    if (row == 2 || row == 3) rightLabel_->setHidden(true);
    rightArrowImageView_->setHidden(row != 2 && row != 3);
    rightPlaceHoderLabel_->setHidden(row != 3);

    UIRectCorner corners = UIRectCornerAllCorners;
    CGFloat radius = 0;
    if (row == 0) {
        corners = static_cast<UIRectCorner>(UIRectCornerTopLeft | UIRectCornerTopRight);
        radius = 12 * s;
    } else if (row == 3) {
        corners = static_cast<UIRectCorner>(UIRectCornerBottomLeft | UIRectCornerBottomRight);
        radius = 12 * s;
    }
    // The mask is the rounded rectangle of the card's bounds as they are
    // now: its first frame is already the size its constraints give it.
    UIViewExt::roundCorners(*bgView_, corners, radius);
}
