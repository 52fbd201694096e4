#pragma once

#include <string>
#include <vector>

#include "app/components/RSCollectionViewRoundFlowLayoutSwiftAlignmentType.h"
#include "uikit/UICollectionViewFlowLayout.h"

class RSCollectionViewDelegateRoundFlowLayout_Swift;

// A flow layout that puts a plate (RSCollectionReusableView_Swift) behind
// every section, sized from the section's items and, on request, its header
// and footer, and that can re-align the cells of each line.
//
// The flow layout places every element; this class adds one decoration per
// section in prepareLayout and, with an alignment other than `system` and
// vertical scrolling, moves copies of the cells within their lines in the
// rect query. The look of each plate, its border insets and whether headers,
// footers and empty sections count come from the collection view's delegate,
// which adopts RSCollectionViewDelegateRoundFlowLayout_Swift; without such a
// delegate the layout builds no plates (and keeps the ones it had).
//
// Property changes show at the next prepare pass (invalidate the layout).
class RSCollectionViewRoundFlowLayout_Swift : public UICollectionViewFlowLayout {
public:
    // The decoration kind of the plates.
    static const std::string& RSCollectionViewRoundSectionSwift();

    RSCollectionViewRoundFlowLayoutSwiftAlignmentType collectionCellAlignmentType() const { return alignmentType_; }
    void setCollectionCellAlignmentType(RSCollectionViewRoundFlowLayoutSwiftAlignmentType type) { alignmentType_ = type; }
    // Whether plates are computed at all.
    bool isRoundEnabled() const { return isRoundEnabled_; }
    void setIsRoundEnabled(bool enabled) { isRoundEnabled_ = enabled; }
    // Whether the header (footer) is part of the plate, for sections the
    // delegate does not answer for.
    bool isCalculateHeader() const { return isCalculateHeader_; }
    void setIsCalculateHeader(bool counts) { isCalculateHeader_ = counts; }
    bool isCalculateFooter() const { return isCalculateFooter_; }
    void setIsCalculateFooter(bool counts) { isCalculateFooter_ = counts; }
    // For cells of uneven size: the plate starts at the section's smallest
    // leading edge and ends with the item reaching furthest.
    bool isCalculateTypeOpenIrregularitiesCell() const { return isCalculateTypeOpenIrregularitiesCell_; }
    void setIsCalculateTypeOpenIrregularitiesCell(bool open) { isCalculateTypeOpenIrregularitiesCell_ = open; }
    // Whether a section without items may still get a plate, for sections
    // the delegate does not answer for.
    bool isCanCalculateWhenRowEmpty() const { return isCanCalculateWhenRowEmpty_; }
    void setIsCanCalculateWhenRowEmpty(bool can) { isCanCalculateWhenRowEmpty_ = can; }
    // The plates of the last prepare pass, in section order.
    const std::vector<Ref<UICollectionViewLayoutAttributes>>& decorationViewAttrs() const { return decorationViewAttrs_; }
    void setDecorationViewAttrs(std::vector<Ref<UICollectionViewLayoutAttributes>> attrs) {
        decorationViewAttrs_ = std::move(attrs);
    }

    void prepareLayout() override;
    // The flow layout's elements (re-aligned copies when an alignment is
    // chosen and scrolling is vertical), then every plate, whatever the rect.
    std::vector<Ref<UICollectionViewLayoutAttributes>> layoutAttributesForElementsInRect(CGRect rect) override;

    // The plate frame used when the counted header and footer do not set it:
    // the section frame grown by the inset along the scroll direction and
    // spanning the collection view across it.
    CGRect calculateDefaultFrameWithSectionFrame(CGRect sectionFrame, UIEdgeInsets sectionInset) const;

    // --- Line alignment ---
    using LineGroups = std::vector<std::vector<Ref<UICollectionViewLayoutAttributes>>>;
    // Copies of the attributes grouped by the exact mid y of their frames,
    // groups in order of first appearance, each in the order given.
    LineGroups groupLayoutAttributesForElementsByYLineWithLayoutAttributesAttrs(
        const std::vector<Ref<UICollectionViewLayoutAttributes>>& attrs) const;
    // The same keyed by the frames' left edge (x).
    LineGroups groupLayoutAttributesForElementsByXLineWithLayoutAttributesAttrs(
        const std::vector<Ref<UICollectionViewLayoutAttributes>>& attrs) const;
    // Re-lays each group by the type and puts the groups' elements, each
    // group in its own order, into `result` (emptied first).
    void alignLinesForAlignmentType(const LineGroups& groups, std::vector<Ref<UICollectionViewLayoutAttributes>>& result,
                                    RSCollectionViewRoundFlowLayoutSwiftAlignmentType type);
    // The placement rules on one line group, in place. Supplementary
    // elements keep their frames; only the position along the line changes.
    static void evaluatedCellSettingFrameByLeftWithWithRSCollectionLayout(
        RSCollectionViewRoundFlowLayout_Swift& layout, const std::vector<Ref<UICollectionViewLayoutAttributes>>& attrs);
    static void evaluatedCellSettingFrameByCenterWithWithRSCollectionLayout(
        RSCollectionViewRoundFlowLayout_Swift& layout, const std::vector<Ref<UICollectionViewLayoutAttributes>>& attrs);
    static void evaluatedCellSettingFrameByRightWithWithRSCollectionLayout(
        RSCollectionViewRoundFlowLayout_Swift& layout, const std::vector<Ref<UICollectionViewLayoutAttributes>>& attrs);

private:
    // The plate of one section, or null when the section gets none.
    Ref<UICollectionViewLayoutAttributes> decorationForSection(const Ref<UICollectionView>& collectionView,
                                                               RSCollectionViewDelegateRoundFlowLayout_Swift& delegate,
                                                               long section);
    // The header's or footer's frame when it exists and has a width or height.
    std::optional<CGRect> sizedSupplementaryFrame(const std::string& kind, long section);
    // Stretches a first/last frame across the collection view's bounds.
    CGRect spanBounds(CGRect frame, const Ref<UICollectionView>& collectionView) const;
    bool isVertical() const { return scrollDirection() == UICollectionViewScrollDirection::Vertical; }

    RSCollectionViewRoundFlowLayoutSwiftAlignmentType alignmentType_ = RSCollectionViewRoundFlowLayoutSwiftAlignmentType::system;
    bool isRoundEnabled_ = true;
    bool isCalculateHeader_ = false;
    bool isCalculateFooter_ = false;
    bool isCalculateTypeOpenIrregularitiesCell_ = false;
    bool isCanCalculateWhenRowEmpty_ = false;
    std::vector<Ref<UICollectionViewLayoutAttributes>> decorationViewAttrs_;
};
