#include "uikit/UICollectionViewFlowLayout.h"

#include <algorithm>

#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"

namespace {

// Items whose widths add up to the line's width in exact arithmetic may
// overshoot it by rounding; they still share the line.
constexpr CGFloat kFitTolerance = 1e-6;

}  // namespace

struct UICollectionViewFlowLayout::SectionMetrics {
    UIEdgeInsets inset;
    CGFloat lineSpacing = 0;
    CGFloat interitemSpacing = 0;
    CGSize headerSize;
    CGSize footerSize;
};

UICollectionViewFlowLayout::SectionMetrics UICollectionViewFlowLayout::metricsForSection(
    const Ref<UICollectionView>& collectionView, UICollectionViewDelegateFlowLayout* delegate, long section) {
    SectionMetrics metrics{sectionInset_, minimumLineSpacing_, minimumInteritemSpacing_, headerReferenceSize_,
                           footerReferenceSize_};
    if (!delegate) return metrics;
    auto layout = self<UICollectionViewLayout>();
    metrics.inset = delegate->collectionViewLayoutInsetForSectionAtIndex(collectionView, layout, section)
                        .value_or(metrics.inset);
    metrics.lineSpacing = delegate->collectionViewLayoutMinimumLineSpacingForSectionAtIndex(collectionView, layout, section)
                              .value_or(metrics.lineSpacing);
    metrics.interitemSpacing =
        delegate->collectionViewLayoutMinimumInteritemSpacingForSectionAtIndex(collectionView, layout, section)
            .value_or(metrics.interitemSpacing);
    metrics.headerSize = delegate->collectionViewLayoutReferenceSizeForHeaderInSection(collectionView, layout, section)
                             .value_or(metrics.headerSize);
    metrics.footerSize = delegate->collectionViewLayoutReferenceSizeForFooterInSection(collectionView, layout, section)
                             .value_or(metrics.footerSize);
    return metrics;
}

CGSize UICollectionViewFlowLayout::sizeForItem(const Ref<UICollectionView>& collectionView,
                                               UICollectionViewDelegateFlowLayout* delegate,
                                               const NSIndexPath& indexPath) {
    if (!delegate) return itemSize_;
    return delegate->collectionViewLayoutSizeForItemAtIndexPath(collectionView, self<UICollectionViewLayout>(), indexPath)
        .value_or(itemSize_);
}

CGRect UICollectionViewFlowLayout::rectFrom(CGFloat across, CGFloat along, CGFloat acrossLength,
                                            CGFloat alongLength) const {
    return isVertical() ? CGRectMake(across, along, acrossLength, alongLength)
                        : CGRectMake(along, across, alongLength, acrossLength);
}

void UICollectionViewFlowLayout::prepareLayout() {
    UICollectionViewLayout::prepareLayout();
    sections_.clear();
    contentSize_ = CGSizeZero;
    auto collectionView = this->collectionView();
    if (!collectionView) return;

    auto* delegate = dynamic_cast<UICollectionViewDelegateFlowLayout*>(collectionView->delegate().get());
    // Keep the delegate alive through the pass even if it drops itself.
    auto keepDelegate = collectionView->delegate();
    CGRect bounds = collectionView->bounds();
    UIEdgeInsets insets = collectionView->adjustedContentInset();
    preparedBoundsSize_ = bounds.size;
    CGFloat contentAcross = isVertical() ? bounds.size.width - insets.left - insets.right
                                         : bounds.size.height - insets.top - insets.bottom;
    contentAcross = std::max<CGFloat>(contentAcross, 0);

    long sectionCount = collectionView->numberOfSections();
    sections_.resize(static_cast<std::size_t>(std::max(sectionCount, 0L)));
    CGFloat along = 0;
    for (long section = 0; section < sectionCount; ++section)
        along = layOutSection(collectionView, delegate, section, along, contentAcross,
                              sections_[static_cast<std::size_t>(section)]);
    contentSize_ = isVertical() ? CGSizeMake(contentAcross, along) : CGSizeMake(along, contentAcross);
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::makeSupplementary(const std::string& kind,
                                                                                    long section, CGFloat along,
                                                                                    CGFloat length,
                                                                                    CGFloat contentAcross) const {
    if (length <= 0) return nullptr;
    auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForSupplementaryViewOfKind(
        kind, NSIndexPath::indexPathForItem(0, section));
    attributes->setFrame(rectFrom(0, along, contentAcross, length));
    return attributes;
}

CGFloat UICollectionViewFlowLayout::layOutSection(const Ref<UICollectionView>& collectionView,
                                                  UICollectionViewDelegateFlowLayout* delegate, long section,
                                                  CGFloat along, CGFloat contentAcross, Section& out) {
    SectionMetrics metrics = metricsForSection(collectionView, delegate, section);
    const UIEdgeInsets& inset = metrics.inset;
    CGFloat insetAcrossStart = isVertical() ? inset.left : inset.top;
    CGFloat insetAcrossEnd = isVertical() ? inset.right : inset.bottom;
    CGFloat insetAlongStart = isVertical() ? inset.top : inset.left;
    CGFloat insetAlongEnd = isVertical() ? inset.bottom : inset.right;
    auto acrossOf = [&](CGSize size) { return isVertical() ? size.width : size.height; };
    auto alongOf = [&](CGSize size) { return isVertical() ? size.height : size.width; };

    CGFloat sectionStart = along;
    out.header = makeSupplementary(UICollectionElementKindSectionHeader, section, along, alongOf(metrics.headerSize),
                                   contentAcross);
    if (out.header) along += alongOf(metrics.headerSize);
    along += insetAlongStart;

    long itemCount = std::max(collectionView->numberOfItemsInSection(section), 0L);
    std::vector<CGSize> sizes;
    sizes.reserve(static_cast<std::size_t>(itemCount));
    for (long item = 0; item < itemCount; ++item)
        sizes.push_back(sizeForItem(collectionView, delegate, NSIndexPath::indexPathForItem(item, section)));

    CGFloat lineWidth = contentAcross - insetAcrossStart - insetAcrossEnd;
    out.items.reserve(sizes.size());
    std::size_t first = 0;
    bool firstLine = true;
    while (first < sizes.size()) {
        // Fill the line: [first, end).
        CGFloat used = acrossOf(sizes[first]);
        CGFloat lineHeight = alongOf(sizes[first]);
        std::size_t end = first + 1;
        while (end < sizes.size() &&
               used + metrics.interitemSpacing + acrossOf(sizes[end]) <= lineWidth + kFitTolerance) {
            used += metrics.interitemSpacing + acrossOf(sizes[end]);
            lineHeight = std::max(lineHeight, alongOf(sizes[end]));
            ++end;
        }
        if (!firstLine) along += metrics.lineSpacing;
        firstLine = false;

        std::size_t count = end - first;
        CGFloat itemsLength = 0;
        for (std::size_t i = first; i < end; ++i) itemsLength += acrossOf(sizes[i]);
        CGFloat gap = count > 1 ? (lineWidth - itemsLength) / static_cast<CGFloat>(count - 1) : 0;
        CGFloat across = insetAcrossStart;
        if (count == 1 && itemsLength < lineWidth) across += (lineWidth - itemsLength) / 2;
        for (std::size_t i = first; i < end; ++i) {
            auto attributes = UICollectionViewLayoutAttributes::layoutAttributesForCellWithIndexPath(
                NSIndexPath::indexPathForItem(static_cast<long>(i), section));
            attributes->setFrame(rectFrom(across, along + (lineHeight - alongOf(sizes[i])) / 2, acrossOf(sizes[i]),
                                          alongOf(sizes[i])));
            out.items.push_back(std::move(attributes));
            across += acrossOf(sizes[i]) + gap;
        }
        along += lineHeight;
        first = end;
    }
    along += insetAlongEnd;

    out.footer = makeSupplementary(UICollectionElementKindSectionFooter, section, along, alongOf(metrics.footerSize),
                                   contentAcross);
    if (out.footer) along += alongOf(metrics.footerSize);
    out.frame = rectFrom(0, sectionStart, contentAcross, along - sectionStart);
    return along;
}

std::vector<Ref<UICollectionViewLayoutAttributes>> UICollectionViewFlowLayout::layoutAttributesForElementsInRect(
    CGRect rect) {
    std::vector<Ref<UICollectionViewLayoutAttributes>> found;
    auto take = [&](const Ref<UICollectionViewLayoutAttributes>& attributes) {
        if (attributes && CGRectIntersectsRect(attributes->frame(), rect)) found.push_back(attributes);
    };
    for (const Section& section : sections_) {
        // Sections lie one after another along the scroll direction; items
        // may overhang a section's frame across it, so only the along
        // extent rules a section out.
        CGFloat sectionStart = isVertical() ? CGRectGetMinY(section.frame) : CGRectGetMinX(section.frame);
        CGFloat sectionEnd = isVertical() ? CGRectGetMaxY(section.frame) : CGRectGetMaxX(section.frame);
        CGFloat rectStart = isVertical() ? CGRectGetMinY(rect) : CGRectGetMinX(rect);
        CGFloat rectEnd = isVertical() ? CGRectGetMaxY(rect) : CGRectGetMaxX(rect);
        if (sectionEnd < rectStart) continue;
        if (sectionStart > rectEnd) break;
        take(section.header);
        for (const auto& item : section.items) take(item);
        take(section.footer);
    }
    return found;
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForItemAtIndexPath(
    const NSIndexPath& indexPath) {
    if (indexPath.section() < 0 || indexPath.section() >= static_cast<long>(sections_.size())) return nullptr;
    const auto& items = sections_[static_cast<std::size_t>(indexPath.section())].items;
    if (indexPath.item() < 0 || indexPath.item() >= static_cast<long>(items.size())) return nullptr;
    return items[static_cast<std::size_t>(indexPath.item())];
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewFlowLayout::layoutAttributesForSupplementaryViewOfKind(
    const std::string& kind, const NSIndexPath& indexPath) {
    if (indexPath.section() < 0 || indexPath.section() >= static_cast<long>(sections_.size())) return nullptr;
    const Section& section = sections_[static_cast<std::size_t>(indexPath.section())];
    if (kind == UICollectionElementKindSectionHeader) return section.header;
    if (kind == UICollectionElementKindSectionFooter) return section.footer;
    return nullptr;
}

bool UICollectionViewFlowLayout::shouldInvalidateLayoutForBoundsChange(CGRect newBounds) {
    return newBounds.size != preparedBoundsSize_;
}
