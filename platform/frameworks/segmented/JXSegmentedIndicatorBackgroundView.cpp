#include "frameworks/segmented/JXSegmentedIndicatorBackgroundView.h"

void JXSegmentedIndicatorBackgroundView::didCreate() {
    JXSegmentedIndicatorBaseView::didCreate();
    indicatorWidthIncrement = kDefaultWidthIncrement;
}

CGRect JXSegmentedIndicatorBackgroundView::frameOver(CGRect itemFrame) const {
    const CGFloat width = (indicatorWidth == kAutomatic ? itemFrame.size.width : indicatorWidth) + indicatorWidthIncrement;
    const CGFloat height = indicatorHeight == kAutomatic ? kDefaultHeight : indicatorHeight;
    return {{CGRectGetMidX(itemFrame) - width / 2, CGRectGetMidY(itemFrame) - height / 2}, {width, height}};
}
