#pragma once

#include "graphics/CGGeometry.h"
#include "graphics/UIEdgeInsets.h"

class UICollectionViewFlowLayout;

// Measurements of a flow layout's sections that the rounded-section layout
// needs for its plates and line alignment. Each takes the layout and keeps
// no state. Per-section values come from the collection view's delegate
// when it is a flow-layout delegate that answers, else from the layout.
class RSCollectionViewFlowLayoutUtils_Swift {
public:
    RSCollectionViewFlowLayoutUtils_Swift() = delete;

    static CGFloat minimumInteritemSpacingForSection(UICollectionViewFlowLayout& layout, long section);
    // The section inset, asked the same way (the alignment rules and the
    // plate frames read it).
    static UIEdgeInsets insetForSection(UICollectionViewFlowLayout& layout, long section);

    // The frame moved to the smallest leading edge (min y when scrolling
    // vertically, min x horizontally) among the section's first `count`
    // items; its other values stay.
    static CGRect firstItemMinEdge(UICollectionViewFlowLayout& layout, long section, long count, CGRect frame);
    // The whole frame of the item reaching furthest along the scroll
    // direction (max y or max x) beyond the given frame's edge; the last
    // item's frame when none reaches strictly beyond it.
    static CGRect lastItemMaxEdge(UICollectionViewFlowLayout& layout, long section, long count, CGRect frame);
};
