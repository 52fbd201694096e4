#pragma once

#include <functional>

#include "app/components/RSCollectionViewDelegateRoundFlowLayout_Swift.h"
#include "app/tabs/mine/KXMineModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UICollectionView.h"

// Data source and delegate of the Mine tab's list. Sections: 0 the account
// card, 1 the notice ticker, one per menu group of the answer's `nav`, and
// last the sign-out row; without an answer the card, the ticker and the
// sign-out row alone. It sizes every item, gives the rounded-section layout
// each section's white plate (the ticker's "#DEE4FF"), and hands every tap
// to the screen through its closures (an unset closure ignores the tap).
class KXMineProtocol : public NSObject,
                       public UICollectionViewDataSource,
                       public RSCollectionViewDelegateRoundFlowLayout_Swift {
public:
    // The last good answer; none before the first.
    Ref<KXMineModel> model;
    StoredBlock<void(const Ref<KXMineDataModel>&)> didClickItem;
    StoredBlock<void(const Ref<KXMineModel>&)> withdrawalButtonClick;
    StoredBlock<void(const Ref<KXMineModel>&)> rechargeButtonClick;
    StoredBlock<void()> logOut;
    StoredBlock<void(const Ref<KXMineNewsModel>&)> didClickNotice;

    long numberOfSectionsInCollectionView(const Ref<UICollectionView>& collectionView) override;
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;

    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                     const Ref<UICollectionViewLayout>& layout,
                                                                     const NSIndexPath& indexPath) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>& collectionView,
                                                                           const Ref<UICollectionViewLayout>& layout,
                                                                           long section) override;
    std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(
        const Ref<UICollectionView>& collectionView, const Ref<UICollectionViewLayout>& layout, long section) override;
    std::optional<CGSize> collectionViewLayoutReferenceSizeForFooterInSection(
        const Ref<UICollectionView>& collectionView, const Ref<UICollectionViewLayout>& layout, long section) override;
    Ref<RSCollectionViewRoundConfigModel_Swift> collectionViewLayoutConfigModelForSectionAtIndex(
        const Ref<UICollectionView>& collectionView, const Ref<UICollectionViewLayout>& layout, long section) override;
    std::optional<UIEdgeInsets> collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(
        const Ref<UICollectionView>& collectionView, const Ref<UICollectionViewLayout>& layout, long section) override;

private:
    enum class Role { card, notices, menuGroup, signOut };
    // The section's role, tested in the order card, ticker, sign-out, menu.
    Role roleOf(long section) const;
    long groupCount() const;
    // The menu group a section shows; none outside the menu sections.
    Ref<KXMineNavModel> groupOf(long section) const;
    // The model, or an all-empty one before the first answer.
    Ref<KXMineModel> modelOrEmpty() const;
};
