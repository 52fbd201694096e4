#include "app/team/KXContactUsViewCell.h"

#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXTeamColors.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

namespace {

constexpr CGFloat kContactCellMargin = 15;
constexpr CGFloat kContactCellTitleWidth = 100;

}  // namespace

void KXContactUsViewCell::didCreate() {
    UITableViewCell::didCreate();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    zuobianLabel_ = make<UILabel>();
    zuobianLabel_->setAccessibilityIdentifier("zuobianLabel");
    zuobianLabel_->setFont(UIFont::systemFontOfSize(14));
    zuobianLabel_->setTextColor(KXTeamColors::bodyText());
    contentView()->addSubview(zuobianLabel_);
    rightLabel_ = make<UILabel>();
    rightLabel_->setAccessibilityIdentifier("rightLabel");
    rightLabel_->setFont(UIFont::systemFontOfSize(14));
    rightLabel_->setTextColor(KXTeamColors::bodyText());
    rightLabel_->setTextAlignment(NSTextAlignment::Right);
    contentView()->addSubview(rightLabel_);
}

void KXContactUsViewCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    const CGRect bounds = contentView()->bounds();
    zuobianLabel_->setFrame(CGRectMake(kContactCellMargin, 0, kContactCellTitleWidth, bounds.size.height));
    const CGFloat valueX = kContactCellMargin + kContactCellTitleWidth;
    rightLabel_->setFrame(CGRectMake(valueX, 0, bounds.size.width - valueX - kContactCellMargin, bounds.size.height));
}
