#pragma once

#include <string>

// What a list, a chart or a figure shows while it has nothing to show.
namespace KXNoDataText {

// The empty lists' view and the charts' text without entries.
inline constexpr const char* kText = "暂无数据";
// The grey of the empty lists' text (153, 153, 153).
inline constexpr const char* kColourHex = "#999999";
// A figure (an amount, a count) the back end has not sent: before its
// answer, after a failed load, or missing from the answer. It keeps the
// label's line, so the views laid out from it stay in place.
inline constexpr const char* kNoFigure = "--";

// `text`, or kNoFigure when it is empty.
inline std::string figure(const std::string& text) { return text.empty() ? std::string(kNoFigure) : text; }

}  // namespace KXNoDataText
