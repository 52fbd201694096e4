#pragma once

#include <string>

#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"

// The label factory of the money screens and their cells, and the colour
// of their secondary texts (the other colours: KXTeamColors).
class KXRecordListLook {
public:
    KXRecordListLook() = delete;

    // Secondary text (dates, captions).
    static UIColor secondaryText();

    // A one-line label with the font, colour and alignment, named `outlet`.
    static Ref<UILabel> label(CGRect frame, CGFloat fontSize, const UIColor& colour, NSTextAlignment alignment,
                              const std::string& outlet = "");
};
