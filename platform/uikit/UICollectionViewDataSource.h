#pragma once

#include <string>

#include "foundation/NSIndexPath.h"
#include "foundation/NSObject.h"

class UICollectionView;
class UICollectionViewCell;
class UICollectionReusableView;

// What a collection view asks for its content. The item count and the cells
// are required; the section count and the supplementary views are optional:
// the defaults are what UIKit does for a data source without them (one
// section; no view, so the element is not shown).
//
// A class adopts it (and the delegate protocols) beside NSObject:
//   class GamesList : public NSObject, public UICollectionViewDataSource,
//                     public UICollectionViewDelegateFlowLayout { ... };
// and is handed over as a Ref; the collection view holds it weakly.
class UICollectionViewDataSource {
public:
    virtual ~UICollectionViewDataSource() = default;

    virtual long numberOfSectionsInCollectionView(const Ref<UICollectionView>&) { return 1; }
    virtual long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) = 0;
    // Dequeues a cell registered under an identifier and configures it.
    virtual Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                           const NSIndexPath& indexPath) = 0;
    virtual Ref<UICollectionReusableView> collectionViewViewForSupplementaryElementOfKindAtIndexPath(
        const Ref<UICollectionView>&, const std::string& /*kind*/, const NSIndexPath&) {
        return nullptr;
    }
};
