#include "app/stats/KXStatsList.h"

#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"
#include "uikit/UICollectionViewFlowLayout.h"

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

void placeBelowBar(const Ref<UIScrollView>& list, const Ref<UIView>& bar) {
    auto screen = bar->superview();
    screen->addSubview(list);
    screen->bringSubviewToFront(bar);
    snp(list).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalTo(snp(bar).bottom);
        make.left.right.bottom.equalToSuperview();
    });
}

Ref<UICollectionView> makeSpacelessCollection() {
    auto layout = make<UICollectionViewFlowLayout>();
    layout->setMinimumLineSpacing(0);
    layout->setMinimumInteritemSpacing(0);
    auto collection = make<UICollectionView>(CGRectZero, layout);
    collection->setAccessibilityIdentifier("collectionView");
    collection->setShowsVerticalScrollIndicator(false);
    collection->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    return collection;
}

Ref<UIImageView> gameIconView(const char* identifier) {
    auto imageView = make<UIImageView>();
    imageView->setAccessibilityIdentifier(identifier);
    imageView->setBackgroundColor(UIColor::clearColor());
    imageView->layer()->setCornerRadius(12 * layoutScale());
    imageView->setClipsToBounds(true);
    return imageView;
}

Ref<UIView> addCard(const Ref<UITableViewCell>& cell) {
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setBackgroundColor(UIColor::clearColor());
    auto card = make<UIView>();
    card->setAccessibilityIdentifier("bgView");
    card->setBackgroundColor(UIColor::whiteColor());
    card->layer()->setCornerRadius(12 * layoutScale());
    cell->contentView()->addSubview(card);
    const CGFloat s = layoutScale();
    snp(card).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.top.equalToSuperview().offset(10 * s);
        make.bottom.equalToSuperview();
    });
    return card;
}

void attachNoDataView(const Ref<UIScrollView>& list) {
    auto empty = LYEmptyView::emptyViewWithImageStr("", "", KXNoDataText::kText);
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

void nextPageFailed(const Ref<UIScrollView>& list, const Ref<UIView>& view, const std::string& message) {
    endLoadingMore(list);
    showToast(view, message);
}

}  // namespace KXStatsList
