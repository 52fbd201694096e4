#include "app/payment/KXRecordCell.h"

#include "app/team/KXTeamColors.h"

void KXRecordCell::didCreate() {
    UITableViewCell::didCreate();
    setBackgroundColor(UIColor::whiteColor());
    hairline_ = make<UIView>();
    hairline_->setBackgroundColor(KXTeamColors::gridLine());
    contentView()->addSubview(hairline_);
}

void KXRecordCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    const CGRect bounds = contentView()->bounds();
    hairline_->setFrame({15, bounds.size.height - 1, bounds.size.width - 15, 1});
    placeContent(bounds.size.width, bounds.size.height);
}
