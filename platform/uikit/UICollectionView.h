#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "foundation/NSIndexPath.h"
#include "uikit/UICollectionReusableView.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UICollectionViewDataSource.h"
#include "uikit/UICollectionViewDelegate.h"
#include "uikit/UICollectionViewLayout.h"
#include "uikit/UIScrollView.h"

// Where scrollToItemAtIndexPath/selectItemAtIndexPath put the item: one
// vertical and/or one horizontal choice.
enum UICollectionViewScrollPosition : unsigned {
    UICollectionViewScrollPositionNone = 0,
    UICollectionViewScrollPositionTop = 1u << 0,
    UICollectionViewScrollPositionCenteredVertically = 1u << 1,
    UICollectionViewScrollPositionBottom = 1u << 2,
    UICollectionViewScrollPositionLeft = 1u << 3,
    UICollectionViewScrollPositionCenteredHorizontally = 1u << 4,
    UICollectionViewScrollPositionRight = 1u << 5,
};
inline UICollectionViewScrollPosition operator|(UICollectionViewScrollPosition a, UICollectionViewScrollPosition b) {
    return static_cast<UICollectionViewScrollPosition>(static_cast<unsigned>(a) | static_cast<unsigned>(b));
}

// A scroll view showing items in sections, placed by a layout object.
//
// Content: the data source gives the counts (read once after each
// reloadData, when first needed) and the cells; the layout places them. In
// each layout pass the collection view prepares the layout when it was
// invalidated (reloadData, a new layout, a bounds change the layout asks to
// follow) and sets the content size from it, bringing an offset beyond the
// new content back within it unless the user is dragging. Then it shows the
// elements the layout returns for the visible bounds that share area with
// them: cells and supplementary views (section headers and footers) from
// the data source, decoration views made from the classes the layout
// registered. Elements that leave the bounds go to reuse queues (per
// category, kind and identifier); the data source's dequeue calls take from
// them, or make a view from the registered class with the element's frame.
//
// Each view takes its attributes' size, centre, transform, alpha and hidden
// flag, then gets applyLayoutAttributes when the attributes changed. The
// views are the collection view's back-most subviews, in z-index order; at
// equal z-index decoration views lie behind cells, cells behind
// supplementary views. Other subviews stay in front of them.
//
// Selection: a tap on a cell (UIView::handleTapAt) runs the delegate's
// highlight and selection calls (see UICollectionViewDelegate); one item is
// selected at a time. selectItemAtIndexPath and deselectItemAtIndexPath
// change the selection without asking or telling the delegate. reloadData
// clears the selection.
//
// A data source that dequeues an identifier nothing was registered for
// gets no view (logged once per identifier), and the item is not shown.
class UICollectionView : public UIScrollView {
public:
    UICollectionView(CGRect frame, Ref<UICollectionViewLayout> layout);

    Ref<UICollectionViewDataSource> dataSource() const { return dataSource_.lock(); }
    void setDataSource(const Ref<UICollectionViewDataSource>& dataSource);
    // The scroll view's delegate, when it is a collection view delegate.
    Ref<UICollectionViewDelegate> delegate() const;
    void setDelegate(const Ref<UICollectionViewDelegate>& delegate);

    const Ref<UICollectionViewLayout>& collectionViewLayout() const { return layout_; }
    // Shows the content through another layout (at once; animation is accepted).
    void setCollectionViewLayout(const Ref<UICollectionViewLayout>& layout, bool animated = false);

    // --- Registration and reuse ---
    template <class Cell> void registerClass(const std::string& reuseIdentifier) {
        static_assert(std::is_base_of_v<UICollectionViewCell, Cell>);
        registerClass(UICollectionReusableView::factoryOf<Cell>(), reuseIdentifier);
    }
    template <class View> void registerClass(const std::string& elementKind, const std::string& reuseIdentifier) {
        registerClass(UICollectionReusableView::factoryOf<View>(), elementKind, reuseIdentifier);
    }
    // The factory forms (a factory for cells must make UICollectionViewCells).
    void registerClass(UICollectionReusableViewFactory factory, const std::string& reuseIdentifier);
    void registerClass(UICollectionReusableViewFactory factory, const std::string& elementKind,
                       const std::string& reuseIdentifier);
    // A queued cell (after prepareForReuse) or a new one of the registered
    // class; null when nothing is registered under the identifier.
    Ref<UICollectionViewCell> dequeueReusableCellWithReuseIdentifier(const std::string& reuseIdentifier,
                                                                     const NSIndexPath& indexPath);
    Ref<UICollectionReusableView> dequeueReusableSupplementaryViewOfKind(const std::string& elementKind,
                                                                         const std::string& reuseIdentifier,
                                                                         const NSIndexPath& indexPath);

    // --- Content ---
    // Asks the data source again and rebuilds the shown views at the next layout pass.
    void reloadData();
    void reloadSections(const std::set<long>& sections);
    void reloadItemsAtIndexPaths(const std::vector<NSIndexPath>& indexPaths);
    long numberOfSections();
    // 0 for a section out of range.
    long numberOfItemsInSection(long section);

    // --- Shown elements ---
    std::vector<Ref<UICollectionViewCell>> visibleCells() const;
    // In order of index path.
    std::vector<NSIndexPath> indexPathsForVisibleItems() const;
    // The cell shown for the item; null when the item is not on screen.
    Ref<UICollectionViewCell> cellForItemAtIndexPath(const NSIndexPath& indexPath) const;
    std::optional<NSIndexPath> indexPathForCell(const Ref<UICollectionViewCell>& cell) const;
    // The item whose frame holds the point (in the content's space).
    std::optional<NSIndexPath> indexPathForItemAtPoint(CGPoint point);
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(const NSIndexPath& indexPath);
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForSupplementaryElementOfKind(const std::string& kind,
                                                                                        const NSIndexPath& indexPath);

    // --- Scrolling and selection ---
    // Scrolls so that the item sits at the position, within the resting range.
    void scrollToItemAtIndexPath(const NSIndexPath& indexPath, UICollectionViewScrollPosition position,
                                 bool animated);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }
    std::vector<NSIndexPath> indexPathsForSelectedItems() const { return {selected_.begin(), selected_.end()}; }
    // Selects the item alone, then scrolls to it unless the position is None.
    void selectItemAtIndexPath(const NSIndexPath& indexPath, bool animated, UICollectionViewScrollPosition position);
    void deselectItemAtIndexPath(const NSIndexPath& indexPath, bool animated);

    void layoutSubviews() override;
    // A tap on a cell selects its item as a user's touch does.
    bool handleTapAt(CGPoint point) override;

private:
    friend class UICollectionViewLayout;
    // The identity of a shown element, and the key of a reuse queue (with
    // the index path left at its default).
    struct ElementKey {
        UICollectionElementCategory category;
        std::string kind;
        NSIndexPath indexPath;
        bool operator<(const ElementKey& other) const {
            return std::tie(category, kind, indexPath) < std::tie(other.category, other.kind, other.indexPath);
        }
    };
    struct ReuseKey {
        UICollectionElementCategory category;
        std::string kind;
        std::string identifier;
        bool operator<(const ReuseKey& other) const {
            return std::tie(category, kind, identifier) < std::tie(other.category, other.kind, other.identifier);
        }
    };
    struct ShownElement {
        Ref<UICollectionReusableView> view;
        Ref<UICollectionViewLayoutAttributes> attributes;
    };

    void didCreate() override;
    void layoutWasInvalidated();
    const std::vector<long>& itemCounts();
    Ref<UICollectionReusableView> dequeue(const ReuseKey& key, CGRect frame);
    Ref<UICollectionReusableView> makeViewFor(const ElementKey& key, const Ref<UICollectionViewLayoutAttributes>& attributes);
    void updateShownElements(CGRect visibleRect);
    void enqueue(const ElementKey& key, const ShownElement& shown);
    void apply(const Ref<UICollectionViewLayoutAttributes>& attributes, ShownElement& shown);
    void orderShownViews();
    void setCellSelected(const NSIndexPath& indexPath, bool selected);
    void selectAsUser(const NSIndexPath& indexPath);

    Ref<UICollectionViewLayout> layout_;
    WeakRef<UICollectionViewDataSource> dataSource_;
    std::map<ReuseKey, UICollectionReusableViewFactory> registrations_;
    std::map<ReuseKey, std::vector<Ref<UICollectionReusableView>>> reuseQueues_;
    std::set<ReuseKey> reportedMissing_;
    std::map<ElementKey, ShownElement> shown_;
    std::optional<std::vector<long>> itemCounts_;
    std::set<NSIndexPath> selected_;
    bool layoutValid_ = false;
    bool discardShown_ = false;
    std::optional<CGRect> lastLayoutBounds_;
    bool allowsSelection_ = true;
};
