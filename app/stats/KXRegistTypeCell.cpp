#include "app/stats/KXRegistTypeCell.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "app/tabs/home/KXRankRowParts.h"
#include "app/stats/KXNumberText.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

using KXRankRowParts::columnLabel;
using KXRankRowParts::gridLine;

constexpr long kRoundedBottomRow = 8;
// The room between a column's text and the grid line after it (scaled).
constexpr CGFloat kTextEnd = 4;
// The smallest share of its font an amount is drawn in to fit its column
// (8.4 points on the standard screen, 7.2 on the 320-point one): the
// longest the count writer makes from 1 to 10^16, 17 digits with a sign
// and a point ("-9999999999999998.0"), fits at two thirds of it.
constexpr CGFloat kSmallestAmountScale = 0.6;

}  // namespace

void KXRegistTypeCell::didCreate() {
    UICollectionViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXRegistTypeCell::setUpViews() {
    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    contentView()->addSubview(bgView_);
    zeroLine_ = gridLine("zeroLine");
    rankLabel_ = columnLabel("渠道", "rankLabel");
    firstLine_ = gridLine("firstLine");
    userLabel_ = columnLabel("注册量", "userLabel");
    // An amount is one number: drawn on one line, in a smaller font when
    // it is too long for its column.
    userLabel_->setNumberOfLines(1);
    userLabel_->setAdjustsFontSizeToFitWidth(true);
    userLabel_->setMinimumScaleFactor(kSmallestAmountScale);
    secondLine_ = gridLine("secondLine");
    lowUserLabel_ = columnLabel("占比", "lowUserLabel");
    fourLine_ = gridLine("fourLine");
    bottomLine_ = gridLine("bottomLine");
    for (const auto& view : std::initializer_list<Ref<UIView>>{zeroLine_, rankLabel_, firstLine_, userLabel_, secondLine_,
                                                              lowUserLabel_, fourLine_, bottomLine_})
        bgView_->addSubview(view);
}

void KXRegistTypeCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    const auto line = [&](const Ref<UIView>& view, CGFloat left) {
        snp(view).makeConstraints([&](ConstraintMaker& make) {
            make.left.equalToSuperview().offset(left);
            make.top.bottom.equalToSuperview();
            make.width.equalTo(1);
        });
    };
    // A column's text starts `gap` after the line before it and ends
    // kTextEnd before the line after it, so no text runs under a grid line.
    const auto column = [&](const Ref<UIView>& label, const Ref<UIView>& after, CGFloat gap,
                            const Ref<UIView>& before) {
        snp(label).makeConstraints([&](ConstraintMaker& make) {
            if (after) make.left.equalTo(snp(after).right).offset(gap);
            else make.left.equalToSuperview().offset(gap);
            make.right.equalTo(snp(before).left).offset(-kTextEnd * s);
            make.top.bottom.equalToSuperview();
        });
    };
    line(zeroLine_, 0);
    line(firstLine_, 131 * s);
    line(secondLine_, 239 * s);
    column(rankLabel_, nullptr, 8 * s, firstLine_);
    column(userLabel_, firstLine_, 9 * s, secondLine_);
    column(lowUserLabel_, secondLine_, 10 * s, fourLine_);
    snp(fourLine_).makeConstraints([&](ConstraintMaker& make) {
        make.right.top.bottom.equalToSuperview();
        make.width.equalTo(1);
    });
    snp(bottomLine_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.height.equalTo(1);
    });
}

void KXRegistTypeCell::refreshRow(bool registration) {
    std::optional<std::string> name, share;
    double count = 0;
    if (registration && model) {
        name = model->reg_type;
        count = model->count;
        share = model->bfb;
    } else if (!registration && rechargeTypeListModel) {
        name = rechargeTypeListModel->payment;
        count = rechargeTypeListModel->count;
        share = rechargeTypeListModel->bfb;
    }
    rankLabel_->setText(name.value_or(""));
    userLabel_->setText(shortestDoubleText(count));
    lowUserLabel_->setText(share.value_or(""));
}

void KXRegistTypeCell::styleRow() {
    layoutIfNeeded();
    const long row = indexPath ? indexPath->row() : 0;
    bgView_->setBackgroundColor(row % 2 == 0 ? hex("#EEEEEE") : UIColor::whiteColor());
    for (const auto& line : {zeroLine_, firstLine_, secondLine_, fourLine_}) line->setBackgroundColor(hex("#EEEEEE"));
    const CGFloat fontSize = 14 * layoutScale();
    for (const auto& label : {rankLabel_, userLabel_, lowUserLabel_}) {
        label->setFont(UIFont::systemFontOfSize(fontSize));
        label->setTextColor(UIColorHex::colorWithHexString("#000000", 0.65));
    }
    const CGFloat radius = 4 * layoutScale();
    if (indexPath && row == 0) {
        UIViewExt::roundCorners(*bgView_, UIRectCornerTopLeft | UIRectCornerTopRight, radius);
        firstLine_->setBackgroundColor(UIColor::whiteColor());
        secondLine_->setBackgroundColor(UIColor::whiteColor());
        for (const auto& label : {rankLabel_, userLabel_, lowUserLabel_}) {
            label->setFont(UIFont::boldSystemFontOfSize(fontSize));
            label->setTextColor(UIColorHex::colorWithHexString("#000000", 0.85));
        }
    } else if (indexPath && row == kRoundedBottomRow) {
        UIViewExt::roundCorners(*bgView_, UIRectCornerBottomLeft | UIRectCornerBottomRight, radius);
    } else {
        UIViewExt::roundCorners(*bgView_, UIRectCornerAllCorners, 0);
    }
}
