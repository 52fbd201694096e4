#include "frameworks/paging/JXPagingMainTableView.h"

#include <algorithm>

#include "frameworks/paging/JXPagingView.h"

bool JXPagingMainTableView::handleDragBy(CGVector translation) {
    auto pagingView = pagingView_.lock();
    if (!pagingView) return UITableView::handleDragBy(translation);
    bool moved = false;
    if (translation.dx != 0) moved = pagingView->listContainerView()->scrollView()->handleDragBy({translation.dx, 0});
    const CGFloat dy = translation.dy;
    if (dy == 0) return moved;
    auto list = pagingView->currentListScrollView();
    if (!list) return dragTableBy(dy) || moved;
    if (dy > 0) {
        const CGFloat tableShare = std::clamp<CGFloat>(pagingView->pinnedOffset() - contentOffset().y, 0, dy);
        if (tableShare > 0) moved = dragTableBy(tableShare) || moved;
        const CGFloat rest = dy - tableShare;
        // A list that cannot scroll leaves the rest to the table (which bounces).
        if (rest > 0) moved = list->handleDragBy({0, rest}) || dragTableBy(rest) || moved;
    } else {
        const CGFloat listShare = std::max<CGFloat>(dy, std::min<CGFloat>(0, list->verticalDragToRestingEdge(false)));
        if (listShare < 0) moved = list->handleDragBy({0, listShare}) || moved;
        const CGFloat rest = dy - listShare;
        if (rest < 0) moved = dragTableBy(rest) || moved;
    }
    return moved;
}

CGFloat JXPagingMainTableView::verticalDragToRestingEdge(bool end) const {
    auto pagingView = pagingView_.lock();
    auto list = pagingView ? pagingView->currentListScrollView() : nullptr;
    if (!list) return UITableView::verticalDragToRestingEdge(end);
    if (end)
        return std::max<CGFloat>(0, pagingView->pinnedOffset() - contentOffset().y) + list->verticalDragToRestingEdge(true);
    return std::min<CGFloat>(0, list->verticalDragToRestingEdge(false)) + UITableView::verticalDragToRestingEdge(false);
}
