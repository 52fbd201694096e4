#include "frameworks/paging/JXPagingView.h"

#include <algorithm>

namespace {

constexpr const char* kListCellIdentifier = "JXPagingListContainerCell";

}  // namespace

void JXPagingView::didCreate() {
    UIView::didCreate();
    mainTableView_ = make<JXPagingMainTableView>(self<JXPagingView>());
    mainTableView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    mainTableView_->setShowsVerticalScrollIndicator(false);
    mainTableView_->setAllowsSelection(false);
    mainTableView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    mainTableView_->setDataSource(self<JXPagingView>());
    mainTableView_->setDelegate(self<JXPagingView>());
    addSubview(mainTableView_);

    listContainerView_ = make<JXPagingListContainerView>(self<JXPagingView>(), listContainerType_);
    listCell_ = make<UITableViewCell>(UITableViewCellStyle::Default, kListCellIdentifier);
    listCell_->setSelectionStyle(UITableViewCellSelectionStyle::None);
    listCell_->setBackgroundColor(UIColor::clearColor());
    listCell_->contentView()->addSubview(listContainerView_);
    loadHeader();
}

void JXPagingView::loadHeader() {
    auto listener = delegate();
    if (!listener) return;
    const CGFloat height = static_cast<CGFloat>(listener->tableHeaderViewHeight(self<JXPagingView>()));
    tableHeaderContainer_ = make<UIView>(CGRect{{0, 0}, {bounds().size.width, height}});
    if (auto header = listener->tableHeaderView(self<JXPagingView>())) {
        header->setFrame(tableHeaderContainer_->bounds());
        tableHeaderContainer_->addSubview(header);
    }
    mainTableView_->setTableHeaderView(tableHeaderContainer_);
}

void JXPagingView::setPinSectionHeaderVerticalOffset(CGFloat offset) {
    pinSectionHeaderVerticalOffset_ = offset;
    mainTableView_->reloadData();
}

void JXPagingView::reloadData() {
    loadHeader();
    mainTableView_->reloadData();
    listContainerView_->reloadData();
}

CGFloat JXPagingView::pinHeight() const {
    auto listener = delegate();
    return listener ? static_cast<CGFloat>(
                          listener->heightForPinSectionHeader(std::const_pointer_cast<JXPagingView>(self<JXPagingView>())))
                    : 0;
}

CGFloat JXPagingView::pinnedOffset() const {
    const CGFloat header = tableHeaderContainer_ ? tableHeaderContainer_->frame().size.height : 0;
    return std::max<CGFloat>(0, header - pinSectionHeaderVerticalOffset_);
}

Ref<UIScrollView> JXPagingView::currentListScrollView() const {
    auto list = listContainerView_->currentList();
    return list ? list->listScrollView() : nullptr;
}

void JXPagingView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGSize size = bounds().size;
    if (mainTableView_->frame().size == size) return;
    mainTableView_->setFrame(bounds());
    if (tableHeaderContainer_) {
        CGRect header = tableHeaderContainer_->frame();
        header.size.width = size.width;
        tableHeaderContainer_->setFrame(header);
        for (const auto& view : tableHeaderContainer_->subviews()) view->setFrame(tableHeaderContainer_->bounds());
        mainTableView_->setTableHeaderView(tableHeaderContainer_);
    }
    mainTableView_->reloadData();
}

Ref<UITableViewCell> JXPagingView::tableViewCellForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {
    const CGFloat height = *tableViewHeightForRowAtIndexPath(mainTableView_, NSIndexPath::indexPathForRow(0, 0));
    listContainerView_->setFrame({{0, 0}, {bounds().size.width, height}});
    return listCell_;
}

std::optional<CGFloat> JXPagingView::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {
    return std::max<CGFloat>(0, bounds().size.height - pinHeight() - pinSectionHeaderVerticalOffset_);
}

std::optional<CGFloat> JXPagingView::tableViewHeightForHeaderInSection(const Ref<UITableView>&, long) {
    return pinHeight();
}

Ref<UIView> JXPagingView::tableViewViewForHeaderInSection(const Ref<UITableView>&, long) {
    auto listener = delegate();
    return listener ? listener->viewForPinSectionHeader(self<JXPagingView>()) : nullptr;
}

void JXPagingView::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    if (!handingOver_) {
        // A scrolled list keeps the bar pinned.
        auto list = currentListScrollView();
        const CGFloat pinned = pinnedOffset();
        if (list && list->contentOffset().y > list->minimumContentOffset().y && scrollView->contentOffset().y < pinned) {
            handingOver_ = true;
            scrollView->setContentOffset({scrollView->contentOffset().x, pinned});
            handingOver_ = false;
        }
    }
    if (auto listener = delegate()) listener->mainTableViewDidScroll(scrollView);
}

void JXPagingView::listViewDidScroll(const Ref<UIScrollView>& list) {
    if (handingOver_ || list != currentListScrollView()) return;
    const CGPoint table = mainTableView_->contentOffset();
    const CGFloat pinned = pinnedOffset(), listTop = list->minimumContentOffset().y, y = list->contentOffset().y;
    CGFloat moveTable = 0;
    if (y > listTop && table.y < pinned) moveTable = std::min(y - listTop, pinned - table.y);
    else if (y < listTop && table.y > mainTableView_->minimumContentOffset().y)
        moveTable = -std::min(listTop - y, table.y - mainTableView_->minimumContentOffset().y);
    if (moveTable == 0) return;
    handingOver_ = true;
    mainTableView_->setContentOffset({table.x, table.y + moveTable});
    list->setContentOffset({list->contentOffset().x, y - moveTable});
    handingOver_ = false;
}

long JXPagingView::numberOfListsInListContainerView(const Ref<JXPagingListContainerView>&) {
    auto listener = delegate();
    return listener ? std::max(0L, listener->numberOfLists(self<JXPagingView>())) : 0;
}

Ref<JXPagingViewListViewDelegate> JXPagingView::listContainerViewInitListAt(const Ref<JXPagingListContainerView>&,
                                                                            long index) {
    auto listener = delegate();
    Ref<JXPagingView> me = self<JXPagingView>();
    auto list = listener ? listener->pagingViewInitListAtIndex(me, index) : nullptr;
    if (!list) return nullptr;
    WeakRef<JXPagingView> weak = me;
    list->listViewDidScrollCallback([weak](const Ref<UIScrollView>& scrollView) {
        if (auto pagingView = weak.lock()) pagingView->listViewDidScroll(scrollView);
    });
    return list;
}
