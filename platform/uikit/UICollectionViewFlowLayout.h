#pragma once

#include <vector>

#include "graphics/UIEdgeInsets.h"
#include "uikit/UICollectionViewLayout.h"

class UICollectionViewDelegateFlowLayout;

enum class UICollectionViewScrollDirection { Vertical, Horizontal };

// Lays items out in lines, section after section, as UIKit's flow layout
// does. With vertical scrolling (the default) a line runs left to right and
// lines go down; with horizontal scrolling a line runs top to bottom and
// lines go right. Below, "across" is the direction of a line and "along" the
// scroll direction.
//
// Each section is, along the scroll direction: its header (spanning the
// content's width across, as long as its reference size along), the section
// inset's leading side, the lines of items, the inset's trailing side, then
// the footer. Headers and footers of zero length along are left out.
//
// Lines: items fill a line in order while they fit within the content
// width less the section's insets, at least the inter-item spacing apart;
// the extra room is shared evenly between the items, so a line of several
// items spans the whole width, the last line too; a line holding one item
// centres it. Within a line, items are centred across the line's height
// (its tallest item); lines are the line spacing apart.
//
// Sizes, insets and spacings come from the collection view's delegate when
// it is a UICollectionViewDelegateFlowLayout that answers the question for
// the item or section, else from the layout's properties.
//
// prepareLayout computes and keeps every element's attributes; the queries
// hand out those stored objects (copy them before changing them).
class UICollectionViewFlowLayout : public UICollectionViewLayout {
public:
    UICollectionViewScrollDirection scrollDirection() const { return scrollDirection_; }
    void setScrollDirection(UICollectionViewScrollDirection direction) { scrollDirection_ = direction; }
    CGFloat minimumLineSpacing() const { return minimumLineSpacing_; }
    void setMinimumLineSpacing(CGFloat spacing) { minimumLineSpacing_ = spacing; }
    CGFloat minimumInteritemSpacing() const { return minimumInteritemSpacing_; }
    void setMinimumInteritemSpacing(CGFloat spacing) { minimumInteritemSpacing_ = spacing; }
    CGSize itemSize() const { return itemSize_; }
    void setItemSize(CGSize size) { itemSize_ = size; }
    // Accepted and kept; items take their exact size (itemSize or the delegate's).
    CGSize estimatedItemSize() const { return estimatedItemSize_; }
    void setEstimatedItemSize(CGSize size) { estimatedItemSize_ = size; }
    UIEdgeInsets sectionInset() const { return sectionInset_; }
    void setSectionInset(UIEdgeInsets inset) { sectionInset_ = inset; }
    CGSize headerReferenceSize() const { return headerReferenceSize_; }
    void setHeaderReferenceSize(CGSize size) { headerReferenceSize_ = size; }
    CGSize footerReferenceSize() const { return footerReferenceSize_; }
    void setFooterReferenceSize(CGSize size) { footerReferenceSize_ = size; }
    // Accepted and kept; headers scroll with their section.
    bool sectionHeadersPinToVisibleBounds() const { return sectionHeadersPinToVisibleBounds_; }
    void setSectionHeadersPinToVisibleBounds(bool pins) { sectionHeadersPinToVisibleBounds_ = pins; }

    void prepareLayout() override;
    CGSize collectionViewContentSize() const override { return contentSize_; }
    // The elements whose frames share area with the rect, section by
    // section: header, items, footer.
    std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect rect) override;
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForItemAtIndexPath(const NSIndexPath& indexPath) override;
    // Headers and footers, at item 0 of their section; nothing for other
    // kinds or sections without one.
    Ref<UICollectionViewLayoutAttributes> layoutAttributesForSupplementaryViewOfKind(
        const std::string& kind, const NSIndexPath& indexPath) override;
    // True when the size differs from the one the layout was prepared for.
    bool shouldInvalidateLayoutForBoundsChange(CGRect newBounds) override;

private:
    struct Section {
        CGRect frame = CGRectNull;  // everything of the section, header to footer
        Ref<UICollectionViewLayoutAttributes> header;
        Ref<UICollectionViewLayoutAttributes> footer;
        std::vector<Ref<UICollectionViewLayoutAttributes>> items;
    };
    struct SectionMetrics;

    SectionMetrics metricsForSection(const Ref<UICollectionView>& collectionView,
                                     UICollectionViewDelegateFlowLayout* delegate, long section);
    CGSize sizeForItem(const Ref<UICollectionView>& collectionView, UICollectionViewDelegateFlowLayout* delegate,
                       const NSIndexPath& indexPath);
    // Lays out one section from `along` on and answers where it ends.
    CGFloat layOutSection(const Ref<UICollectionView>& collectionView, UICollectionViewDelegateFlowLayout* delegate,
                          long section, CGFloat along, CGFloat contentAcross, Section& out);
    Ref<UICollectionViewLayoutAttributes> makeSupplementary(const std::string& kind, long section, CGFloat along,
                                                            CGFloat length, CGFloat contentAcross) const;
    // A rectangle from its position and extent across and along.
    CGRect rectFrom(CGFloat across, CGFloat along, CGFloat acrossLength, CGFloat alongLength) const;
    bool isVertical() const { return scrollDirection_ == UICollectionViewScrollDirection::Vertical; }

    UICollectionViewScrollDirection scrollDirection_ = UICollectionViewScrollDirection::Vertical;
    CGFloat minimumLineSpacing_ = 10;
    CGFloat minimumInteritemSpacing_ = 10;
    CGSize itemSize_{50, 50};
    CGSize estimatedItemSize_{};
    UIEdgeInsets sectionInset_{};
    CGSize headerReferenceSize_{};
    CGSize footerReferenceSize_{};
    bool sectionHeadersPinToVisibleBounds_ = false;

    std::vector<Section> sections_;
    CGSize contentSize_{};
    CGSize preparedBoundsSize_{};
};
