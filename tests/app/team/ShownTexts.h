#pragma once

#include <string>
#include <vector>

#include "uikit/UILabel.h"
#include "uikit/UITableView.h"

// The texts of the shown labels inside a view, depth first in subview order.
inline void collectShownTexts(const Ref<UIView>& view, std::vector<std::string>& texts) {
    if (view->isHidden()) return;
    if (auto label = cast<UILabel>(view)) texts.push_back(label->text());
    for (const auto& child : view->subviews()) collectShownTexts(child, texts);
}

inline std::vector<std::string> shownTexts(const Ref<UIView>& view) {
    std::vector<std::string> texts;
    collectShownTexts(view, texts);
    return texts;
}

// The shown texts of a row of section 0 that is on screen.
inline std::vector<std::string> rowTexts(const Ref<UITableView>& table, long row) {
    auto cell = table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0));
    return cell ? shownTexts(cell) : std::vector<std::string>{"(no cell)"};
}
