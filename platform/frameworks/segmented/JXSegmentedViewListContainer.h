#pragma once

#include "foundation/NSObject.h"

class UIScrollView;

// The pages a title bar drives: a horizontally paged scroll view with one
// page per item. The bar follows the scroll view's movement and tells the
// container when an item is tapped or the items are reloaded.
class JXSegmentedViewListContainer {
public:
    virtual ~JXSegmentedViewListContainer() = default;

    virtual Ref<UIScrollView> contentScrollView() = 0;
    virtual void setDefaultSelectedIndex(long index) = 0;
    virtual void didClickSelectedItem(long index) = 0;
    virtual void reloadData() = 0;
};
