#include "frameworks/paging/JXPagingListContainerView.h"

#include <cmath>

#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UIViewController.h"

namespace {

constexpr const char* kPageIdentifier = "cell";

Ref<UIViewController> owningController(const Ref<UIView>& view) {
    for (auto v = view; v; v = v->superview())
        if (auto controller = v->owningViewController()) return controller;
    return nullptr;
}

}  // namespace

void JXPagingListContainerView::didCreate() {
    UIView::didCreate();
    if (type_ == JXPagingListContainerType::CollectionView) {
        auto layout = make<UICollectionViewFlowLayout>();
        layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
        layout->setMinimumLineSpacing(0);
        layout->setMinimumInteritemSpacing(0);
        auto collectionView = make<UICollectionView>(bounds(), layout);
        collectionView->registerClass<UICollectionViewCell>(kPageIdentifier);
        collectionView->setDataSource(self<JXPagingListContainerView>());
        collectionView->setDelegate(self<JXPagingListContainerView>());
        scrollView_ = collectionView;
    } else {
        scrollView_ = make<UIScrollView>(bounds());
        scrollView_->setDelegate(self<JXPagingListContainerView>());
    }
    scrollView_->setPagingEnabled(true);
    scrollView_->setBounces(false);
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setBackgroundColor(UIColor::clearColor());
    scrollView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    addSubview(scrollView_);
}

long JXPagingListContainerView::numberOfLists() {
    auto source = dataSource_.lock();
    return source ? source->numberOfListsInListContainerView(self<JXPagingListContainerView>()) : 0;
}

Ref<JXPagingViewListViewDelegate> JXPagingListContainerView::currentList() const {
    auto found = validListDict_.find(currentIndex_);
    return found == validListDict_.end() ? nullptr : found->second;
}

Ref<JXPagingViewListViewDelegate> JXPagingListContainerView::listAt(long index) {
    if (index < 0 || index >= numberOfLists()) return nullptr;
    if (auto found = validListDict_.find(index); found != validListDict_.end()) return found->second;
    auto source = dataSource_.lock();
    auto list = source ? source->listContainerViewInitListAt(self<JXPagingListContainerView>(), index) : nullptr;
    if (list) validListDict_[index] = list;
    return list;
}

void JXPagingListContainerView::showList(const Ref<JXPagingViewListViewDelegate>& list, const Ref<UIView>& page,
                                         CGRect frame) {
    auto view = list->listView();
    if (!view) return;
    auto controller = std::dynamic_pointer_cast<UIViewController>(list);
    auto owner = owningController(self<UIView>());
    const bool adopt = controller && owner && controller->parentViewController() != owner;
    if (adopt) owner->addChildViewController(controller);
    view->setFrame(frame);
    if (view->superview() != page) page->addSubview(view);
    if (adopt) controller->didMoveToParentViewController(owner);
}

void JXPagingListContainerView::setDefaultSelectedIndex(long index) { currentIndex_ = std::max(0L, index); }

void JXPagingListContainerView::didClickSelectedItem(long index) {
    if (index < 0 || index >= numberOfLists()) return;
    const CGFloat width = scrollView_->bounds().size.width;
    if (width <= 0) {
        setCurrentIndex(index);
        return;
    }
    scrollView_->setContentOffset({index * width, 0}, false);
    setCurrentIndex(index);
    layoutIfNeeded();
}

void JXPagingListContainerView::reloadData() {
    for (const auto& [index, list] : validListDict_) {
        if (auto view = list->listView()) view->removeFromSuperview();
        if (auto controller = std::dynamic_pointer_cast<UIViewController>(list)) {
            controller->willMoveToParentViewController(nullptr);
            controller->removeFromParentViewController();
        }
    }
    validListDict_.clear();
    const long count = numberOfLists();
    if (currentIndex_ >= count) currentIndex_ = std::max(0L, count - 1);
    if (auto collectionView = this->collectionView()) collectionView->reloadData();
    setNeedsLayout();
}

void JXPagingListContainerView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGSize size = bounds().size;
    const bool resized = scrollView_->frame().size != size;
    scrollView_->setFrame(bounds());
    if (auto collectionView = this->collectionView()) {
        auto layout = cast<UICollectionViewFlowLayout>(collectionView->collectionViewLayout());
        if (layout->itemSize() != size) {
            layout->setItemSize(size);
            layout->invalidateLayout();
        }
    } else {
        scrollView_->setContentSize({numberOfLists() * size.width, size.height});
    }
    if (resized || scrollView_->contentOffset().x != currentIndex_ * size.width)
        if (!scrollView_->isDragging() && !scrollView_->isDecelerating())
            scrollView_->setContentOffset({currentIndex_ * size.width, 0});
    if (!collectionView()) loadVisiblePages();
}

// The plain scroll view's pages meeting the bounds get their lists.
void JXPagingListContainerView::loadVisiblePages() {
    const CGSize size = bounds().size;
    if (size.width <= 0) return;
    const CGFloat offset = scrollView_->contentOffset().x;
    const long first = static_cast<long>(std::floor(offset / size.width));
    const long last = static_cast<long>(std::ceil((offset + size.width) / size.width)) - 1;
    for (long index = std::max(0L, first); index <= last; ++index)
        if (auto list = listAt(index)) showList(list, scrollView_, {{index * size.width, 0}, size});
}

long JXPagingListContainerView::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return numberOfLists();
}

Ref<UICollectionViewCell> JXPagingListContainerView::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = collectionView->dequeueReusableCellWithReuseIdentifier(kPageIdentifier, indexPath);
    if (!cell) return nullptr;
    auto list = listAt(indexPath.item());
    auto shown = list ? list->listView() : nullptr;
    for (const auto& subview : std::vector(cell->contentView()->subviews()))
        if (subview != shown) subview->removeFromSuperview();
    if (list) showList(list, cell->contentView(), cell->contentView()->bounds());
    return cell;
}

void JXPagingListContainerView::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    const CGFloat width = scrollView->bounds().size.width;
    if (width <= 0) return;
    if (!collectionView()) loadVisiblePages();
    const long index = std::lround(scrollView->contentOffset().x / width);
    if (std::fabs(scrollView->contentOffset().x - index * width) < 0.5) setCurrentIndex(index);
}

void JXPagingListContainerView::setCurrentIndex(long index) {
    if (index == currentIndex_) return;
    if (auto old = currentList()) old->listDidDisappear();
    currentIndex_ = index;
    if (auto list = currentList()) list->listDidAppear();
}
