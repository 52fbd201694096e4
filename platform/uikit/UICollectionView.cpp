#include "uikit/UICollectionView.h"

#include <algorithm>

#include "foundation/NSLog.h"
#include "uikit/TouchedCell.h"

namespace {

// At equal z-index: decorations behind cells, cells behind supplementary views.
int stackingRank(UICollectionElementCategory category) {
    switch (category) {
        case UICollectionElementCategory::DecorationView: return 0;
        case UICollectionElementCategory::Cell: return 1;
        case UICollectionElementCategory::SupplementaryView: return 2;
    }
    return 1;
}

const char* categoryName(UICollectionElementCategory category) {
    switch (category) {
        case UICollectionElementCategory::Cell: return "cell";
        case UICollectionElementCategory::SupplementaryView: return "supplementary view";
        case UICollectionElementCategory::DecorationView: return "decoration view";
    }
    return "view";
}

}  // namespace

UICollectionView::UICollectionView(CGRect frame, Ref<UICollectionViewLayout> layout)
    : UIScrollView(frame), layout_(layout ? std::move(layout) : make<UICollectionViewLayout>()) {}

void UICollectionView::didCreate() {
    UIScrollView::didCreate();
    layout_->setCollectionView(self<UICollectionView>());
}

// --- Data source, delegate, layout ---

void UICollectionView::setDataSource(const Ref<UICollectionViewDataSource>& dataSource) {
    dataSource_ = dataSource;
    reloadData();
}

Ref<UICollectionViewDelegate> UICollectionView::delegate() const {
    return std::dynamic_pointer_cast<UICollectionViewDelegate>(UIScrollView::delegate());
}

void UICollectionView::setDelegate(const Ref<UICollectionViewDelegate>& delegate) {
    UIScrollView::setDelegate(delegate);
    layoutWasInvalidated();
}

void UICollectionView::setCollectionViewLayout(const Ref<UICollectionViewLayout>& layout, bool) {
    if (!layout || layout == layout_) return;
    if (layout_->collectionView().get() == this) layout_->setCollectionView(nullptr);
    layout_ = layout;
    layout_->setCollectionView(self<UICollectionView>());
    discardShown_ = true;
    layoutWasInvalidated();
}

void UICollectionView::layoutWasInvalidated() {
    layoutValid_ = false;
    setNeedsLayout();
}

// --- Registration and reuse ---

void UICollectionView::registerClass(UICollectionReusableViewFactory factory, const std::string& reuseIdentifier) {
    registrations_[{UICollectionElementCategory::Cell, {}, reuseIdentifier}] = std::move(factory);
}

void UICollectionView::registerClass(UICollectionReusableViewFactory factory, const std::string& elementKind,
                                     const std::string& reuseIdentifier) {
    registrations_[{UICollectionElementCategory::SupplementaryView, elementKind, reuseIdentifier}] = std::move(factory);
}

Ref<UICollectionReusableView> UICollectionView::dequeue(const ReuseKey& key, CGRect frame) {
    auto queued = reuseQueues_.find(key);
    if (queued != reuseQueues_.end() && !queued->second.empty()) {
        auto view = std::move(queued->second.back());
        queued->second.pop_back();
        view->prepareForReuse();
        return view;
    }
    UICollectionReusableViewFactory factory;
    if (key.category == UICollectionElementCategory::DecorationView) {
        factory = layout_->decorationViewFactory(key.kind);
    } else if (auto registered = registrations_.find(key); registered != registrations_.end()) {
        factory = registered->second;
    }
    Ref<UICollectionReusableView> view = factory ? factory(frame) : nullptr;
    if (view && key.category == UICollectionElementCategory::Cell && !isKind<UICollectionViewCell>(view)) view = nullptr;
    if (!view) {
        if (reportedMissing_.insert(key).second)
            NSLog("UICollectionView: no class registered for a " + std::string(categoryName(key.category)) +
                  (key.kind.empty() ? "" : " of kind " + key.kind) +
                  (key.identifier.empty() ? "" : " with identifier " + key.identifier));
        return nullptr;
    }
    view->reuseIdentifier_ = key.identifier;
    return view;
}

Ref<UICollectionViewCell> UICollectionView::dequeueReusableCellWithReuseIdentifier(const std::string& reuseIdentifier,
                                                                                   const NSIndexPath& indexPath) {
    auto attributes = layout_->layoutAttributesForItemAtIndexPath(indexPath);
    return cast<UICollectionViewCell>(dequeue({UICollectionElementCategory::Cell, {}, reuseIdentifier},
                                              attributes ? attributes->frame() : CGRectZero));
}

Ref<UICollectionReusableView> UICollectionView::dequeueReusableSupplementaryViewOfKind(
    const std::string& elementKind, const std::string& reuseIdentifier, const NSIndexPath& indexPath) {
    auto attributes = layout_->layoutAttributesForSupplementaryViewOfKind(elementKind, indexPath);
    return dequeue({UICollectionElementCategory::SupplementaryView, elementKind, reuseIdentifier},
                   attributes ? attributes->frame() : CGRectZero);
}

void UICollectionView::enqueue(const ElementKey& key, const ShownElement& shown) {
    shown.view->removeFromSuperview();
    reuseQueues_[{key.category, key.kind, shown.view->reuseIdentifier()}].push_back(shown.view);
    if (key.category != UICollectionElementCategory::Cell) return;
    if (auto listener = delegate())
        listener->collectionViewDidEndDisplayingCellForItemAtIndexPath(
            self<UICollectionView>(), std::static_pointer_cast<UICollectionViewCell>(shown.view), key.indexPath);
}

// --- Content ---

void UICollectionView::reloadData() {
    itemCounts_.reset();
    selected_.clear();
    discardShown_ = true;
    layoutWasInvalidated();
}

void UICollectionView::reloadSections(const std::set<long>&) { reloadData(); }

void UICollectionView::reloadItemsAtIndexPaths(const std::vector<NSIndexPath>&) { reloadData(); }

const std::vector<long>& UICollectionView::itemCounts() {
    if (itemCounts_) return *itemCounts_;
    std::vector<long> counts;
    if (auto source = dataSource()) {
        Ref<UICollectionView> me = self<UICollectionView>();
        long sections = std::max(source->numberOfSectionsInCollectionView(me), 0L);
        counts.reserve(static_cast<std::size_t>(sections));
        for (long section = 0; section < sections; ++section)
            counts.push_back(std::max(source->collectionViewNumberOfItemsInSection(me, section), 0L));
    }
    itemCounts_ = std::move(counts);
    notifyDataReloaded();
    return *itemCounts_;
}

long UICollectionView::numberOfSections() { return static_cast<long>(itemCounts().size()); }

long UICollectionView::numberOfItemsInSection(long section) {
    const auto& counts = itemCounts();
    if (section < 0 || section >= static_cast<long>(counts.size())) return 0;
    return counts[static_cast<std::size_t>(section)];
}

// --- Layout pass ---

void UICollectionView::layoutSubviews() {
    UIScrollView::layoutSubviews();
    Ref<UICollectionView> keepAlive = self<UICollectionView>();
    CGRect bounds = this->bounds();
    if (layoutValid_ && lastLayoutBounds_ && *lastLayoutBounds_ != bounds &&
        layout_->shouldInvalidateLayoutForBoundsChange(bounds))
        layoutValid_ = false;
    lastLayoutBounds_ = bounds;
    if (!layoutValid_) {
        // Valid from here: an invalidation during the pass asks for another.
        layoutValid_ = true;
        layout_->prepareLayout();
        setContentSize(layout_->collectionViewContentSize());
        // Content that shrank under the offset pulls it back, unless a
        // finger holds the content.
        if (!isDragging()) {
            CGPoint offset = contentOffset(), minimum = minimumContentOffset(), maximum = maximumContentOffset();
            setContentOffset({std::clamp(offset.x, minimum.x, maximum.x), std::clamp(offset.y, minimum.y, maximum.y)});
        }
    }
    updateShownElements(this->bounds());
}

void UICollectionView::updateShownElements(CGRect visibleRect) {
    std::map<ElementKey, Ref<UICollectionViewLayoutAttributes>> wanted;
    for (auto& attributes : layout_->layoutAttributesForElementsInRect(visibleRect)) {
        if (!attributes || !CGRectIntersectsRect(attributes->frame(), visibleRect)) continue;
        ElementKey key{attributes->representedElementCategory(), attributes->representedElementKind().value_or(""),
                       attributes->indexPath()};
        wanted.emplace(std::move(key), std::move(attributes));
    }

    // Views whose elements left (or all of them, after a reload) go to the queues.
    for (auto it = shown_.begin(); it != shown_.end();) {
        if (discardShown_ || !wanted.contains(it->first)) {
            ShownElement leaving = std::move(it->second);
            ElementKey key = it->first;
            it = shown_.erase(it);
            enqueue(key, leaving);
        } else {
            ++it;
        }
    }
    discardShown_ = false;

    Ref<UICollectionView> me = self<UICollectionView>();
    for (auto& [key, attributes] : wanted) {
        auto existing = shown_.find(key);
        if (existing != shown_.end()) {
            apply(attributes, existing->second);
            continue;
        }
        auto view = makeViewFor(key, attributes);
        if (!view) continue;
        ShownElement& shown = shown_[key] = ShownElement{view, nullptr};
        apply(attributes, shown);
        if (key.category != UICollectionElementCategory::Cell) continue;
        auto cell = std::static_pointer_cast<UICollectionViewCell>(view);
        cell->setSelected(selected_.contains(key.indexPath));
        if (auto listener = delegate()) listener->collectionViewWillDisplayCellForItemAtIndexPath(me, cell, key.indexPath);
    }
    orderShownViews();
}

Ref<UICollectionReusableView> UICollectionView::makeViewFor(const ElementKey& key,
                                                            const Ref<UICollectionViewLayoutAttributes>& attributes) {
    Ref<UICollectionView> me = self<UICollectionView>();
    switch (key.category) {
        case UICollectionElementCategory::Cell:
            if (auto source = dataSource()) return source->collectionViewCellForItemAtIndexPath(me, key.indexPath);
            return nullptr;
        case UICollectionElementCategory::SupplementaryView:
            if (auto source = dataSource())
                return source->collectionViewViewForSupplementaryElementOfKindAtIndexPath(me, key.kind, key.indexPath);
            return nullptr;
        case UICollectionElementCategory::DecorationView:
            return dequeue({UICollectionElementCategory::DecorationView, key.kind, key.kind}, attributes->frame());
    }
    return nullptr;
}

void UICollectionView::apply(const Ref<UICollectionViewLayoutAttributes>& attributes, ShownElement& shown) {
    // The layout hands out the same objects until it prepares again.
    if (shown.attributes == attributes) return;
    const Ref<UICollectionReusableView>& view = shown.view;
    view->setTransform(attributes->transform());
    view->setBounds({view->bounds().origin, attributes->size()});
    view->setCenter(attributes->center());
    view->setAlpha(attributes->alpha());
    view->setHidden(attributes->isHidden());
    shown.attributes = attributes;
    view->applyLayoutAttributes(attributes);
}

// The shown views go to the back of the subviews, in stacking order.
void UICollectionView::orderShownViews() {
    std::vector<const std::pair<const ElementKey, ShownElement>*> order;
    order.reserve(shown_.size());
    for (const auto& entry : shown_) order.push_back(&entry);
    std::stable_sort(order.begin(), order.end(), [](const auto* a, const auto* b) {
        long za = a->second.attributes->zIndex(), zb = b->second.attributes->zIndex();
        if (za != zb) return za < zb;
        return stackingRank(a->first.category) < stackingRank(b->first.category);
    });
    for (std::size_t index = 0; index < order.size(); ++index) {
        const auto& view = order[index]->second.view;
        if (index >= subviews().size() || subviews()[index] != view) insertSubview(view, index);
    }
}

// --- Shown elements ---

std::vector<Ref<UICollectionViewCell>> UICollectionView::visibleCells() const {
    std::vector<Ref<UICollectionViewCell>> cells;
    for (const auto& [key, shown] : shown_)
        if (key.category == UICollectionElementCategory::Cell)
            cells.push_back(std::static_pointer_cast<UICollectionViewCell>(shown.view));
    return cells;
}

std::vector<NSIndexPath> UICollectionView::indexPathsForVisibleItems() const {
    std::vector<NSIndexPath> paths;
    for (const auto& [key, shown] : shown_)
        if (key.category == UICollectionElementCategory::Cell) paths.push_back(key.indexPath);
    return paths;
}

Ref<UICollectionViewCell> UICollectionView::cellForItemAtIndexPath(const NSIndexPath& indexPath) const {
    auto found = shown_.find({UICollectionElementCategory::Cell, {}, indexPath});
    return found == shown_.end() ? nullptr : std::static_pointer_cast<UICollectionViewCell>(found->second.view);
}

std::optional<NSIndexPath> UICollectionView::indexPathForCell(const Ref<UICollectionViewCell>& cell) const {
    for (const auto& [key, shown] : shown_)
        if (key.category == UICollectionElementCategory::Cell && shown.view == cell) return key.indexPath;
    return std::nullopt;
}

std::optional<NSIndexPath> UICollectionView::indexPathForItemAtPoint(CGPoint point) {
    for (const auto& attributes : layout_->layoutAttributesForElementsInRect(CGRectMake(point.x, point.y, 1, 1)))
        if (attributes->representedElementCategory() == UICollectionElementCategory::Cell &&
            CGRectContainsPoint(attributes->frame(), point))
            return attributes->indexPath();
    return std::nullopt;
}

Ref<UICollectionViewLayoutAttributes> UICollectionView::layoutAttributesForItemAtIndexPath(
    const NSIndexPath& indexPath) {
    return layout_->layoutAttributesForItemAtIndexPath(indexPath);
}

Ref<UICollectionViewLayoutAttributes> UICollectionView::layoutAttributesForSupplementaryElementOfKind(
    const std::string& kind, const NSIndexPath& indexPath) {
    return layout_->layoutAttributesForSupplementaryViewOfKind(kind, indexPath);
}

// --- Scrolling and selection ---

void UICollectionView::scrollToItemAtIndexPath(const NSIndexPath& indexPath, UICollectionViewScrollPosition position,
                                               bool animated) {
    Ref<UICollectionView> keepAlive = self<UICollectionView>();
    layoutIfNeeded();
    auto attributes = layout_->layoutAttributesForItemAtIndexPath(indexPath);
    if (!attributes) return;
    CGRect item = attributes->frame();
    CGSize visible = bounds().size;
    CGPoint offset = contentOffset();
    if (position & UICollectionViewScrollPositionTop) offset.y = CGRectGetMinY(item);
    else if (position & UICollectionViewScrollPositionCenteredVertically) offset.y = CGRectGetMidY(item) - visible.height / 2;
    else if (position & UICollectionViewScrollPositionBottom) offset.y = CGRectGetMaxY(item) - visible.height;
    if (position & UICollectionViewScrollPositionLeft) offset.x = CGRectGetMinX(item);
    else if (position & UICollectionViewScrollPositionCenteredHorizontally) offset.x = CGRectGetMidX(item) - visible.width / 2;
    else if (position & UICollectionViewScrollPositionRight) offset.x = CGRectGetMaxX(item) - visible.width;
    CGPoint minimum = minimumContentOffset(), maximum = maximumContentOffset();
    offset = {std::clamp(offset.x, minimum.x, maximum.x), std::clamp(offset.y, minimum.y, maximum.y)};
    setContentOffset(offset, animated);
    layoutIfNeeded();
}

void UICollectionView::setCellSelected(const NSIndexPath& indexPath, bool selected) {
    if (selected)
        selected_.insert(indexPath);
    else
        selected_.erase(indexPath);
    if (auto cell = cellForItemAtIndexPath(indexPath)) cell->setSelected(selected);
}

void UICollectionView::selectItemAtIndexPath(const NSIndexPath& indexPath, bool animated,
                                             UICollectionViewScrollPosition position) {
    if (!allowsSelection_) return;
    for (const auto& other : indexPathsForSelectedItems())
        if (other != indexPath) setCellSelected(other, false);
    setCellSelected(indexPath, true);
    if (position != UICollectionViewScrollPositionNone) scrollToItemAtIndexPath(indexPath, position, animated);
}

void UICollectionView::deselectItemAtIndexPath(const NSIndexPath& indexPath, bool) {
    setCellSelected(indexPath, false);
}

bool UICollectionView::handleTapAt(CGPoint point) {
    auto indexPath = indexPathTouchedAt(
        self<UIView>(), point,
        [this](const Ref<UIView>& view) {
            auto cell = cast<UICollectionViewCell>(view);
            return cell ? indexPathForCell(cell) : std::nullopt;
        },
        indexPathForItemAtPoint(point));
    if (!indexPath || !cellForItemAtIndexPath(*indexPath)) return UIScrollView::handleTapAt(point);
    selectAsUser(*indexPath);
    return true;
}

void UICollectionView::selectAsUser(const NSIndexPath& indexPath) {
    Ref<UICollectionView> me = self<UICollectionView>();
    auto listener = delegate();
    if (!allowsSelection_) return;
    if (!listener || listener->collectionViewShouldHighlightItemAtIndexPath(me, indexPath)) {
        if (auto cell = cellForItemAtIndexPath(indexPath)) cell->setHighlighted(true);
        if (listener) listener->collectionViewDidHighlightItemAtIndexPath(me, indexPath);
        if (auto cell = cellForItemAtIndexPath(indexPath)) cell->setHighlighted(false);
        if (listener) listener->collectionViewDidUnhighlightItemAtIndexPath(me, indexPath);
    }
    if (listener && !listener->collectionViewShouldSelectItemAtIndexPath(me, indexPath)) return;
    for (const auto& other : indexPathsForSelectedItems()) {
        if (other == indexPath) continue;
        setCellSelected(other, false);
        if (listener) listener->collectionViewDidDeselectItemAtIndexPath(me, other);
    }
    setCellSelected(indexPath, true);
    if (listener) listener->collectionViewDidSelectItemAtIndexPath(me, indexPath);
}
