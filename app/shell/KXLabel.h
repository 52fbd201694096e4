#pragma once

#include <string>
#include <string_view>

#include "uikit/UILabel.h"

// The label every screen and cell makes through the two factories: text,
// font size in points, colour from hex text (opaque), as many lines as the
// text needs, zero frame (callers place it).
class KXLabel : public UILabel {
public:
    using UILabel::UILabel;

    static Ref<KXLabel> boldLabel(std::string text, std::string_view hexColor, CGFloat fontSize);
    static Ref<KXLabel> systemLabel(std::string text, std::string_view hexColor, CGFloat fontSize);

    std::string className() const override { return "KXLabel"; }

private:
    static Ref<KXLabel> label(std::string text, std::string_view hexColor, const UIFont& font);
};
