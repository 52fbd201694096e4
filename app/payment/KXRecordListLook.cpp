#include "app/payment/KXRecordListLook.h"

#include "app/shell/UIColorHex.h"

UIColor KXRecordListLook::accentBlue() { return UIColorHex::colorWithHexStringWithHexString("#5559EA"); }
UIColor KXRecordListLook::bodyText() { return UIColorHex::colorWithHexStringWithHexString("#444444"); }
UIColor KXRecordListLook::secondaryText() { return UIColorHex::colorWithHexStringWithHexString("#999999"); }
UIColor KXRecordListLook::screenBackground() { return UIColorHex::colorWithHexStringWithHexString("#F5F5F5"); }
UIColor KXRecordListLook::gridLine() { return UIColor::colorWithRed(232 / 255.0, 232 / 255.0, 232 / 255.0, 1); }

Ref<UILabel> KXRecordListLook::label(CGRect frame, CGFloat fontSize, const UIColor& colour, NSTextAlignment alignment,
                                     const std::string& outlet) {
    auto label = make<UILabel>(frame);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextColor(colour);
    label->setTextAlignment(alignment);
    if (!outlet.empty()) label->setAccessibilityIdentifier(outlet);
    return label;
}
