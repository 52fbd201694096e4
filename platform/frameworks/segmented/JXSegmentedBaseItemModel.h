#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

// What a title bar keeps of one item: its place, whether it is selected,
// and the width of its content.
class JXSegmentedBaseItemModel : public NSObject {
public:
    long index = 0;
    bool isSelected = false;
    CGFloat itemWidth = 0;
};
