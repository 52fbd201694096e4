#include "app/team/KXPersonalInformationCell.h"

#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXTeamColors.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

namespace {

constexpr CGFloat kProfileCellMargin = 20;
constexpr CGFloat kProfileCellTitleWidth = 100;

}  // namespace

void KXPersonalInformationCell::didCreate() {
    UITableViewCell::didCreate();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(UIColor::whiteColor());
    mingchengLabel_ = make<UILabel>();
    mingchengLabel_->setAccessibilityIdentifier("mingchengLabel");
    mingchengLabel_->setFont(UIFont::systemFontOfSize(14));
    mingchengLabel_->setTextColor(KXTeamColors::bodyText());
    contentView()->addSubview(mingchengLabel_);
    nichengLabel_ = make<UILabel>();
    nichengLabel_->setAccessibilityIdentifier("nichengLabel");
    nichengLabel_->setFont(UIFont::systemFontOfSize(14));
    nichengLabel_->setTextColor(KXAccountFormStyle::rgb(153, 153, 153));
    nichengLabel_->setTextAlignment(NSTextAlignment::Right);
    contentView()->addSubview(nichengLabel_);
}

void KXPersonalInformationCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    const CGRect bounds = contentView()->bounds();
    mingchengLabel_->setFrame(CGRectMake(kProfileCellMargin, 0, kProfileCellTitleWidth, bounds.size.height));
    const CGFloat valueX = kProfileCellMargin + kProfileCellTitleWidth;
    nichengLabel_->setFrame(CGRectMake(valueX, 0, bounds.size.width - valueX - kProfileCellMargin, bounds.size.height));
}
