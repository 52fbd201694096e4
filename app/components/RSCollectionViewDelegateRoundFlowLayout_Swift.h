#pragma once

#include <optional>

#include "app/components/RSCollectionViewRoundConfigModel_Swift.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"

// What the rounded-section layout asks the collection view's delegate,
// beside the flow layout's own questions. The config model is required;
// every other question is optional: std::nullopt (the default) means "not
// answered", and the layout then uses its own property (or zero insets).
// The layout asks per section and per prepare pass.
class RSCollectionViewDelegateRoundFlowLayout_Swift : public UICollectionViewDelegateFlowLayout {
public:
    // The look of the section's plate.
    virtual Ref<RSCollectionViewRoundConfigModel_Swift> collectionViewLayoutConfigModelForSectionAtIndex(
        const Ref<UICollectionView>& collectionView, const Ref<UICollectionViewLayout>& layout, long section) = 0;
    // Taken off the plate's frame on each side.
    virtual std::optional<UIEdgeInsets> collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    // Whether the section's header takes part in the plate's frame.
    virtual std::optional<bool> collectionViewWithCollectionViewLayoutIsCalculateHeaderViewIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    // Whether the section's footer takes part in the plate's frame.
    virtual std::optional<bool> collectionViewWithCollectionViewLayoutIsCalculateFooterViewIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    // Whether a section without items may still get a plate.
    virtual std::optional<bool> collectionViewWithCollectionViewLayoutIsCanCalculateWhenRowEmptyWithSection(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    // A plate was tapped; its index path is item 0 of its section.
    virtual void collectionViewWithCollectionViewDidSelectDecorationViewAtIndexPath(const Ref<UICollectionView>&,
                                                                                    const NSIndexPath&) {}
};
