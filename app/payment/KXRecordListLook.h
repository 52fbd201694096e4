#pragma once

#include <optional>
#include <string>

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

// The colours and the label factory of the record lists and their cells.
class KXRecordListLook {
public:
    KXRecordListLook() = delete;

    // The header card and the states.
    static UIColor accentBlue();
    // Body text.
    static UIColor bodyText();
    // Secondary text (dates).
    static UIColor secondaryText();
    // Screen and table background.
    static UIColor screenBackground();
    // The hairline under each row.
    static UIColor gridLine();

    // A one-line label with the font, colour and alignment, named `outlet`.
    static Ref<UILabel> label(CGRect frame, CGFloat fontSize, const UIColor& colour, NSTextAlignment alignment,
                              const std::string& outlet = "");
    // A model's text as a cell shows it: empty when the answer left it out.
    static std::string text(const std::optional<std::string>& value) { return value.value_or(""); }
};
