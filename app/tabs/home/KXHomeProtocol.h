#pragma once

#include <functional>

#include "app/tabs/home/KXHomeModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"

// Feeds and lays out the Home collection view from the last home answer, in
// four sections: 0 the function grid (four tiles a row), 1 the statistics
// card (always there, also before any answer), 2 the first three places of
// the ranking as cards, 3 the column-title row and the places from the
// fourth on (only when the ranking has at least four entries). Sections 1
// and 2 (the latter only with entries) have a header. A tap on a grid tile
// hands its entry to `didClickNav`; other taps do nothing.
class KXHomeProtocol : public NSObject,
                       public UICollectionViewDataSource,
                       public UICollectionViewDelegateFlowLayout {
public:
    enum Section : long { functionGrid = 0, statistics = 1, topThree = 2, otherRanks = 3 };

    const Ref<KXHomeModel>& model() const { return model_; }
    // Takes effect at the collection view's next reload.
    void setModel(Ref<KXHomeModel> model) { model_ = std::move(model); }
    StoredBlock<void(const Ref<KXHomeNavModel>&)> didClickNav;

    long numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override { return 4; }
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) override;

    std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(const Ref<UICollectionView>&,
                                                                              const Ref<UICollectionViewLayout>&,
                                                                              long section) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                           const Ref<UICollectionViewLayout>&,
                                                                           long section) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                     const Ref<UICollectionViewLayout>&,
                                                                     const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;

    std::string className() const override { return "KXHomeProtocol"; }

private:
    std::size_t rankingCount() const { return model_ ? model_->paihangbang.size() : 0; }

    Ref<KXHomeModel> model_;
};
