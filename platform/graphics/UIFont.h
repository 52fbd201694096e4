#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "graphics/CGGeometry.h"

typedef struct _PangoFontDescription PangoFontDescription;

// Font weights on the platform's scale (-1 thinnest ... 1 heaviest).
using UIFontWeight = CGFloat;
inline constexpr UIFontWeight UIFontWeightUltraLight = -0.8;
inline constexpr UIFontWeight UIFontWeightThin = -0.6;
inline constexpr UIFontWeight UIFontWeightLight = -0.4;
inline constexpr UIFontWeight UIFontWeightRegular = 0;
inline constexpr UIFontWeight UIFontWeightMedium = 0.23;
inline constexpr UIFontWeight UIFontWeightSemibold = 0.3;
inline constexpr UIFontWeight UIFontWeightBold = 0.4;
inline constexpr UIFontWeight UIFontWeightHeavy = 0.56;
inline constexpr UIFontWeight UIFontWeightBlack = 0.62;

// A font: a name, a size in points and a weight. Every face is drawn with
// Noto Sans CJK SC at the nearest weight it has, so system fonts and the
// named faces the app asks for (PingFang SC, Helvetica) share its metrics.
class UIFont {
public:
    static UIFont systemFontOfSize(CGFloat size);
    static UIFont boldSystemFontOfSize(CGFloat size);
    static UIFont systemFontOfSize(CGFloat size, UIFontWeight weight);
    // "PingFangSC-Medium", "Helvetica-Bold", "HelveticaNeue", "Noto Sans CJK
    // SC"...: a known family with an optional weight suffix. Nothing for
    // other names.
    static std::optional<UIFont> fontWithName(std::string_view name, CGFloat size);

    UIFont fontWithSize(CGFloat size) const;

    const std::string& fontName() const { return name_; }
    CGFloat pointSize() const { return size_; }
    UIFontWeight weight() const { return weight_; }
    // Metrics from the face, in points: ascender above the baseline,
    // descender below it (negative), line height their distance.
    CGFloat ascender() const;
    CGFloat descender() const;
    CGFloat lineHeight() const;

    // A new pango description of the face (the caller frees it).
    PangoFontDescription* newPangoDescription() const;

    bool operator==(const UIFont&) const = default;

private:
    UIFont(std::string name, CGFloat size, UIFontWeight weight);

    std::string name_;
    CGFloat size_;
    UIFontWeight weight_;
};
