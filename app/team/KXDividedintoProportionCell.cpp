#include "app/team/KXDividedintoProportionCell.h"

#include <algorithm>

#include "app/promotion/KXAnswerText.h"
#include "app/team/KXGridViews.h"
#include "uikit/UIScreen.h"

namespace {

CGFloat rowWidth() { return UIScreen::mainScreen()->bounds().size.width - 40; }

}  // namespace

void KXDividedintoProportionCell::didCreate() {
    UITableViewCell::didCreate();
    setupUI();
}

void KXDividedintoProportionCell::setupUI() {
    for (std::size_t k = 0; k < kColumns; ++k) {
        auto label = KXGridViews::label(CGRectZero, "", UIColor::clearColor(), 0.65, 1);
        label->setHidden(true);
        contentView()->addSubview(label);
        labelMuArr_.push_back(label);
        auto separator = KXGridViews::line(CGRectZero);
        separator->setHidden(true);
        contentView()->addSubview(separator);
        fengexianView_.push_back(separator);
    }
    fenGeXianxiahuxian_ = KXGridViews::line({0, kHeight - 1, rowWidth(), 1});
    contentView()->addSubview(fenGeXianxiahuxian_);
}

void KXDividedintoProportionCell::setDataArr(const Array& row) {
    dataArr_ = row;
    const std::size_t shown = std::min(row.size(), kColumns);
    const CGFloat width = rowWidth();
    const CGFloat unit = width / static_cast<CGFloat>(shown + 1);
    for (std::size_t i = 0; i < kColumns; ++i) {
        const auto& label = labelMuArr_[i];
        label->setHidden(i >= shown);
        if (i >= shown) continue;
        label->setText(KXAnswerText::text(row[i]));
        label->setFrame(i == 0 ? CGRect{0, 0, 2 * unit, kHeight}
                               : CGRect{static_cast<CGFloat>(i + 1) * unit, 0, unit, kHeight});
    }
    fenGeXianxiahuxian_->setFrame({0, kHeight - 1, width, 1});
    for (std::size_t j = 0; j < kColumns; ++j) {
        fengexianView_[j]->setHidden(false);
        fengexianView_[j]->setFrame({j == 0 ? 0 : static_cast<CGFloat>(j + 1) * unit, 0, 1, kHeight});
    }
}
