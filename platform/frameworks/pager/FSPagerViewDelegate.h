#pragma once

#include "foundation/NSObject.h"

class FSPagerView;

// What a pager tells about taps on its pages. Optional.
class FSPagerViewDelegate {
public:
    virtual ~FSPagerViewDelegate() = default;

    // The page at `index` (of the data source's count) was tapped.
    virtual void pagerViewDidSelectItemAtIndex(const Ref<FSPagerView>& /*pagerView*/, long /*index*/) {}
};
