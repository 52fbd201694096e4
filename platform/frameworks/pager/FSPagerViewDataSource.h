#pragma once

#include "foundation/NSObject.h"

class FSPagerView;
class FSPagerViewCell;

// What a pager asks for its pages: how many, and the page at an index
// (dequeued from the pager with dequeueReusableCell).
class FSPagerViewDataSource {
public:
    virtual ~FSPagerViewDataSource() = default;

    virtual long numberOfItemsInPagerView(const Ref<FSPagerView>& pagerView) = 0;
    virtual Ref<FSPagerViewCell> pagerViewCellForItemAtIndex(const Ref<FSPagerView>& pagerView, long index) = 0;
};
