#include "frameworks/pager/FSPagerView.h"

#include <cmath>

#include "foundation/NSRunLoop.h"
#include "uikit/UIWindow.h"

FSPagerView::~FSPagerView() { stopTimer(); }

void FSPagerView::didCreate() {
    UIView::didCreate();
    layout_ = make<UICollectionViewFlowLayout>();
    layout_->setMinimumLineSpacing(0);
    layout_->setMinimumInteritemSpacing(0);
    layout_->setSectionInset(UIEdgeInsetsZero);
    layout_->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    collectionView_ = make<UICollectionView>(bounds(), layout_);
    collectionView_->setBackgroundColor(UIColor::clearColor());
    collectionView_->setPagingEnabled(true);
    collectionView_->setShowsHorizontalScrollIndicator(false);
    collectionView_->setShowsVerticalScrollIndicator(false);
    collectionView_->setDataSource(self<FSPagerView>());
    collectionView_->setDelegate(self<FSPagerView>());
    addSubview(collectionView_);
}

void FSPagerView::setDataSource(const Ref<FSPagerViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

void FSPagerView::setIsInfinite(bool infinite) {
    isInfinite_ = infinite;
    reloadData();
}

void FSPagerView::setAutomaticSlidingInterval(double seconds) {
    automaticSlidingInterval_ = seconds;
    startTimer();
}

void FSPagerView::setRemovesInfiniteLoopForSingleItem(bool removes) {
    removesInfiniteLoopForSingleItem_ = removes;
    reloadData();
}

void FSPagerView::setScrollDirection(FSPagerViewScrollDirection direction) {
    scrollDirection_ = direction;
    layout_->setScrollDirection(direction == FSPagerViewScrollDirection::vertical
                                    ? UICollectionViewScrollDirection::Vertical
                                    : UICollectionViewScrollDirection::Horizontal);
    layout_->invalidateLayout();
    setNeedsLayout();
}

long FSPagerView::numberOfItems() {
    if (!itemCount_) {
        auto source = dataSource();
        itemCount_ = source ? std::max(0L, source->numberOfItemsInPagerView(self<FSPagerView>())) : 0L;
    }
    return *itemCount_;
}

bool FSPagerView::repeats() {
    const long count = numberOfItems();
    return isInfinite_ && count > 0 && !(count == 1 && removesInfiniteLoopForSingleItem_);
}

CGFloat FSPagerView::pageLength() const {
    const CGSize size = collectionView_->bounds().size;
    return scrollDirection_ == FSPagerViewScrollDirection::vertical ? size.height : size.width;
}

long FSPagerView::currentPage() {
    const CGFloat length = pageLength();
    if (length <= 0) return 0;
    const CGPoint offset = collectionView_->contentOffset();
    const CGFloat along = scrollDirection_ == FSPagerViewScrollDirection::vertical ? offset.y : offset.x;
    return std::max(0L, static_cast<long>(std::lround(along / length)));
}

long FSPagerView::currentIndex() {
    const long count = numberOfItems();
    return count > 0 ? currentPage() % count : 0;
}

void FSPagerView::showPage(long page, bool animated) {
    const CGFloat along = page * pageLength();
    const CGPoint offset = scrollDirection_ == FSPagerViewScrollDirection::vertical ? CGPoint{0, along} : CGPoint{along, 0};
    collectionView_->setContentOffset(offset, animated);
}

void FSPagerView::recentre() {
    const long count = numberOfItems();
    if (!repeats() || count == 0) return;
    const long section = currentPage() / count;
    if (section > kInfiniteRepeats / 4 && section < kInfiniteRepeats * 3 / 4) return;
    showPage((kInfiniteRepeats / 2) * count + currentIndex(), false);
}

void FSPagerView::scrollToItem(long index, bool animated) {
    const long count = numberOfItems();
    if (index < 0 || index >= count) return;
    collectionView_->layoutIfNeeded();
    const long section = repeats() ? currentPage() / count : 0;
    showPage(section * count + index, animated);
}

void FSPagerView::reloadData() {
    const long previous = itemCount_ ? currentIndex() : 0;
    itemCount_.reset();
    collectionView_->reloadData();
    layout_->invalidateLayout();
    collectionView_->layoutIfNeeded();
    const long count = numberOfItems();
    const long index = previous < count ? previous : 0;
    showPage((repeats() ? (kInfiniteRepeats / 2) * count : 0) + index, false);
    startTimer();
}

Ref<FSPagerViewCell> FSPagerView::dequeueReusableCell(const std::string& reuseIdentifier, long index) {
    NSIndexPath indexPath = dequeuingIndexPath_ ? *dequeuingIndexPath_ : NSIndexPath::indexPathForItem(index, 0);
    return cast<FSPagerViewCell>(collectionView_->dequeueReusableCellWithReuseIdentifier(reuseIdentifier, indexPath));
}

Ref<FSPagerViewCell> FSPagerView::cellForItemAt(long index) {
    for (const auto& indexPath : collectionView_->indexPathsForVisibleItems()) {
        if (indexPath.item() == index) return cast<FSPagerViewCell>(collectionView_->cellForItemAtIndexPath(indexPath));
    }
    return nullptr;
}

void FSPagerView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGSize size = bounds().size;
    collectionView_->setFrame(bounds());
    if (size.width == laidOutSize_.width && size.height == laidOutSize_.height) return;
    const long index = currentIndex();
    laidOutSize_ = size;
    layout_->setItemSize(size);
    collectionView_->reloadData();
    layout_->invalidateLayout();
    collectionView_->layoutIfNeeded();
    showPage((repeats() ? (kInfiniteRepeats / 2) * numberOfItems() : 0) + index, false);
}

void FSPagerView::didMoveToWindow() {
    UIView::didMoveToWindow();
    if (window()) {
        startTimer();
    } else {
        stopTimer();
    }
}

long FSPagerView::numberOfSectionsInCollectionView(const Ref<UICollectionView>&) {
    if (laidOutSize_.width <= 0 || laidOutSize_.height <= 0) return 0;
    return repeats() ? kInfiniteRepeats : 1;
}

long FSPagerView::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) { return numberOfItems(); }

Ref<UICollectionViewCell> FSPagerView::collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                          const NSIndexPath& indexPath) {
    auto source = dataSource();
    if (!source) return nullptr;
    Ref<FSPagerView> me = self<FSPagerView>();
    dequeuingIndexPath_ = indexPath;
    auto cell = source->pagerViewCellForItemAtIndex(me, indexPath.item());
    dequeuingIndexPath_.reset();
    return cell;
}

void FSPagerView::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                         const NSIndexPath& indexPath) {
    collectionView->deselectItemAtIndexPath(indexPath, false);
    if (auto listener = delegate()) listener->pagerViewDidSelectItemAtIndex(self<FSPagerView>(), indexPath.item());
}

void FSPagerView::scrollViewWillBeginDragging(const Ref<UIScrollView>&) { stopTimer(); }

void FSPagerView::scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool decelerate) {
    if (!decelerate) recentre();
    startTimer();
}

void FSPagerView::scrollViewDidEndDecelerating(const Ref<UIScrollView>&) { recentre(); }

void FSPagerView::scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&) { recentre(); }

void FSPagerView::slideToNextPage() {
    const long count = numberOfItems();
    if (count < 2 || collectionView_->isDragging()) return;
    const long page = currentPage();
    showPage(repeats() ? page + 1 : (page + 1) % count, true);
}

void FSPagerView::startTimer() {
    stopTimer();
    if (automaticSlidingInterval_ <= 0 || !window() || numberOfItems() < 2) return;
    WeakRef<FSPagerView> weak = self<FSPagerView>();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(automaticSlidingInterval_, true, [weak](const Ref<NSTimer>&) {
        if (auto pager = weak.lock()) pager->slideToNextPage();
    });
}

void FSPagerView::stopTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
}
