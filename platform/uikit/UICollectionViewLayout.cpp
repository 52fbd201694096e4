#include "uikit/UICollectionViewLayout.h"

#include "uikit/UICollectionView.h"

std::vector<Ref<UICollectionViewLayoutAttributes>> UICollectionViewLayout::layoutAttributesForElementsInRect(CGRect) {
    return {};
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewLayout::layoutAttributesForItemAtIndexPath(const NSIndexPath&) {
    return nullptr;
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewLayout::layoutAttributesForSupplementaryViewOfKind(
    const std::string&, const NSIndexPath&) {
    return nullptr;
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewLayout::layoutAttributesForDecorationViewOfKind(
    const std::string&, const NSIndexPath&) {
    return nullptr;
}

bool UICollectionViewLayout::shouldInvalidateLayoutForBoundsChange(CGRect) { return false; }

void UICollectionViewLayout::invalidateLayout() {
    if (auto view = collectionView()) view->layoutWasInvalidated();
}

void UICollectionViewLayout::registerClass(UICollectionReusableViewFactory factory, const std::string& decorationKind) {
    if (factory)
        decorationFactories_[decorationKind] = std::move(factory);
    else
        decorationFactories_.erase(decorationKind);
}

UICollectionReusableViewFactory UICollectionViewLayout::decorationViewFactory(const std::string& decorationKind) const {
    auto found = decorationFactories_.find(decorationKind);
    return found == decorationFactories_.end() ? nullptr : found->second;
}
