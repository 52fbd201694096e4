#include "app/tabs/home/KXRankRowParts.h"

#include "app/shell/KXLabel.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"

namespace KXRankRowParts {

Ref<UIView> gridLine(const char* identifier) {
    auto line = make<UIView>();
    line->setAccessibilityIdentifier(identifier);
    line->setBackgroundColor(hex("#F5F5F5"));
    return line;
}

Ref<UILabel> columnLabel(const char* text, const char* identifier) {
    auto label = KXLabel::boldLabel(text, "#000000", 14 * layoutScale());
    label->setAccessibilityIdentifier(identifier);
    return label;
}

}  // namespace KXRankRowParts
