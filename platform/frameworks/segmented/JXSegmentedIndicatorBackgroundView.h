#pragma once

#include "frameworks/segmented/JXSegmentedIndicatorBaseView.h"

// A rounded plate behind the selected title: 26 points high and 20 points
// wider than the title unless set otherwise, centred on the item, with
// fully rounded ends.
class JXSegmentedIndicatorBackgroundView : public JXSegmentedIndicatorBaseView {
public:
    static constexpr CGFloat kDefaultHeight = 26;
    static constexpr CGFloat kDefaultWidthIncrement = 20;

    std::string className() const override { return "JXSegmentedIndicatorBackgroundView"; }

protected:
    void didCreate() override;
    CGRect frameOver(CGRect itemFrame) const override;
};
