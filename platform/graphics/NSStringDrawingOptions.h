#pragma once

#include <cstdint>

// How text is measured and drawn in a rectangle.
enum NSStringDrawingOptions : std::uint32_t {
    // Lines wrap at the rectangle's width and stack from its top; without it
    // the text is one line.
    NSStringDrawingUsesLineFragmentOrigin = 1u << 0,
    NSStringDrawingUsesFontLeading = 1u << 1,
    NSStringDrawingUsesDeviceMetrics = 1u << 3,
    // The last line that fits the height ends in an ellipsis when text is left over.
    NSStringDrawingTruncatesLastVisibleLine = 1u << 5,
};

inline NSStringDrawingOptions operator|(NSStringDrawingOptions a, NSStringDrawingOptions b) {
    return static_cast<NSStringDrawingOptions>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}
