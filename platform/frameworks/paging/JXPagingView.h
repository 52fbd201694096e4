#pragma once

#include "frameworks/paging/JXPagingListContainerView.h"
#include "frameworks/paging/JXPagingMainTableView.h"
#include "frameworks/paging/JXPagingViewDelegate.h"
#include "uikit/UITableViewDataSource.h"
#include "uikit/UITableViewDelegate.h"

// One vertically scrolling page made of a header that scrolls away, a bar
// that then stays pinned at the top, and under the bar a list container of
// horizontally paged lists, each scrolling vertically on its own.
//
// The outer table (`mainTableView`) carries the header as its table header,
// the bar as its one section's header, and the list container as its one
// row, as tall as the view less the bar; so the table rests at most at the
// header's height, where the bar is pinned. Vertical scrolling is handed
// over between the table and the shown list: the list stays at its top
// while the header is (partly) in view, and the table stays pinned while
// the list is scrolled (see JXPagingMainTableView for drags on the table;
// a drag on a list moves the table first in the same way).
class JXPagingView : public UIView,
                     public UITableViewDataSource,
                     public UITableViewDelegate,
                     public JXPagingListContainerViewDataSource {
public:
    JXPagingView(const Ref<JXPagingViewDelegate>& delegate, JXPagingListContainerType listContainerType)
        : delegate_(delegate), listContainerType_(listContainerType) {}

    Ref<JXPagingViewDelegate> delegate() const { return delegate_.lock(); }
    const Ref<JXPagingMainTableView>& mainTableView() const { return mainTableView_; }
    const Ref<JXPagingListContainerView>& listContainerView() const { return listContainerView_; }
    const std::map<long, Ref<JXPagingViewListViewDelegate>>& validListDict() const {
        return listContainerView_->validListDict();
    }
    // How far below the top the bar stays pinned.
    CGFloat pinSectionHeaderVerticalOffset() const { return pinSectionHeaderVerticalOffset_; }
    void setPinSectionHeaderVerticalOffset(CGFloat offset);
    void setDefaultSelectedIndex(long index) { listContainerView_->setDefaultSelectedIndex(index); }

    // Asks the delegate for the header and the bar again and reloads the lists.
    void reloadData();
    // The table offset at which the bar is pinned.
    CGFloat pinnedOffset() const;
    // The shown list's scroll view, if its list is made.
    Ref<UIScrollView> currentListScrollView() const;

    void layoutSubviews() override;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return 1; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) override;
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, long) override;
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, long) override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    long numberOfListsInListContainerView(const Ref<JXPagingListContainerView>&) override;
    Ref<JXPagingViewListViewDelegate> listContainerViewInitListAt(const Ref<JXPagingListContainerView>&,
                                                                  long index) override;

    std::string className() const override { return "JXPagingView"; }

protected:
    void didCreate() override;

private:
    void loadHeader();
    void listViewDidScroll(const Ref<UIScrollView>& scrollView);
    CGFloat pinHeight() const;

    WeakRef<JXPagingViewDelegate> delegate_;
    JXPagingListContainerType listContainerType_;
    Ref<JXPagingMainTableView> mainTableView_;
    Ref<JXPagingListContainerView> listContainerView_;
    Ref<UIView> tableHeaderContainer_;
    Ref<UITableViewCell> listCell_;
    CGFloat pinSectionHeaderVerticalOffset_ = 0;
    bool handingOver_ = false;
};
