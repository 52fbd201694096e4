#include "frameworks/segmented/JXSegmentedView.h"

#include <cmath>

#include "uikit/UICollectionViewFlowLayout.h"

void JXSegmentedView::didCreate() {
    UIView::didCreate();
    indicatorLayer_ = make<UIView>();
    indicatorLayer_->setUserInteractionEnabled(false);
    addSubview(indicatorLayer_);
    auto layout = make<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    collectionView_ = make<UICollectionView>(bounds(), layout);
    collectionView_->setBackgroundColor(UIColor::clearColor());
    collectionView_->setShowsHorizontalScrollIndicator(false);
    collectionView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    collectionView_->setDataSource(self<JXSegmentedView>());
    collectionView_->setDelegate(self<JXSegmentedView>());
    addSubview(collectionView_);
}

void JXSegmentedView::setDataSource(const Ref<JXSegmentedViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    if (dataSource) dataSource->registerCellClass(self<JXSegmentedView>());
}

void JXSegmentedView::setIndicators(std::vector<Ref<JXSegmentedIndicatorBaseView>> indicators) {
    for (const auto& indicator : indicators_) indicator->removeFromSuperview();
    indicators_ = std::move(indicators);
    for (const auto& indicator : indicators_) indicatorLayer_->addSubview(indicator);
    placeIndicators(JXSegmentedViewItemSelectedType::Unknown);
}

void JXSegmentedView::setListContainer(const Ref<JXSegmentedViewListContainer>& listContainer) {
    if (auto old = observedScrollView_.lock()) old->removeObserver(this);
    listContainer_ = listContainer;
    observedScrollView_.reset();
    if (!listContainer) return;
    listContainer->setDefaultSelectedIndex(selectedIndex_);
    if (auto scrollView = listContainer->contentScrollView()) {
        scrollView->addObserver(self<JXSegmentedView>());
        observedScrollView_ = scrollView;
    }
}

void JXSegmentedView::setDefaultSelectedIndex(long index) {
    defaultSelectedIndex_ = index;
    selectedIndex_ = index;
}

long JXSegmentedView::itemCount() const {
    auto source = dataSource();
    return source ? static_cast<long>(source->dataSource().size()) : 0;
}

void JXSegmentedView::reloadData() {
    auto source = dataSource();
    if (source) {
        source->reloadData(selectedIndex_);
        if (selectedIndex_ < 0 || selectedIndex_ >= itemCount()) {
            selectedIndex_ = 0;
            source->reloadData(selectedIndex_);
        }
    }
    computeItemFrames();
    collectionView_->reloadData();
    placeIndicators(JXSegmentedViewItemSelectedType::Unknown);
    if (auto container = listContainer()) {
        container->setDefaultSelectedIndex(selectedIndex_);
        container->reloadData();
    }
}

void JXSegmentedView::computeItemFrames() {
    itemFrames_.clear();
    auto source = dataSource();
    const long count = itemCount();
    framedWidth_ = bounds().size.width;
    if (!source || count == 0) return;
    std::vector<CGFloat> widths;
    CGFloat total = 0;
    for (long index = 0; index < count; ++index) {
        widths.push_back(source->segmentedViewWidthForItemAt(self<JXSegmentedView>(), index));
        total += widths.back();
    }
    spacing_ = source->itemSpacing();
    if (source->isItemSpacingAverageEnabled() && total + (count + 1) * spacing_ < framedWidth_)
        spacing_ = (framedWidth_ - total) / (count + 1);
    CGFloat x = spacing_;
    for (CGFloat width : widths) {
        itemFrames_.push_back({{x, 0}, {width, bounds().size.height}});
        x += width + spacing_;
    }
}

CGRect JXSegmentedView::itemFrameAt(long index) const {
    if (index < 0 || index >= static_cast<long>(itemFrames_.size())) return CGRectZero;
    return itemFrames_[index];
}

void JXSegmentedView::layoutSubviews() {
    UIView::layoutSubviews();
    collectionView_->setFrame(bounds());
    indicatorLayer_->setFrame(bounds());
    if (framedWidth_ != bounds().size.width) {
        computeItemFrames();
        collectionView_->collectionViewLayout()->invalidateLayout();
        placeIndicators(JXSegmentedViewItemSelectedType::Unknown);
    }
}

void JXSegmentedView::selectItemAt(long index) { select(index, JXSegmentedViewItemSelectedType::Code); }

void JXSegmentedView::select(long index, JXSegmentedViewItemSelectedType type) {
    auto source = dataSource();
    if (!source || index < 0 || index >= itemCount()) return;
    // Each delegate call may let the view go.
    Ref<JXSegmentedView> me = self<JXSegmentedView>();
    const auto& models = source->dataSource();
    const long previous = selectedIndex_ < itemCount() ? selectedIndex_ : index;
    if (index != selectedIndex_ || !models[index]->isSelected)
        source->refreshItemModel(me, models[previous], models[index], type);
    selectedIndex_ = index;
    reloadCells();
    placeIndicators(type);
    if (type == JXSegmentedViewItemSelectedType::Click)
        if (auto container = listContainer()) container->didClickSelectedItem(index);
    auto listener = delegate();
    if (!listener) return;
    if (type == JXSegmentedViewItemSelectedType::Click) listener->segmentedViewDidClickSelectedItemAt(me, index);
    if (type == JXSegmentedViewItemSelectedType::Scroll) listener->segmentedViewDidScrollSelectedItemAt(me, index);
    listener->segmentedViewDidSelectedItemAt(me, index);
}

void JXSegmentedView::reloadCells() {
    auto source = dataSource();
    if (!source) return;
    for (const auto& cell : collectionView_->visibleCells()) {
        auto path = collectionView_->indexPathForCell(cell);
        auto segmentedCell = cast<JXSegmentedBaseCell>(cell);
        if (!path || !segmentedCell || path->item() >= itemCount()) continue;
        segmentedCell->reloadData(source->dataSource()[path->item()], JXSegmentedViewItemSelectedType::Unknown);
    }
}

void JXSegmentedView::placeIndicators(JXSegmentedViewItemSelectedType type) {
    const bool shown = selectedIndex_ >= 0 && selectedIndex_ < itemCount();
    for (const auto& indicator : indicators_) {
        indicator->setHidden(!shown);
        if (shown) indicator->selectItem({selectedIndex_, itemFrameAt(selectedIndex_), type});
    }
}

Ref<JXSegmentedBaseCell> JXSegmentedView::dequeueReusableCell(const std::string& reuseIdentifier, long index) {
    return cast<JXSegmentedBaseCell>(
        collectionView_->dequeueReusableCellWithReuseIdentifier(reuseIdentifier, NSIndexPath::indexPathForItem(index, 0)));
}

long JXSegmentedView::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) { return itemCount(); }

Ref<UICollectionViewCell> JXSegmentedView::collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                                const NSIndexPath& indexPath) {
    auto source = dataSource();
    if (!source) return nullptr;
    auto cell = source->segmentedViewCellForItemAt(self<JXSegmentedView>(), indexPath.item());
    if (cell) cell->reloadData(source->dataSource()[indexPath.item()], JXSegmentedViewItemSelectedType::Unknown);
    return cell;
}

void JXSegmentedView::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& indexPath) {
    auto listener = delegate();
    if (listener && !listener->segmentedViewCanClickItemAt(self<JXSegmentedView>(), indexPath.item())) return;
    select(indexPath.item(), JXSegmentedViewItemSelectedType::Click);
}

std::optional<CGSize> JXSegmentedView::collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                                  const Ref<UICollectionViewLayout>&,
                                                                                  const NSIndexPath& indexPath) {
    return itemFrameAt(indexPath.item()).size;
}

std::optional<UIEdgeInsets> JXSegmentedView::collectionViewLayoutInsetForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long) {
    return UIEdgeInsets{0, spacing_, 0, spacing_};
}

std::optional<CGFloat> JXSegmentedView::collectionViewLayoutMinimumLineSpacingForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long) {
    return spacing_;
}

// The indicators follow the titles when the bar itself scrolls.
void JXSegmentedView::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    if (scrollView != collectionView_) return;
    CGRect shifted = indicatorLayer_->bounds();
    shifted.origin = collectionView_->contentOffset();
    indicatorLayer_->setBounds(shifted);
}

void JXSegmentedView::scrollViewContentDidChange(const Ref<UIScrollView>& scrollView) {
    // Only a user's swipe moves the selection; the container scrolling to a
    // tapped item follows a selection already made.
    if (!scrollView->isTracking() && !scrollView->isDragging() && !scrollView->isDecelerating()) return;
    const CGFloat pageWidth = scrollView->bounds().size.width;
    const long count = itemCount();
    if (pageWidth <= 0 || count == 0) return;
    const CGFloat ratio = std::clamp<CGFloat>(scrollView->contentOffset().x / pageWidth, 0, count - 1);
    const long left = static_cast<long>(std::floor(ratio));
    const CGFloat percent = ratio - left;
    auto source = dataSource();
    if (percent < 1e-6 || left + 1 >= count) {
        // At rest on a page: the looks blended on the way are rebuilt.
        source->reloadData(selectedIndex_);
        if (left != selectedIndex_) select(left, JXSegmentedViewItemSelectedType::Scroll);
        else reloadCells();
        placeIndicators(JXSegmentedViewItemSelectedType::Scroll);
        return;
    }
    const auto& models = source->dataSource();
    source->refreshItemModel(self<JXSegmentedView>(), models[left], models[left + 1], percent);
    reloadCells();
    for (const auto& indicator : indicators_)
        indicator->contentScrollViewDidScroll({left, itemFrameAt(left), left + 1, itemFrameAt(left + 1), percent});
}
