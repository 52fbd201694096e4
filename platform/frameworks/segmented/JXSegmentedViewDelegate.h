#pragma once

#include "foundation/NSObject.h"

class JXSegmentedView;

// What a title bar tells its delegate; every method is optional.
class JXSegmentedViewDelegate {
public:
    virtual ~JXSegmentedViewDelegate() = default;

    // The selection moved to the item, by any means.
    virtual void segmentedViewDidSelectedItemAt(const Ref<JXSegmentedView>&, long /*index*/) {}
    // A tap selected the item.
    virtual void segmentedViewDidClickSelectedItemAt(const Ref<JXSegmentedView>&, long /*index*/) {}
    // Swiping the pages selected the item.
    virtual void segmentedViewDidScrollSelectedItemAt(const Ref<JXSegmentedView>&, long /*index*/) {}
    virtual bool segmentedViewCanClickItemAt(const Ref<JXSegmentedView>&, long /*index*/) { return true; }
};
