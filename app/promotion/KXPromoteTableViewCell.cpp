#include "app/promotion/KXPromoteTableViewCell.h"

#include "app/shell/UIColorHex.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kPromoteCellRowHeight = 44;

Ref<UILabel> rowLabel(CGRect frame, const char* identifier, const char* colour, NSTextAlignment alignment) {
    auto label = make<UILabel>(frame);
    label->setAccessibilityIdentifier(identifier);
    label->setFont(UIFont::systemFontOfSize(14));
    label->setTextColor(UIColorHex::colorWithHexStringWithHexString(colour));
    label->setTextAlignment(alignment);
    return label;
}

}  // namespace

void KXPromoteTableViewCell::didCreate() {
    UITableViewCell::didCreate();
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    // The row's own views: icon, name and value.
    icoIamgeView_ = make<UIImageView>(CGRect{20, 12, 20, 20});
    icoIamgeView_->setAccessibilityIdentifier("icoIamgeView");
    contentView()->addSubview(icoIamgeView_);
    mingchengLabel_ = rowLabel({50, 0, 150, kPromoteCellRowHeight}, "mingchengLabel", "#444444", NSTextAlignment::Left);
    contentView()->addSubview(mingchengLabel_);
    righetLabel_ = rowLabel({width - 220, 0, 200, kPromoteCellRowHeight}, "righetLabel", "#444444", NSTextAlignment::Right);
    contentView()->addSubview(righetLabel_);

    // The arrow and the prompt of the rows that open a screen.
    righrimag_ = make<UIImageView>(CGRect{width - 32, 16, 12, 12});
    righrimag_->setAccessibilityIdentifier("righrimag");
    righrimag_->setImage(UIImage::imageNamed("jiantou_ico"));
    contentView()->addSubview(righrimag_);
    miahsulabel_ = rowLabel({0, 0, width - 36, kPromoteCellRowHeight}, "miahsulabel", "#C1C1CB", NSTextAlignment::Right);
    miahsulabel_->setText("快去推广拿佣金！");
    contentView()->addSubview(miahsulabel_);
}
