#include "uikit/UICollectionView.h"
#include "uikit/UIDriver.h"

namespace {

bool itemExists(const Ref<UICollectionView>& view, const NSIndexPath& indexPath) {
    return indexPath.section() >= 0 && indexPath.section() < view->numberOfSections() && indexPath.item() >= 0 &&
           indexPath.item() < view->numberOfItemsInSection(indexPath.section());
}

}  // namespace

bool UIDriver::scrollToItem(const Ref<UICollectionView>& view, const NSIndexPath& indexPath) {
    settle();
    if (!view || view->window() != keyWindow()) return fail("scrollToItem: the collection view is not in the key window");
    if (!itemExists(view, indexPath)) return fail("scrollToItem: no item " + indexPath.description());
    view->scrollToItemAtIndexPath(indexPath, UICollectionViewScrollPositionTop | UICollectionViewScrollPositionLeft,
                                  false);
    settle();
    return true;
}

bool UIDriver::selectItem(const Ref<UICollectionView>& view, const NSIndexPath& indexPath) {
    settle();
    if (!view || view->window() != keyWindow()) return fail("selectItem: the collection view is not in the key window");
    if (!itemExists(view, indexPath)) return fail("selectItem: no item " + indexPath.description());
    auto cell = view->cellForItemAtIndexPath(indexPath);
    CGRect shown = view->bounds();
    if (!cell || !CGRectContainsRect(shown, cell->frame())) {
        if (!scrollToItem(view, indexPath)) return false;
        cell = view->cellForItemAtIndexPath(indexPath);
    }
    if (!cell) return fail("selectItem: item " + indexPath.description() + " has no cell on screen");
    return tap(cell);
}
