#include "app/stats/KXStatsList.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"

namespace KXStatsList {

void configureCardTable(const Ref<UITableView>& table) {
    table->setBackgroundColor(hex("#F5F5F5"));
    table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    table->setRowHeight(UITableViewAutomaticDimension);
    table->setEstimatedRowHeight(40);
    table->setEstimatedSectionHeaderHeight(0);
    table->setEstimatedSectionFooterHeight(0);
    table->setShowsVerticalScrollIndicator(false);
    table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
}

void attachNoDataView(const Ref<UIScrollView>& list) {
    auto empty = LYEmptyView::emptyViewWithImageStr("", "", "暂无数据");
    empty->setContentViewOffset(-40);
    UIScrollViewLYEmpty::setLy_emptyView(list, empty);
}

void endRefreshing(const Ref<UIScrollView>& list) {
    if (auto header = UIScrollViewMJRefresh::mj_header(list)) header->endRefreshing();
    endLoadingMore(list);
}

void endLoadingMore(const Ref<UIScrollView>& list) {
    if (auto footer = UIScrollViewMJRefresh::mj_footer(list)) footer->endRefreshing();
}

void firstPageFailed(const Ref<UIScrollView>& list, const Ref<UIView>& view, const std::string& message) {
    endRefreshing(list);
    showToast(view, message);
}

void nextPageFailed(const Ref<UIScrollView>& list) { endLoadingMore(list); }

}  // namespace KXStatsList
