#pragma once

#include <functional>

#include "foundation/NSObject.h"
#include "foundation/StoredBlock.h"

class UIScrollView;
class UIView;

// One list page of a paging view: the view shown as the page, the scroll
// view inside it whose vertical scrolling the paging view shares with its
// own, and where the page reports that scroll view's every move. The page
// is told when it becomes or stops being the page shown.
class JXPagingViewListViewDelegate {
public:
    using ScrollCallback = StoredBlock<void(const Ref<UIScrollView>&)>;

    virtual ~JXPagingViewListViewDelegate() = default;

    virtual Ref<UIView> listView() = 0;
    virtual Ref<UIScrollView> listScrollView() = 0;
    // The page calls `callback` from its scroll view's scrollViewDidScroll.
    virtual void listViewDidScrollCallback(ScrollCallback callback) = 0;

    virtual void listScrollViewWillResetContentOffset() {}
    virtual void listDidAppear() {}
    virtual void listDidDisappear() {}
};
