#pragma once

#include <optional>
#include <vector>

#include "app/stats/KXConsumeRankModel.h"
#include "app/stats/KXRankListModel.h"
#include "app/tabs/mine/KXMineNavType.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"

// The rankings' collection source: section 0 the header and the first
// three entries as medal cards, section 1 (from three entries on) the
// column-title row and the entries from the fourth on, of the list of
// `type` (`rankListModels` for popularityRank, `consumeRankModels` for
// consumeRank). Other types list nothing. Taps do nothing.
class KXRankListProtocol : public NSObject,
                           public UICollectionViewDataSource,
                           public UICollectionViewDelegateFlowLayout {
public:
    KXMineNavType type = KXMineNavType::popularityRank;
    std::optional<std::vector<Ref<KXRankListModel>>> rankListModels;
    std::optional<std::vector<Ref<KXConsumeRankModel>>> consumeRankModels;

    long numberOfSectionsInCollectionView(const Ref<UICollectionView>&) override { return 2; }
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                     const Ref<UICollectionViewLayout>&,
                                                                     const NSIndexPath& indexPath) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                           const Ref<UICollectionViewLayout>&,
                                                                           long section) override;
    std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(const Ref<UICollectionView>&,
                                                                              const Ref<UICollectionViewLayout>&,
                                                                              long section) override;

    std::string className() const override { return "KXRankListProtocol"; }

private:
    // The number of entries of the ranking of `type`.
    long entryCount() const;
};
