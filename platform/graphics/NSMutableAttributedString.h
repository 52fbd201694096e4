#pragma once

#include "graphics/NSAttributedString.h"

// Attributed text that can be changed. Ranges are clamped to the text.
class NSMutableAttributedString : public NSAttributedString {
public:
    using NSAttributedString::NSAttributedString;
    NSMutableAttributedString(const NSAttributedString& other) : NSAttributedString(other) {}

    // Sets the given attributes over the range, keeping the others.
    void addAttributes(const NSStringAttributes& attributes, NSRange range);
    // Replaces all attributes over the range.
    void setAttributes(const NSStringAttributes& attributes, NSRange range);
    void appendAttributedString(const NSAttributedString& other);
};
