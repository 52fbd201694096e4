#pragma once

#include <optional>
#include <string>

#include "foundation/NSTimer.h"
#include "frameworks/pager/FSPagerViewCell.h"
#include "frameworks/pager/FSPagerViewDataSource.h"
#include "frameworks/pager/FSPagerViewDelegate.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewFlowLayout.h"

enum class FSPagerViewScrollDirection { horizontal, vertical };

// A pager: one page the size of the view at a time, moved on by a drag (a
// page at a time) or, with an automatic sliding interval, by itself on the
// main run loop's clock while it is in a window and not dragged. Sliding
// vertically moves the next page up into view; after the last page comes
// the first again.
//
// Infinite: the pages repeat endlessly in both directions (the pager keeps
// its position near the middle of a long run of repeats, so it never runs
// out); a single page stands alone when removesInfiniteLoopForSingleItem is
// set. Not infinite: the pages run once, and automatic sliding returns from
// the last to the first.
//
// The pages live in an inner collection view; the data source answers
// indices below its own count and dequeues pages through the pager.
class FSPagerView : public UIView, public UICollectionViewDataSource, public UICollectionViewDelegate {
public:
    // How many times an infinite pager repeats its pages.
    static constexpr long kInfiniteRepeats = 100;

    using UIView::UIView;
    ~FSPagerView() override;

    Ref<FSPagerViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const Ref<FSPagerViewDataSource>& dataSource);
    Ref<FSPagerViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<FSPagerViewDelegate>& delegate) { delegate_ = delegate; }

    bool isInfinite() const { return isInfinite_; }
    void setIsInfinite(bool infinite);
    // Seconds between automatic steps; 0 (the default) slides never.
    double automaticSlidingInterval() const { return automaticSlidingInterval_; }
    void setAutomaticSlidingInterval(double seconds);
    bool removesInfiniteLoopForSingleItem() const { return removesInfiniteLoopForSingleItem_; }
    void setRemovesInfiniteLoopForSingleItem(bool removes);
    FSPagerViewScrollDirection scrollDirection() const { return scrollDirection_; }
    void setScrollDirection(FSPagerViewScrollDirection direction);

    template <class Cell> void registerClass(const std::string& reuseIdentifier) {
        static_assert(std::is_base_of_v<FSPagerViewCell, Cell>);
        collectionView_->registerClass<Cell>(reuseIdentifier);
    }
    // A page for the index the data source is asked for; null when nothing
    // is registered under the identifier.
    Ref<FSPagerViewCell> dequeueReusableCell(const std::string& reuseIdentifier, long index);

    // Asks the data source again; keeps the current index when it still exists.
    void reloadData();
    // The index (of the data source's count) of the page in view; 0 when none.
    long currentIndex();
    // Brings the page at `index` into view; animated like a drag's end.
    void scrollToItem(long index, bool animated);
    // The page shown for the index, null when it is not in view.
    Ref<FSPagerViewCell> cellForItemAt(long index);
    // The inner collection view (for drags and taps by a driver).
    const Ref<UICollectionView>& collectionView() const { return collectionView_; }

    void layoutSubviews() override;
    void didMoveToWindow() override;

    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    long numberOfSectionsInCollectionView(const Ref<UICollectionView>& collectionView) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;
    void scrollViewWillBeginDragging(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& scrollView, bool decelerate) override;
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& scrollView) override;
    void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>& scrollView) override;

    std::string className() const override { return "FSPagerView"; }

protected:
    void didCreate() override;

private:
    long numberOfItems();
    // Whether the pages repeat (infinite, and not a single page left alone).
    bool repeats();
    // The page position (section * count + item) in view.
    long currentPage();
    CGFloat pageLength() const;
    void showPage(long page, bool animated);
    // Back near the middle of the repeats at the same index (no move on screen).
    void recentre();
    void slideToNextPage();
    void startTimer();
    void stopTimer();

    Ref<UICollectionViewFlowLayout> layout_;
    Ref<UICollectionView> collectionView_;
    WeakRef<FSPagerViewDataSource> dataSource_;
    WeakRef<FSPagerViewDelegate> delegate_;
    bool isInfinite_ = false;
    double automaticSlidingInterval_ = 0;
    bool removesInfiniteLoopForSingleItem_ = false;
    FSPagerViewScrollDirection scrollDirection_ = FSPagerViewScrollDirection::horizontal;
    std::optional<long> itemCount_;
    std::optional<NSIndexPath> dequeuingIndexPath_;
    CGSize laidOutSize_{};
    Ref<NSTimer> timer_;
};
