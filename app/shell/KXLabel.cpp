#include "app/shell/KXLabel.h"

#include "app/shell/UIColorHex.h"

Ref<KXLabel> KXLabel::boldLabel(std::string text, std::string_view hexColor, CGFloat fontSize) {
    return label(std::move(text), hexColor, UIFont::boldSystemFontOfSize(fontSize));
}

Ref<KXLabel> KXLabel::systemLabel(std::string text, std::string_view hexColor, CGFloat fontSize) {
    return label(std::move(text), hexColor, UIFont::systemFontOfSize(fontSize));
}

Ref<KXLabel> KXLabel::label(std::string text, std::string_view hexColor, const UIFont& font) {
    auto label = make<KXLabel>();
    label->setText(std::move(text));
    label->setFont(font);
    label->setTextColor(UIColorHex::colorWithHexStringWithHexString(hexColor));
    label->setNumberOfLines(0);
    return label;
}
