#pragma once

#include <optional>

#include "graphics/NSParagraphStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// The attributes of a run of text, each one optional as in the platform's
// attribute dictionaries: `font` is NSFontAttributeName,
// `foregroundColor` NSForegroundColorAttributeName, `kern` (extra points after
// each character) NSKernAttributeName, `paragraphStyle`
// NSParagraphStyleAttributeName.
struct NSStringAttributes {
    std::optional<UIFont> font = std::nullopt;
    std::optional<UIColor> foregroundColor = std::nullopt;
    std::optional<CGFloat> kern = std::nullopt;
    std::optional<NSParagraphStyle> paragraphStyle = std::nullopt;

    // These attributes with every attribute `other` sets replaced by its.
    NSStringAttributes mergedWith(const NSStringAttributes& other) const {
        NSStringAttributes merged = *this;
        if (other.font) merged.font = other.font;
        if (other.foregroundColor) merged.foregroundColor = other.foregroundColor;
        if (other.kern) merged.kern = other.kern;
        if (other.paragraphStyle) merged.paragraphStyle = other.paragraphStyle;
        return merged;
    }

    // What text without the attribute is drawn with: 12-point system font in black.
    static UIFont defaultFont() { return UIFont::systemFontOfSize(12); }
    static UIColor defaultColor() { return UIColor::blackColor(); }

    bool operator==(const NSStringAttributes&) const = default;
};
