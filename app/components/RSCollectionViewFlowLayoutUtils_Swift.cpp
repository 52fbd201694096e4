#include "app/components/RSCollectionViewFlowLayoutUtils_Swift.h"

#include <algorithm>
#include <functional>

#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UICollectionViewFlowLayout.h"

namespace {

bool isVertical(const UICollectionViewFlowLayout& layout) {
    return layout.scrollDirection() == UICollectionViewScrollDirection::Vertical;
}

// Runs `ask` on the collection view's flow-layout delegate, when there is one.
template <class T>
std::optional<T> askDelegate(UICollectionViewFlowLayout& layout,
                             const std::function<std::optional<T>(UICollectionViewDelegateFlowLayout&,
                                                                  const Ref<UICollectionView>&,
                                                                  const Ref<UICollectionViewLayout>&)>& ask) {
    auto collectionView = layout.collectionView();
    if (!collectionView) return std::nullopt;
    auto delegate = collectionView->delegate();
    auto* flowDelegate = dynamic_cast<UICollectionViewDelegateFlowLayout*>(delegate.get());
    if (!flowDelegate) return std::nullopt;
    return ask(*flowDelegate, collectionView, layout.self<UICollectionViewLayout>());
}

// The item frames of the section's first `count` items that exist.
template <class Visit> void forEachItemFrame(UICollectionViewFlowLayout& layout, long section, long count, Visit visit) {
    for (long item = 0; item < count; ++item)
        if (auto attributes = layout.layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section)))
            visit(item, attributes->frame());
}

}  // namespace

CGFloat RSCollectionViewFlowLayoutUtils_Swift::minimumInteritemSpacingForSection(UICollectionViewFlowLayout& layout,
                                                                               long section) {
    return askDelegate<CGFloat>(layout,
                                [section](UICollectionViewDelegateFlowLayout& delegate,
                                          const Ref<UICollectionView>& view, const Ref<UICollectionViewLayout>& self) {
                                    return delegate.collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(
                                        view, self, section);
                                })
        .value_or(layout.minimumInteritemSpacing());
}

UIEdgeInsets RSCollectionViewFlowLayoutUtils_Swift::insetForSection(UICollectionViewFlowLayout& layout, long section) {
    return askDelegate<UIEdgeInsets>(layout,
                                     [section](UICollectionViewDelegateFlowLayout& delegate,
                                               const Ref<UICollectionView>& view,
                                               const Ref<UICollectionViewLayout>& self) {
                                         return delegate.collectionViewLayoutInsetForSectionAtIndex(view, self, section);
                                     })
        .value_or(layout.sectionInset());
}

CGRect RSCollectionViewFlowLayoutUtils_Swift::firstItemMinEdge(UICollectionViewFlowLayout& layout, long section,
                                                               long count, CGRect frame) {
    bool vertical = isVertical(layout);
    CGFloat edge = vertical ? CGRectGetMinY(frame) : CGRectGetMinX(frame);
    forEachItemFrame(layout, section, count, [&](long, CGRect itemFrame) {
        edge = std::min(edge, vertical ? CGRectGetMinY(itemFrame) : CGRectGetMinX(itemFrame));
    });
    if (vertical)
        frame.origin.y = edge;
    else
        frame.origin.x = edge;
    return frame;
}

CGRect RSCollectionViewFlowLayoutUtils_Swift::lastItemMaxEdge(UICollectionViewFlowLayout& layout, long section,
                                                              long count, CGRect frame) {
    bool vertical = isVertical(layout);
    CGFloat edge = vertical ? CGRectGetMaxY(frame) : CGRectGetMaxX(frame);
    std::optional<CGRect> chosen;
    forEachItemFrame(layout, section, count, [&](long item, CGRect itemFrame) {
        CGFloat itemEdge = vertical ? CGRectGetMaxY(itemFrame) : CGRectGetMaxX(itemFrame);
        if (itemEdge > edge) {
            edge = itemEdge;
            chosen = itemFrame;
        } else if (item == count - 1 && !chosen) {
            chosen = itemFrame;
        }
    });
    return chosen.value_or(frame);
}
