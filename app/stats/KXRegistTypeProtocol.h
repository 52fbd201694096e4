#pragma once

#include <optional>

#include "app/stats/KXRechargeTypeModel.h"
#include "app/stats/KXRegistTypeModel.h"
#include "app/tabs/mine/KXMineNavType.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"

// The type statistics' collection source: section 0 the pie card, section
// 1 the "数据" header, the column-title row and one row per channel of the
// answer of `type` (registrations or top-ups). Other types list nothing.
class KXRegistTypeProtocol : public NSObject,
                             public UICollectionViewDataSource,
                             public UICollectionViewDelegateFlowLayout {
public:
    Ref<KXRegistTypeModel> model;
    Ref<KXRechargeTypeModel> rechargeTypeModel;
    std::optional<KXMineNavType> type;

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

    std::string className() const override { return "KXRegistTypeProtocol"; }
};
