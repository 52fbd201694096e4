#include "app/team/KXReportGridCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "uikit/UIScreen.h"

void KXReportGridCell::didCreate() {
    UITableViewCell::didCreate();
    setupUI();
}

void KXReportGridCell::setupUI() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width - 40;
    const CGFloat columnWidth = width / static_cast<CGFloat>(columns_);
    const UIColor ground = KXTeamColors::rowBackground();
    labelMuArr_.clear();
    for (std::size_t k = 0; k < columns_; ++k) {
        auto label = KXGridViews::label({columnWidth * static_cast<CGFloat>(k), 0, columnWidth, kHeight}, "", ground);
        contentView()->addSubview(label);
        labelMuArr_.push_back(label);
    }
    contentView()->addSubview(KXGridViews::line({0, kHeight - 1, width, 1}));
    for (std::size_t k = 0; k <= columns_; ++k)
        contentView()->addSubview(KXGridViews::line({columnWidth * static_cast<CGFloat>(k), 0, 1, kHeight}));
}

void KXReportGridCell::showFields(const std::vector<std::optional<std::string>>& fields) {
    for (std::size_t k = 0; k < labelMuArr_.size() && k < fields.size(); ++k)
        labelMuArr_[k]->setText(KXAnswerText::text(fields[k]));
}
