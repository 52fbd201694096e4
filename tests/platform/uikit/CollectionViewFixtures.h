#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "tests/support/FlowLayoutAnswers.h"

// A cell that counts how many of its kind were made.
class CountedCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;
    static inline int made = 0;
    int reuses = 0;
    NSIndexPath shownFor;

protected:
    void didCreate() override {
        UICollectionViewCell::didCreate();
        ++made;
    }
    void prepareForReuse() override {
        UICollectionViewCell::prepareForReuse();
        ++reuses;
    }
};

class HeaderView : public UICollectionReusableView {
public:
    using UICollectionReusableView::UICollectionReusableView;
};

// Data source and flow-layout delegate whose answers a test sets: item
// counts per section, and optional per-item sizes and per-section metrics
// (an unset map answers nothing, so the layout's properties apply). It
// records the calls it gets.
class ListSource : public NSObject,
                   public UICollectionViewDataSource,
                   public FlowLayoutAnswers<UICollectionViewDelegateFlowLayout> {
public:
    std::vector<long> counts{0};
    bool providesHeaders = false;
    bool allowSelection = true;

    int cellRequests = 0;
    std::vector<std::string> calls;

    long numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override {
        return static_cast<long>(counts.size());
    }
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) override {
        return counts.at(static_cast<std::size_t>(section));
    }
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override {
        ++cellRequests;
        auto cell = collectionView->dequeueReusableCellWithReuseIdentifier("cell", indexPath);
        if (auto counted = cast<CountedCell>(cell)) counted->shownFor = indexPath;
        return cell;
    }
    Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) override {
        if (!providesHeaders) return nullptr;
        calls.push_back("supplementary " + kind + " " + std::to_string(indexPath.section()));
        return collectionView->dequeueReusableSupplementaryViewOfKind(kind, "header", indexPath);
    }

    bool collectionViewShouldHighlightItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& p) override {
        calls.push_back("shouldHighlight " + p.description());
        return true;
    }
    void collectionViewDidHighlightItemAtIndexPath(const Ref<UICollectionView>& view, const NSIndexPath& p) override {
        calls.push_back("didHighlight " + p.description() +
                        (view->cellForItemAtIndexPath(p)->isHighlighted() ? " (highlighted)" : ""));
    }
    void collectionViewDidUnhighlightItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& p) override {
        calls.push_back("didUnhighlight " + p.description());
    }
    bool collectionViewShouldSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& p) override {
        calls.push_back("shouldSelect " + p.description());
        return allowSelection;
    }
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& p) override {
        calls.push_back("didSelect " + p.description());
    }
    void collectionViewDidDeselectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& p) override {
        calls.push_back("didDeselect " + p.description());
    }

};

// A collection view on a flow layout, wired to a ListSource, with CountedCell
// registered as "cell" and HeaderView as "header" for headers and footers.
struct CollectionSetup {
    Ref<UICollectionViewFlowLayout> layout = make<UICollectionViewFlowLayout>();
    Ref<ListSource> source = make<ListSource>();
    Ref<UICollectionView> view;

    explicit CollectionSetup(CGRect frame, Ref<UICollectionViewFlowLayout> customLayout = nullptr) {
        if (customLayout) layout = customLayout;
        view = make<UICollectionView>(frame, layout);
        view->registerClass<CountedCell>("cell");
        view->registerClass<HeaderView>(UICollectionElementKindSectionHeader, "header");
        view->registerClass<HeaderView>(UICollectionElementKindSectionFooter, "header");
        view->setDataSource(source);
        view->setDelegate(source);
        CountedCell::made = 0;
    }

    CGRect itemFrame(long item, long section = 0) const {
        auto attributes = layout->layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section));
        return attributes ? attributes->frame() : CGRectNull;
    }
    CGRect supplementaryFrame(const std::string& kind, long section) const {
        auto attributes =
            layout->layoutAttributesForSupplementaryViewOfKind(kind, NSIndexPath::indexPathForItem(0, section));
        return attributes ? attributes->frame() : CGRectNull;
    }
};
