#pragma once

#include <optional>
#include <vector>

#include "foundation/NSIndexPath.h"
#include "graphics/CGGeometry.h"

// Where the parts of a table sit along its height, top to bottom: the table
// header, then per section its header, rows and footer, then the table
// footer. Answers the rectangles of rows, headers and footers and which
// rows cover a stretch of the height (by binary search, so a long list
// costs little per query). Row heights may change later (rows measured
// when first shown); the positions below follow.
class TableRowGeometry {
public:
    struct Section {
        CGFloat headerHeight = 0;
        CGFloat footerHeight = 0;
        std::vector<CGFloat> rowHeights;
    };

    void reset(CGFloat tableHeaderHeight, std::vector<Section> sections, CGFloat tableFooterHeight);
    void setRowHeight(NSIndexPath path, CGFloat height);

    long numberOfSections() const { return static_cast<long>(sections_.size()); }
    // 0 for a section that does not exist.
    long numberOfRows(long section) const;
    bool contains(NSIndexPath path) const;

    // Zero rectangles for parts that do not exist.
    CGRect rectForRow(NSIndexPath path, CGFloat width) const;
    CGRect rectForHeader(long section, CGFloat width) const;
    CGRect rectForFooter(long section, CGFloat width) const;
    CGFloat tableFooterTop() const { return contentHeight_ - tableFooterHeight_; }
    CGFloat contentHeight() const { return contentHeight_; }

    // The rows of non-zero height overlapping [top, bottom), in order.
    std::vector<NSIndexPath> rowsBetween(CGFloat top, CGFloat bottom) const;
    std::optional<NSIndexPath> rowAt(CGFloat y) const;

private:
    struct PlacedSection {
        Section parts;
        CGFloat top = 0;
        std::vector<CGFloat> rowTops;
        CGFloat rowsTop() const { return top + parts.headerHeight; }
        CGFloat rowsBottom() const { return rowTops.empty() ? rowsTop() : rowTops.back() + parts.rowHeights.back(); }
    };
    void placeFrom(std::size_t section);

    CGFloat tableHeaderHeight_ = 0;
    CGFloat tableFooterHeight_ = 0;
    std::vector<PlacedSection> sections_;
    CGFloat contentHeight_ = 0;
};
