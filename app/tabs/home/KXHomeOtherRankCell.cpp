#include "app/tabs/home/KXHomeOtherRankCell.h"

#include <functional>

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "app/tabs/home/KXRankRowParts.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

using KXRankRowParts::columnLabel;
using KXRankRowParts::gridLine;

}  // namespace

void KXHomeOtherRankCell::didCreate() {
    UICollectionViewCell::didCreate();
    setUpViews();
    setUpConstraints();
}

void KXHomeOtherRankCell::setUpViews() {
    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    contentView()->addSubview(bgView_);
    zeroLine_ = gridLine("zeroLine");
    bgView_->addSubview(zeroLine_);
    rankLabel_ = columnLabel("排名", "rankLabel");
    bgView_->addSubview(rankLabel_);
    firstLine_ = gridLine("firstLine");
    bgView_->addSubview(firstLine_);
    userLabel_ = columnLabel(kPromoterTitle, "userLabel");
    bgView_->addSubview(userLabel_);
    secondLine_ = gridLine("secondLine");
    bgView_->addSubview(secondLine_);
    lowUserLabel_ = columnLabel(kSubordinatesTitle, "lowUserLabel");
    bgView_->addSubview(lowUserLabel_);
    fourLine_ = gridLine("fourLine");
    bgView_->addSubview(fourLine_);
    bottomLine_ = gridLine("bottomLine");
    bgView_->addSubview(bottomLine_);
}

void KXHomeOtherRankCell::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(bgView_).makeConstraints([&](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    // A vertical grid line at `left` points (scaled) from the row's left.
    const auto verticalLine = [&](const Ref<UIView>& line, CGFloat left) {
        snp(line).makeConstraints([&](ConstraintMaker& make) {
            make.width.equalTo(1);
            make.top.bottom.equalToSuperview();
            make.left.equalToSuperview().offset(left);
        });
    };
    const auto column = [&](const Ref<UILabel>& label, CGFloat width, const std::function<void(ConstraintMaker&)>& left) {
        snp(label).makeConstraints([&](ConstraintMaker& make) {
            left(make);
            make.top.bottom.equalToSuperview();
            make.width.equalTo(width * s);
        });
    };
    verticalLine(zeroLine_, 0);
    column(rankLabel_, 48, [&](ConstraintMaker& make) { make.left.equalToSuperview().offset(8 * s); });
    verticalLine(firstLine_, 60 * s);
    column(userLabel_, 127, [&](ConstraintMaker& make) { make.left.equalTo(snp(firstLine_).right).offset(9 * s); });
    verticalLine(secondLine_, 196 * s);
    column(lowUserLabel_, 129,
           [&](ConstraintMaker& make) { make.left.equalTo(snp(secondLine_).right).offset(10 * s); });
    snp(fourLine_).makeConstraints([&](ConstraintMaker& make) {
        make.width.equalTo(1);
        make.top.bottom.equalToSuperview();
        make.right.equalToSuperview();
    });
    snp(bottomLine_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.height.equalTo(1);
    });
}

void KXHomeOtherRankCell::setIndexPath(std::optional<IndexPath> indexPath) {
    indexPath_ = indexPath;
    // The corner masks below take the row's bounds as they are now.
    layoutIfNeeded();
    // No index path styles the row as an even one with square corners.
    const long row = indexPath_ ? indexPath_->row() : 0;
    const bool grey = row % 2 == 0;
    bgView_->setBackgroundColor(grey ? hex("#F5F5F5") : UIColor::whiteColor());
    for (const auto& line : {zeroLine_, firstLine_, secondLine_, fourLine_})
        line->setBackgroundColor(grey ? hex("#EEEEEE") : hex("#F5F5F5"));

    const CGFloat fontSize = 14 * layoutScale();
    for (const auto& label : {rankLabel_, userLabel_, lowUserLabel_}) {
        label->setFont(UIFont::systemFontOfSize(fontSize));
        label->setTextColor(UIColorHex::colorWithHexString("#000000", 0.65));
    }
    if (indexPath_ && row == 0) {
        UIViewExt::roundCorners(*bgView_, UIRectCornerTopLeft | UIRectCornerTopRight, 4 * layoutScale());
        zeroLine_->setBackgroundColor(hex("#F5F5F5"));
        firstLine_->setBackgroundColor(UIColor::whiteColor());
        secondLine_->setBackgroundColor(UIColor::whiteColor());
        fourLine_->setBackgroundColor(hex("#F5F5F5"));
        for (const auto& label : {rankLabel_, userLabel_, lowUserLabel_}) {
            label->setFont(UIFont::boldSystemFontOfSize(fontSize));
            label->setTextColor(UIColorHex::colorWithHexString("#000000", 0.85));
        }
    } else if (indexPath_ && row == kClosingRow) {
        UIViewExt::roundCorners(*bgView_, UIRectCornerBottomLeft | UIRectCornerBottomRight, 4 * layoutScale());
    } else {
        UIViewExt::roundCorners(*bgView_, UIRectCornerAllCorners, 0);
    }
}

void KXHomeOtherRankCell::setModel(Ref<KXHomeRankListModel> model) {
    model_ = std::move(model);
    showColumns(model_ ? model_->note : std::string(), model_ ? model_->name : std::string(),
                model_ ? model_->num : std::string());
}

void KXHomeOtherRankCell::setPopularityListModel(Ref<KXRankListModel> model) {
    popularityListModel_ = std::move(model);
    const auto& entry = popularityListModel_;
    showColumns(entry ? entry->note : std::string(), entry ? entry->gname : std::string(),
                entry ? entry->count : std::string());
}

void KXHomeOtherRankCell::setConsumeRankModel(Ref<KXConsumeRankModel> model) {
    consumeRankModel_ = std::move(model);
    const auto& entry = consumeRankModel_;
    showColumns(entry ? entry->note : std::string(), entry ? entry->gname : std::string(),
                entry ? entry->money : std::string());
}

void KXHomeOtherRankCell::showTitles(const std::string& name, const std::string& value) {
    showColumns("排名", name, value);
}

void KXHomeOtherRankCell::showColumns(const std::string& rank, const std::string& name, const std::string& value) {
    rankLabel_->setText(rank);
    userLabel_->setText(name);
    lowUserLabel_->setText(value);
}
