#pragma once

#include "frameworks/paging/JXPagingViewListViewDelegate.h"

class JXPagingView;
class UIView;

// What a paging view asks of its delegate: the header that scrolls away and
// its height, the bar pinned under it and its height (whole points), and the
// lists: how many, and each one when its page is first needed. It also hears
// of every move of the outer table.
class JXPagingViewDelegate {
public:
    virtual ~JXPagingViewDelegate() = default;

    virtual long tableHeaderViewHeight(const Ref<JXPagingView>& pagingView) = 0;
    virtual Ref<UIView> tableHeaderView(const Ref<JXPagingView>& pagingView) = 0;
    virtual long heightForPinSectionHeader(const Ref<JXPagingView>& pagingView) = 0;
    virtual Ref<UIView> viewForPinSectionHeader(const Ref<JXPagingView>& pagingView) = 0;
    virtual long numberOfLists(const Ref<JXPagingView>& pagingView) = 0;
    virtual Ref<JXPagingViewListViewDelegate> pagingViewInitListAtIndex(const Ref<JXPagingView>& pagingView,
                                                                        long index) = 0;
    virtual void mainTableViewDidScroll(const Ref<UIScrollView>&) {}
};
