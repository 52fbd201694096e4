#pragma once

#include "frameworks/segmented/JXSegmentedTitleCell.h"

// A title cell whose background view, when it has one, is red.
class KXSegmentedBgTitleCell : public JXSegmentedTitleCell {
public:
    using JXSegmentedTitleCell::JXSegmentedTitleCell;

    void commonInit() override;

    std::string className() const override { return "KXSegmentedBgTitleCell"; }
};
