#pragma once

#include <optional>
#include <vector>

#include "frameworks/segmented/JXSegmentedIndicatorBaseView.h"
#include "frameworks/segmented/JXSegmentedViewDataSource.h"
#include "frameworks/segmented/JXSegmentedViewDelegate.h"
#include "frameworks/segmented/JXSegmentedViewListContainer.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UIScrollViewObserver.h"

// A horizontal bar of items (titles) over a list container of pages.
//
// The data source makes the item models and cells; the bar lays the items
// out in one row of its own height, `itemSpacing` apart and before the
// first, spreading leftover width evenly between them when the data source
// asks for that. Its indicators lie behind the cells, over the selected
// item.
//
// A tap on an item selects it and tells the list container, which shows
// its page. Swiping the container's pages moves the indicators between two
// items (and lets the data source blend their looks); a page coming to rest
// selects its item. reloadData rebuilds the items (keeping the selection
// when it still exists, else the first item) and reloads the container.
class JXSegmentedView : public UIView,
                        public UICollectionViewDataSource,
                        public UICollectionViewDelegateFlowLayout,
                        public UIScrollViewObserver {
public:
    using UIView::UIView;

    Ref<JXSegmentedViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const Ref<JXSegmentedViewDataSource>& dataSource);
    Ref<JXSegmentedViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<JXSegmentedViewDelegate>& delegate) { delegate_ = delegate; }
    const std::vector<Ref<JXSegmentedIndicatorBaseView>>& indicators() const { return indicators_; }
    void setIndicators(std::vector<Ref<JXSegmentedIndicatorBaseView>> indicators);
    Ref<JXSegmentedViewListContainer> listContainer() const { return listContainer_.lock(); }
    void setListContainer(const Ref<JXSegmentedViewListContainer>& listContainer);

    const Ref<UICollectionView>& collectionView() const { return collectionView_; }
    long selectedIndex() const { return selectedIndex_; }
    long defaultSelectedIndex() const { return defaultSelectedIndex_; }
    void setDefaultSelectedIndex(long index);

    void reloadData();
    // Selects the item as code does (nothing for an index out of range).
    void selectItemAt(long index);
    Ref<JXSegmentedBaseCell> dequeueReusableCell(const std::string& reuseIdentifier, long index);
    // The item's frame in the bar's content space (zero out of range).
    CGRect itemFrameAt(long index) const;

    void layoutSubviews() override;

    // The bar's own collection view.
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                     const Ref<UICollectionViewLayout>&,
                                                                     const NSIndexPath& indexPath) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                           const Ref<UICollectionViewLayout>&,
                                                                           long) override;
    std::optional<CGFloat> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(const Ref<UICollectionView>&,
                                                                                   const Ref<UICollectionViewLayout>&,
                                                                                   long) override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    // The list container's pages.
    void scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) override;
    void scrollViewWillEndDragging(const Ref<UIScrollView>&) override {}

    std::string className() const override { return "JXSegmentedView"; }

protected:
    void didCreate() override;

private:
    long itemCount() const;
    void computeItemFrames();
    void select(long index, JXSegmentedViewItemSelectedType type);
    void reloadCells();
    void placeIndicators(JXSegmentedViewItemSelectedType type);

    WeakRef<JXSegmentedViewDataSource> dataSource_;
    WeakRef<JXSegmentedViewDelegate> delegate_;
    WeakRef<JXSegmentedViewListContainer> listContainer_;
    WeakRef<UIScrollView> observedScrollView_;
    std::vector<Ref<JXSegmentedIndicatorBaseView>> indicators_;
    // Holds the indicators behind the collection view, shifted with its content.
    Ref<UIView> indicatorLayer_;
    Ref<UICollectionView> collectionView_;
    std::vector<CGRect> itemFrames_;
    CGFloat spacing_ = 0;
    CGFloat framedWidth_ = -1;
    long selectedIndex_ = 0;
    long defaultSelectedIndex_ = 0;
};
