#include "uikit/TableRowGeometry.h"

#include <algorithm>

void TableRowGeometry::reset(CGFloat tableHeaderHeight, std::vector<Section> sections, CGFloat tableFooterHeight) {
    tableHeaderHeight_ = tableHeaderHeight;
    tableFooterHeight_ = tableFooterHeight;
    sections_.clear();
    sections_.reserve(sections.size());
    for (auto& section : sections) sections_.push_back({std::move(section), 0, {}});
    placeFrom(0);
}

void TableRowGeometry::setRowHeight(NSIndexPath path, CGFloat height) {
    if (!contains(path)) return;
    auto section = static_cast<std::size_t>(path.section());
    sections_[section].parts.rowHeights[static_cast<std::size_t>(path.row())] = height;
    placeFrom(section);
}

void TableRowGeometry::placeFrom(std::size_t first) {
    CGFloat y = first == 0 ? tableHeaderHeight_
                           : sections_[first - 1].rowsBottom() + sections_[first - 1].parts.footerHeight;
    for (std::size_t s = first; s < sections_.size(); ++s) {
        PlacedSection& section = sections_[s];
        section.top = y;
        y += section.parts.headerHeight;
        section.rowTops.resize(section.parts.rowHeights.size());
        for (std::size_t r = 0; r < section.rowTops.size(); ++r) {
            section.rowTops[r] = y;
            y += section.parts.rowHeights[r];
        }
        y += section.parts.footerHeight;
    }
    contentHeight_ = y + tableFooterHeight_;
}

long TableRowGeometry::numberOfRows(long section) const {
    if (section < 0 || section >= numberOfSections()) return 0;
    return static_cast<long>(sections_[static_cast<std::size_t>(section)].rowTops.size());
}

bool TableRowGeometry::contains(NSIndexPath path) const {
    return path.row() >= 0 && path.row() < numberOfRows(path.section());
}

CGRect TableRowGeometry::rectForRow(NSIndexPath path, CGFloat width) const {
    if (!contains(path)) return CGRectZero;
    const PlacedSection& section = sections_[static_cast<std::size_t>(path.section())];
    auto row = static_cast<std::size_t>(path.row());
    return CGRectMake(0, section.rowTops[row], width, section.parts.rowHeights[row]);
}

CGRect TableRowGeometry::rectForHeader(long section, CGFloat width) const {
    if (section < 0 || section >= numberOfSections()) return CGRectZero;
    const PlacedSection& placed = sections_[static_cast<std::size_t>(section)];
    return CGRectMake(0, placed.top, width, placed.parts.headerHeight);
}

CGRect TableRowGeometry::rectForFooter(long section, CGFloat width) const {
    if (section < 0 || section >= numberOfSections()) return CGRectZero;
    const PlacedSection& placed = sections_[static_cast<std::size_t>(section)];
    return CGRectMake(0, placed.rowsBottom(), width, placed.parts.footerHeight);
}

std::vector<NSIndexPath> TableRowGeometry::rowsBetween(CGFloat top, CGFloat bottom) const {
    std::vector<NSIndexPath> rows;
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const PlacedSection& section = sections_[s];
        if (section.rowsBottom() <= top) continue;
        if (section.rowsTop() >= bottom) break;
        // The last row starting at or above `top` is the first that can overlap.
        auto start = std::upper_bound(section.rowTops.begin(), section.rowTops.end(), top);
        auto r = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, (start - section.rowTops.begin()) - 1));
        for (; r < section.rowTops.size() && section.rowTops[r] < bottom; ++r) {
            CGFloat height = section.parts.rowHeights[r];
            if (height > 0 && section.rowTops[r] + height > top)
                rows.push_back(NSIndexPath::indexPathForRow(static_cast<long>(r), static_cast<long>(s)));
        }
    }
    return rows;
}

std::optional<NSIndexPath> TableRowGeometry::rowAt(CGFloat y) const {
    auto rows = rowsBetween(y, y + 1e-9);
    if (rows.empty()) return std::nullopt;
    return rows.front();
}
