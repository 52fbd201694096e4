#include "app/promotion/KXliushuiCollectionViewCell.h"

namespace {

Ref<UILabel> whiteFlowLabel(CGRect frame, const char* text, CGFloat fontSize, const char* identifier) {
    auto label = make<UILabel>(frame);
    label->setAccessibilityIdentifier(identifier);
    label->setText(text);
    label->setTextAlignment(NSTextAlignment::Left);
    label->setTextColor(UIColor::whiteColor());
    label->setFont(UIFont::systemFontOfSize(fontSize));
    return label;
}

}  // namespace

void KXliushuiCollectionViewCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat width = bounds().size.width;
    jingELabel_ = whiteFlowLabel({12, 10, width - 20, 32}, "50.00", 24, "jingELabel");
    contentView()->addSubview(jingELabel_);
    const CGRect amount = jingELabel_->frame();
    liushui_ = whiteFlowLabel({12, amount.origin.y + amount.size.height + 5, width - 20, 14}, "昨日流水记录", 10, "liushui");
    contentView()->addSubview(liushui_);
}
