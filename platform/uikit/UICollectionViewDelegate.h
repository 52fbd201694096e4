#pragma once

#include "foundation/NSIndexPath.h"
#include "uikit/UIScrollViewDelegate.h"

class UICollectionView;
class UICollectionViewCell;

// What a collection view tells and asks its delegate about items, beside the
// scroll callbacks. Every method is optional; the defaults are what UIKit
// does for a delegate that does not implement it (everything may be
// highlighted and selected).
//
// A tap on an item runs, in order: shouldHighlight, (highlight)
// didHighlight, (unhighlight) didUnhighlight, shouldSelect, then, when
// allowed, didDeselect of the previously selected item and didSelect.
class UICollectionViewDelegate : public virtual UIScrollViewDelegate {
public:
    virtual bool collectionViewShouldHighlightItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {
        return true;
    }
    virtual void collectionViewDidHighlightItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {}
    virtual void collectionViewDidUnhighlightItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {}
    virtual bool collectionViewShouldSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {
        return true;
    }
    virtual void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {}
    virtual void collectionViewDidDeselectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath&) {}
    // A cell is about to be shown / was taken off the screen.
    virtual void collectionViewWillDisplayCellForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                 const Ref<UICollectionViewCell>&, const NSIndexPath&) {}
    virtual void collectionViewDidEndDisplayingCellForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                      const Ref<UICollectionViewCell>&,
                                                                      const NSIndexPath&) {}
};
