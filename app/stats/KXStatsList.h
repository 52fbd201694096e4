#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UICollectionView.h"
#include "uikit/UIImageView.h"
#include "uikit/UITableView.h"

// What the paged statistics lists (gift bags, server openings, rankings)
// share: their table, their empty view, their refresh controls and the
// rules by which an answered page changes the rows.
namespace KXStatsList {

// A card list: plain style, background "#F5F5F5", no separators, automatic
// row heights (estimated at 40), no header or footer estimates, no vertical
// indicator, insets never adjusted; `source` feeds it and takes its taps.
template <class Source> Ref<UITableView> makeCardTable(const Ref<Source>& source);
// Adds the list to the bar's superview, filling it below the bar, and
// brings the bar to the front.
void placeBelowBar(const Ref<UIScrollView>& list, const Ref<UIView>& bar);
// Makes the cell a card row (no selection look, clear background) and
// answers its card: white, rounded 12 (scaled), in the content view 20 in
// from its sides and 10 below its top, down to its bottom.
Ref<UIView> addCard(const Ref<UITableViewCell>& cell);
// A game's icon in a card row: clear, rounded 12 (scaled), clipped.
Ref<UIImageView> gameIconView(const char* identifier);
// The "暂无数据" view shown while the list has no rows, 40 points above the middle.
void attachNoDataView(const Ref<UIScrollView>& list);

// The pull-down header calling the screen's loadNewData and the load-more
// footer calling its loadMoreData. The controls refresh until the screen's
// page request answers: a pull-up while a page is under way sends nothing
// (KXHttpManager) and the footer goes on refreshing until that page answers.
template <class Screen> void attachRefresh(const Ref<UIScrollView>& list, const Ref<Screen>& screen) {
    UIScrollViewMJRefresh::setMj_header(list, MJRefreshNormalHeader::headerWithRefreshingTarget(screen, &Screen::loadNewData));
    UIScrollViewMJRefresh::setMj_footer(list,
                                        MJRefreshBackNormalFooter::footerWithRefreshingTarget(screen, &Screen::loadMoreData));
}
// Ends the refreshing of the header and the footer, or of the footer alone.
void endRefreshing(const Ref<UIScrollView>& list);
void endLoadingMore(const Ref<UIScrollView>& list);
// A failed first page: both controls stop; a failed next page: the footer
// stops. Either way the message is toasted on `view`.
void firstPageFailed(const Ref<UIScrollView>& list, const Ref<UIView>& view, const std::string& message);
void nextPageFailed(const Ref<UIScrollView>& list, const Ref<UIView>& view, const std::string& message);

// The rows a paged list has loaded, and what each answer does to them and
// to the list's refresh controls (the caller then shows the rows).
template <class Model> struct PagedRows {
    std::vector<Ref<Model>> rows;

    // Both controls stop; the first page replaces the rows, but where the
    // client kept them (KXHttpManager::keptRows: an empty pull of the list
    // they belong to). So a search that matches nothing empties them.
    void firstPageArrived(const Ref<UIScrollView>& list, const std::vector<Ref<Model>>& page, bool keptRows) {
        endRefreshing(list);
        if (!keptRows) rows = page;
    }
    // The footer stops; the page is appended.
    void nextPageArrived(const Ref<UIScrollView>& list, const std::vector<Ref<Model>>& page) {
        endLoadingMore(list);
        rows.insert(rows.end(), page.begin(), page.end());
    }
};

// A closure calling the screen's method while the screen lives (answers
// arriving after it left change nothing).
template <class Screen, class Argument>
std::function<void(const Argument&)> weakly(const Ref<Screen>& screen, void (Screen::*method)(const Argument&)) {
    WeakRef<Screen> weak = screen;
    return [weak, method](const Argument& argument) {
        if (auto live = weak.lock()) (live.get()->*method)(argument);
    };
}

void configureCardTable(const Ref<UITableView>& table);
Ref<UICollectionView> makeSpacelessCollection();

// The collection of the rankings and type statistics: a flow layout with
// no spacing between items or lines, `source` as its data source and
// delegate, no vertical indicator, insets never adjusted.
template <class Source> Ref<UICollectionView> makeCollection(const Ref<Source>& source) {
    auto collection = makeSpacelessCollection();
    collection->setDelegate(source);
    collection->setDataSource(source);
    return collection;
}

template <class Source> Ref<UITableView> makeCardTable(const Ref<Source>& source) {
    auto table = make<UITableView>(CGRectZero, UITableViewStyle::Plain);
    table->setDataSource(source);
    table->setDelegate(source);
    configureCardTable(table);
    return table;
}

}  // namespace KXStatsList
