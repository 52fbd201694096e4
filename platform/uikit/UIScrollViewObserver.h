#pragma once

#include "foundation/NSObject.h"

class UIScrollView;

// Follows a scroll view's movement beside its delegate, for components that
// live inside the scroll view (pull-to-refresh headers and footers) and must
// leave the delegate to the screen that owns it.
class UIScrollViewObserver {
public:
    virtual ~UIScrollViewObserver() = default;
    // The content offset or the content size changed.
    virtual void scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) = 0;
    // The finger lifts at the end of a drag, before the scroll view picks
    // where the content comes to rest, so insets changed here count.
    virtual void scrollViewWillEndDragging(const Ref<UIScrollView>& scrollView) = 0;
    // A table or collection view has read its counts afresh from its data
    // source (a reload, or the first load).
    virtual void scrollViewDidReloadData(const Ref<UIScrollView>&) {}
};
