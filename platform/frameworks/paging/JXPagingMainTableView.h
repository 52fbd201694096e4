#pragma once

#include "uikit/UITableView.h"

class JXPagingView;

// The paging view's outer table. A vertical drag on it is shared out as a
// finger on the real screen moves both it and the list under it: toward
// the end, the table scrolls until the header has gone and the pinned bar
// sits at the top, then the shown list takes the rest; toward the start,
// the list goes back to its top first, then the table. A sideways drag
// turns the pages. Pulls past either edge count the list's content too.
class JXPagingMainTableView : public UITableView {
public:
    explicit JXPagingMainTableView(const WeakRef<JXPagingView>& pagingView) : pagingView_(pagingView) {}

    bool handleDragBy(CGVector translation) override;
    CGFloat verticalDragToRestingEdge(bool end) const override;
    // The table's own drag, without sharing.
    bool dragTableBy(CGFloat dy) { return UITableView::handleDragBy({0, dy}); }

    std::string className() const override { return "JXPagingMainTableView"; }

private:
    WeakRef<JXPagingView> pagingView_;
};
