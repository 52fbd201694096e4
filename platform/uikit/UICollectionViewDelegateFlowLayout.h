#pragma once

#include <optional>

#include "graphics/CGGeometry.h"
#include "graphics/UIEdgeInsets.h"
#include "uikit/UICollectionViewDelegate.h"

class UICollectionViewLayout;

// The flow layout's questions to the collection view's delegate, per item or
// per section. Each is optional, and whether it is answered matters: an
// unanswered question (std::nullopt, the default) makes the layout use its
// own property (itemSize, sectionInset, minimumLineSpacing, ...). Override
// only the questions the delegate answers.
class UICollectionViewDelegateFlowLayout : public UICollectionViewDelegate {
public:
    virtual std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                             const Ref<UICollectionViewLayout>&,
                                                                             const NSIndexPath&) {
        return std::nullopt;
    }
    virtual std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                                   const Ref<UICollectionViewLayout>&,
                                                                                   long /*section*/) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> collectionViewLayoutMinimumLineSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    virtual std::optional<CGFloat> collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
        const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long /*section*/) {
        return std::nullopt;
    }
    virtual std::optional<CGSize> collectionViewLayoutReferenceSizeForHeaderInSection(const Ref<UICollectionView>&,
                                                                                      const Ref<UICollectionViewLayout>&,
                                                                                      long /*section*/) {
        return std::nullopt;
    }
    virtual std::optional<CGSize> collectionViewLayoutReferenceSizeForFooterInSection(const Ref<UICollectionView>&,
                                                                                      const Ref<UICollectionViewLayout>&,
                                                                                      long /*section*/) {
        return std::nullopt;
    }
};
