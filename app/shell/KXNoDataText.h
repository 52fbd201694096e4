#pragma once

// What a list or a chart shows while it has nothing to show: the empty
// lists' view and the charts' text without entries say the same.
namespace KXNoDataText {

inline constexpr const char* kText = "暂无数据";
// The grey of the empty lists' text (153, 153, 153).
inline constexpr const char* kColourHex = "#999999";

}  // namespace KXNoDataText
