#pragma once

#include "frameworks/segmented/JXSegmentedTitleItemModel.h"

// The item of a title bar whose titles have a coloured background.
class KXSegmentedBgTitleItemModel : public JXSegmentedTitleItemModel {
public:
    std::string className() const override { return "KXSegmentedBgTitleItemModel"; }
};
