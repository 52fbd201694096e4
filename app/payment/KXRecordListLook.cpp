#include "app/payment/KXRecordListLook.h"

#include "app/shell/UIColorHex.h"

UIColor KXRecordListLook::secondaryText() { return UIColorHex::colorWithHexStringWithHexString("#999999"); }

Ref<UILabel> KXRecordListLook::label(CGRect frame, CGFloat fontSize, const UIColor& colour, NSTextAlignment alignment,
                                     const std::string& outlet) {
    auto label = make<UILabel>(frame);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextColor(colour);
    label->setTextAlignment(alignment);
    if (!outlet.empty()) label->setAccessibilityIdentifier(outlet);
    return label;
}
