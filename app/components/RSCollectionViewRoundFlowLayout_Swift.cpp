#include "app/components/RSCollectionViewRoundFlowLayout_Swift.h"

#include <algorithm>
#include <unordered_map>

#include "app/components/RSCollectionReusableView_Swift.h"
#include "app/components/RSCollectionViewDelegateRoundFlowLayout_Swift.h"
#include "app/components/RSCollectionViewFlowLayoutUtils_Swift.h"
#include "app/components/RSCollectionViewRoundLayoutAttributes_Swift.h"
#include "uikit/UICollectionView.h"

using Utils = RSCollectionViewFlowLayoutUtils_Swift;
using AttributesList = std::vector<Ref<UICollectionViewLayoutAttributes>>;

namespace {

// Groups copies of the attributes by a key of their frames, in order of
// first appearance. Keys compare exactly: a cell a fraction of a point off
// forms a line of its own.
template <class Key>
RSCollectionViewRoundFlowLayout_Swift::LineGroups groupByLine(const AttributesList& attrs, Key key) {
    RSCollectionViewRoundFlowLayout_Swift::LineGroups groups;
    std::unordered_map<CGFloat, std::size_t> groupOfKey;
    for (const auto& attributes : attrs) {
        auto [found, isNew] = groupOfKey.try_emplace(key(attributes->frame()), groups.size());
        if (isNew) groups.emplace_back();
        groups[found->second].push_back(attributes->copy());
    }
    return groups;
}

bool isSupplementary(const Ref<UICollectionViewLayoutAttributes>& attributes) {
    return attributes->representedElementKind().has_value();
}

}  // namespace

const std::string& RSCollectionViewRoundFlowLayout_Swift::RSCollectionViewRoundSectionSwift() {
    static const std::string kind = "com.RSCollectionViewRoundSectionSwift";
    return kind;
}

// --- Plates ---

void RSCollectionViewRoundFlowLayout_Swift::prepareLayout() {
    UICollectionViewFlowLayout::prepareLayout();
    if (!isRoundEnabled_) return;
    auto collectionView = this->collectionView();
    if (!collectionView) return;
    long sectionCount = collectionView->numberOfSections();
    // Held through the pass, in case the delegate lets go of itself.
    Ref<UICollectionViewDelegate> keepDelegate = collectionView->delegate();
    auto* delegate = dynamic_cast<RSCollectionViewDelegateRoundFlowLayout_Swift*>(keepDelegate.get());
    if (!delegate) return;

    registerClass<RSCollectionReusableView_Swift>(RSCollectionViewRoundSectionSwift());
    decorationViewAttrs_.clear();
    for (long section = 0; section < sectionCount; ++section)
        if (auto plate = decorationForSection(collectionView, *delegate, section))
            decorationViewAttrs_.push_back(std::move(plate));
}

std::optional<CGRect> RSCollectionViewRoundFlowLayout_Swift::sizedSupplementaryFrame(const std::string& kind,
                                                                                    long section) {
    auto attributes = layoutAttributesForSupplementaryViewOfKind(kind, NSIndexPath::indexPathForItem(0, section));
    if (!attributes) return std::nullopt;
    CGRect frame = attributes->frame();
    if (frame.size.width == 0 && frame.size.height == 0) return std::nullopt;
    return frame;
}

CGRect RSCollectionViewRoundFlowLayout_Swift::spanBounds(CGRect frame, const Ref<UICollectionView>& collectionView) const {
    if (isVertical())
        frame.size.width = collectionView->bounds().size.width;
    else
        frame.size.height = collectionView->bounds().size.height;
    return frame;
}

Ref<UICollectionViewLayoutAttributes> RSCollectionViewRoundFlowLayout_Swift::decorationForSection(
    const Ref<UICollectionView>& collectionView, RSCollectionViewDelegateRoundFlowLayout_Swift& delegate,
    long section) {
    auto layout = self<UICollectionViewLayout>();
    auto itemFrame = [&](long item) {
        auto attributes = layoutAttributesForItemAtIndexPath(NSIndexPath::indexPathForItem(item, section));
        return attributes ? attributes->frame() : CGRectNull;
    };

    // The first frame: the header's when it counts and has a size, else the first item's.
    long count = collectionView->numberOfItemsInSection(section);
    CGRect first = CGRectNull;
    if (count >= 1) {
        first = itemFrame(0);
    } else if (!delegate.collectionViewWithCollectionViewLayoutIsCanCalculateWhenRowEmptyWithSection(collectionView, layout,
                                                                                                     section)
                    .value_or(isCanCalculateWhenRowEmpty_)) {
        return nullptr;
    }
    bool headerCounted =
        delegate.collectionViewWithCollectionViewLayoutIsCalculateHeaderViewIndex(collectionView, layout, section)
            .value_or(isCalculateHeader_);
    if (headerCounted) {
        if (auto header = sizedSupplementaryFrame(UICollectionElementKindSectionHeader, section)) {
            first = *header;
        } else if (!CGRectIsNull(first)) {
            if (isCalculateTypeOpenIrregularitiesCell_) first = Utils::firstItemMinEdge(*this, section, count, first);
            first = spanBounds(first, collectionView);
        }
    } else if (isCalculateTypeOpenIrregularitiesCell_ && !CGRectIsNull(first)) {
        first = Utils::firstItemMinEdge(*this, section, count, first);
    }

    // The last frame: the footer's when it counts and has a size, else the last item's.
    CGRect last = count >= 1 ? itemFrame(count - 1) : CGRectNull;
    bool footerCounted =
        delegate.collectionViewWithCollectionViewLayoutIsCalculateFooterViewIndex(collectionView, layout, section)
            .value_or(isCalculateFooter_);
    if (footerCounted) {
        if (auto footer = sizedSupplementaryFrame(UICollectionElementKindSectionFooter, section)) {
            last = *footer;
        } else if (!CGRectIsNull(last)) {
            if (isCalculateTypeOpenIrregularitiesCell_) last = Utils::lastItemMaxEdge(*this, section, count, last);
            last = spanBounds(last, collectionView);
        }
    } else if (isCalculateTypeOpenIrregularitiesCell_ && !CGRectIsNull(last)) {
        last = Utils::lastItemMaxEdge(*this, section, count, last);
    }

    UIEdgeInsets inset = Utils::insetForSection(*this, section);
    UIEdgeInsets border =
        delegate.collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(collectionView, layout, section)
            .value_or(UIEdgeInsetsZero);
    CGRect frame = CGRectUnion(first, last);
    if (CGRectIsNull(frame)) return nullptr;

    // Counted headers and footers that exist keep their edge of the plate;
    // any other edge takes the section inset.
    CGFloat visibleHeight = collectionView->frame().size.height - collectionView->adjustedContentInset().top;
    bool headerSized = sizedSupplementaryFrame(UICollectionElementKindSectionHeader, section).has_value();
    bool footerSized = sizedSupplementaryFrame(UICollectionElementKindSectionFooter, section).has_value();
    if (headerCounted && footerCounted) {
        if (!(headerSized && footerSized)) frame = calculateDefaultFrameWithSectionFrame(frame, inset);
    } else if (headerCounted && headerSized) {
        if (isVertical()) {
            frame.size.height += inset.bottom;
        } else {
            frame.size.width += inset.right;
            frame.size.height = visibleHeight;
        }
    } else if (footerCounted && footerSized) {
        if (isVertical()) {
            frame.origin.y -= inset.top;
            frame.size.width = collectionView->frame().size.width;
            frame.size.height += inset.top;
        } else {
            frame.origin.x -= inset.left;
            frame.size.width += inset.left;
            frame.size.height = visibleHeight;
        }
    } else {
        frame = calculateDefaultFrameWithSectionFrame(frame, inset);
    }
    frame = UIEdgeInsetsInsetRect(frame, border);

    auto plate = UICollectionViewLayoutAttributes::layoutAttributesForDecorationViewOfKind<
        RSCollectionViewRoundLayoutAttributes_Swift>(RSCollectionViewRoundSectionSwift(),
                                                     NSIndexPath::indexPathForItem(0, section));
    plate->setFrame(frame);
    plate->setZIndex(-1);
    plate->setBorderEdgeInsets(border);
    plate->setMyConfigModel(delegate.collectionViewLayoutConfigModelForSectionAtIndex(collectionView, layout, section));
    return plate;
}

CGRect RSCollectionViewRoundFlowLayout_Swift::calculateDefaultFrameWithSectionFrame(CGRect sectionFrame,
                                                                                    UIEdgeInsets sectionInset) const {
    auto collectionView = this->collectionView();
    CGRect viewFrame = collectionView ? collectionView->frame() : CGRectZero;
    CGFloat insetTop = collectionView ? collectionView->adjustedContentInset().top : 0;
    if (isVertical())
        return CGRectMake(0, sectionFrame.origin.y - sectionInset.top, viewFrame.size.width,
                          sectionFrame.size.height + sectionInset.top + sectionInset.bottom);
    return CGRectMake(sectionFrame.origin.x - sectionInset.left, sectionFrame.origin.y - sectionInset.top,
                      sectionFrame.size.width + sectionInset.left + sectionInset.right,
                      viewFrame.size.height - insetTop);
}

std::vector<Ref<UICollectionViewLayoutAttributes>> RSCollectionViewRoundFlowLayout_Swift::layoutAttributesForElementsInRect(
    CGRect rect) {
    AttributesList result = UICollectionViewFlowLayout::layoutAttributesForElementsInRect(rect);
    if (alignmentType_ != RSCollectionViewRoundFlowLayoutSwiftAlignmentType::system && isVertical())
        alignLinesForAlignmentType(groupLayoutAttributesForElementsByYLineWithLayoutAttributesAttrs(result), result,
                                   alignmentType_);
    result.insert(result.end(), decorationViewAttrs_.begin(), decorationViewAttrs_.end());
    return result;
}

// --- Line alignment ---

RSCollectionViewRoundFlowLayout_Swift::LineGroups
RSCollectionViewRoundFlowLayout_Swift::groupLayoutAttributesForElementsByYLineWithLayoutAttributesAttrs(
    const AttributesList& attrs) const {
    return groupByLine(attrs, [](CGRect frame) { return CGRectGetMidY(frame); });
}

RSCollectionViewRoundFlowLayout_Swift::LineGroups
RSCollectionViewRoundFlowLayout_Swift::groupLayoutAttributesForElementsByXLineWithLayoutAttributesAttrs(
    const AttributesList& attrs) const {
    return groupByLine(attrs, [](CGRect frame) { return CGRectGetMinX(frame); });
}

void RSCollectionViewRoundFlowLayout_Swift::alignLinesForAlignmentType(const LineGroups& groups, AttributesList& result,
                                                                       RSCollectionViewRoundFlowLayoutSwiftAlignmentType type) {
    using Type = RSCollectionViewRoundFlowLayoutSwiftAlignmentType;
    result.clear();
    for (const auto& group : groups) {
        switch (type) {
        case Type::left: evaluatedCellSettingFrameByLeftWithWithRSCollectionLayout(*this, group); break;
        case Type::center: evaluatedCellSettingFrameByCenterWithWithRSCollectionLayout(*this, group); break;
        case Type::right:
            evaluatedCellSettingFrameByRightWithWithRSCollectionLayout(*this, AttributesList(group.rbegin(), group.rend()));
            break;
        case Type::rightToLeft: evaluatedCellSettingFrameByRightWithWithRSCollectionLayout(*this, group); break;
        case Type::system: break;
        }
        result.insert(result.end(), group.begin(), group.end());
    }
}

void RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByLeftWithWithRSCollectionLayout(
    RSCollectionViewRoundFlowLayout_Swift& layout, const AttributesList& attrs) {
    std::optional<CGRect> previous;
    for (const auto& attributes : attrs) {
        if (isSupplementary(attributes)) continue;
        long section = attributes->indexPath().section();
        CGRect frame = attributes->frame();
        if (layout.isVertical())
            frame.origin.x = previous ? CGRectGetMaxX(*previous) + Utils::minimumInteritemSpacingForSection(layout, section)
                                      : Utils::insetForSection(layout, section).left;
        else
            frame.origin.y = previous ? CGRectGetMaxY(*previous) + Utils::minimumInteritemSpacingForSection(layout, section)
                                      : Utils::insetForSection(layout, section).top;
        attributes->setFrame(frame);
        previous = frame;
    }
}

void RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByCenterWithWithRSCollectionLayout(
    RSCollectionViewRoundFlowLayout_Swift& layout, const AttributesList& attrs) {
    if (attrs.empty()) return;
    if (!layout.isVertical()) {
        // Across a horizontal line the cells are packed from the inset, not centred.
        evaluatedCellSettingFrameByLeftWithWithRSCollectionLayout(layout, attrs);
        return;
    }
    // The spacing counts once per element (one more than the gaps), so the
    // line sits half a spacing left of the middle of the collection view's
    // width; the insets play no part.
    CGFloat total = 0;
    for (const auto& attributes : attrs) total += attributes->bounds().size.width;
    auto collectionView = layout.collectionView();
    CGFloat width = collectionView ? collectionView->bounds().size.width : 0;
    long firstSection = attrs.front()->indexPath().section();
    CGFloat free = width - total -
                   Utils::minimumInteritemSpacingForSection(layout, firstSection) * static_cast<CGFloat>(attrs.size());
    std::optional<CGRect> previous;
    for (const auto& attributes : attrs) {
        if (isSupplementary(attributes)) continue;
        CGRect frame = attributes->frame();
        frame.origin.x = previous ? CGRectGetMaxX(*previous) + Utils::minimumInteritemSpacingForSection(
                                                                   layout, attributes->indexPath().section())
                                  : free * 0.5;
        attributes->setFrame(frame);
        previous = frame;
    }
}

void RSCollectionViewRoundFlowLayout_Swift::evaluatedCellSettingFrameByRightWithWithRSCollectionLayout(
    RSCollectionViewRoundFlowLayout_Swift& layout, const AttributesList& attrs) {
    if (!layout.isVertical()) return;
    auto collectionView = layout.collectionView();
    CGFloat width = collectionView ? collectionView->bounds().size.width : 0;
    std::optional<CGRect> previous;
    for (const auto& attributes : attrs) {
        if (isSupplementary(attributes)) continue;
        long section = attributes->indexPath().section();
        CGRect frame = attributes->frame();
        frame.origin.x = previous ? CGRectGetMinX(*previous) - Utils::minimumInteritemSpacingForSection(layout, section) -
                                        frame.size.width
                                  : width - Utils::insetForSection(layout, section).right - frame.size.width;
        attributes->setFrame(frame);
        previous = frame;
    }
}
