#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/NSIndexPath.h"
#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "uikit/UICollectionReusableView.h"
#include "uikit/UICollectionViewLayoutAttributes.h"

class UICollectionView;

// Decides where a collection view's elements go. The collection view asks
// it, in its layout pass: prepareLayout once after each invalidation, then
// the content size and the attributes of the elements in the visible rect;
// single elements are looked up by index path.
//
// The base places nothing. Subclasses override the queries (a custom layout
// usually subclasses the flow layout, calls the base's prepareLayout and
// rect query and adds decoration attributes of its own).
//
// invalidateLayout makes the collection view prepare the layout again at its
// next layout pass. When the collection view's bounds change (a scroll, a
// resize) it asks shouldInvalidateLayoutForBoundsChange with the new bounds.
//
// Decoration views are the layout's own: it registers a class per kind, and
// the collection view makes (and reuses) views of that class for the
// decoration attributes the rect query returns.
class UICollectionViewLayout : public NSObject {
public:
    // The collection view using the layout; null before one takes it.
    Ref<UICollectionView> collectionView() const { return collectionView_.lock(); }

    virtual void prepareLayout() {}
    virtual CGSize collectionViewContentSize() const { return CGSizeZero; }
    virtual std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect rect);
    virtual Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(const NSIndexPath& indexPath);
    virtual Ref<UICollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
        const std::string& kind, const NSIndexPath& indexPath);
    virtual Ref<UICollectionViewLayoutAttributes> layoutAttributesForDecorationViewOfKind(
        const std::string& kind, const NSIndexPath& indexPath);
    // False: the base's attributes do not depend on the bounds.
    virtual bool shouldInvalidateLayoutForBoundsChange(CGRect newBounds);
    virtual void invalidateLayout();

    // Registering again for a kind replaces the class.
    template <class View> void registerClass(const std::string& decorationKind) {
        registerClass(UICollectionReusableView::factoryOf<View>(), decorationKind);
    }
    void registerClass(UICollectionReusableViewFactory factory, const std::string& decorationKind);
    // The maker registered for a decoration kind, or an empty function.
    UICollectionReusableViewFactory decorationViewFactory(const std::string& decorationKind) const;

private:
    friend class UICollectionView;
    void setCollectionView(const Ref<UICollectionView>& collectionView) { collectionView_ = collectionView; }

    WeakRef<UICollectionView> collectionView_;
    std::map<std::string, UICollectionReusableViewFactory> decorationFactories_;
};
