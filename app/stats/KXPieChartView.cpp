#include "app/stats/KXPieChartView.h"

#include <cmath>
#include <numbers>

#include "frameworks/charts/ChartUtils.h"

void KXPieChartView::didCreate() {
    PieChartView::didCreate();
    setRenderer(make<KXPieChartRenderer>(self<KXPieChartView>(), chartAnimator(), viewPortHandler()));
}

CGRect KXPieValueText::frame() const { return ChartUtils::textFrame(text, point, alignment, attributes); }

namespace {

CGFloat radians(CGFloat degrees) { return degrees * std::numbers::pi / 180; }

// Anchor and placed y of each entry of one side; an anchor of 0 marks a
// free slot (so an anchor of exactly 0 is never found as a neighbour).
struct SidePlacement {
    std::vector<CGFloat> anchors;
    std::vector<CGFloat> placed;
    // Vertical extents of the texts placed on this side so far.
    std::vector<std::pair<CGFloat, CGFloat>> taken;

    explicit SidePlacement(long count)
        : anchors(static_cast<std::size_t>(count), 0), placed(static_cast<std::size_t>(count), 0) {}

    std::optional<std::size_t> nearest(CGFloat anchorY) const {
        std::optional<std::size_t> found;
        for (std::size_t k = 0; k < anchors.size(); ++k) {
            if (anchors[k] == 0) continue;
            if (!found || std::abs(anchors[k] - anchorY) < std::abs(anchors[*found] - anchorY)) found = k;
        }
        return found;
    }
};

}  // namespace

std::vector<KXPieSliceValues> KXPieChartRenderer::layOutValues() const {
    std::vector<KXPieSliceValues> slices;
    auto pie = chart();
    auto data = pie ? pie->pieData() : nullptr;
    if (!data) return slices;

    const CGPoint centre = pie->centerCircleBox();
    const CGFloat radius = pie->radius();
    const CGFloat rotation = pie->rotationAngle();
    const auto& drawAngles = pie->drawAngles();
    const auto& absoluteAngles = pie->absoluteAngles();
    const bool drawHole = pie->isDrawHoleEnabled();
    const CGFloat holePercent = pie->holeRadiusPercent();
    const bool drawEntryLabels = pie->isDrawEntryLabelsEnabled();
    const double sum = data->yValueSum();
    const double phaseX = animator()->phaseX(), phaseY = animator()->phaseY();

    const CGFloat labelRadiusOffset = drawHole ? (radius - radius * holePercent) / 2 : radius / 10 * 3;
    const CGFloat labelRadius = radius - labelRadiusOffset;

    std::size_t xIndex = 0;
    for (long i = 0; i < data->dataSetCount(); ++i) {
        auto set = cast<PieChartDataSet>(data->dataSetAtIndex(i));
        if (!set) continue;
        const bool drawValues = set->isDrawValuesEnabled();
        if (!drawValues && !drawEntryLabels && !set->isDrawIconsEnabled()) continue;
        const CGPoint iconsOffset = set->iconsOffset();
        const UIFont valueFont = set->valueFont();
        const UIFont labelFont = set->entryLabelFont().value_or(pie->entryLabelFont());
        const CGFloat valueLH = ChartUtils::lineHeight(valueFont);
        const CGFloat labelLH = ChartUtils::lineHeight(labelFont);
        auto formatter = set->valueFormatter();
        if (!formatter) continue;
        SidePlacement right(set->entryCount()), left(set->entryCount());

        for (long j = 0; j < set->entryCount(); ++j) {
            auto entry = set->entryForIndex(j);
            if (!entry || xIndex >= drawAngles.size()) continue;
            CGFloat angle = xIndex == 0 ? 0 : absoluteAngles[xIndex - 1] * phaseX;
            const CGFloat sliceAngle = drawAngles[xIndex];
            const CGFloat sliceSpace = getSliceSpace(set);
            const CGFloat sliceSpaceMiddleAngle = sliceSpace / (labelRadius * std::numbers::pi / 180);
            angle += (sliceAngle - sliceSpaceMiddleAngle / 2) / 2;
            const CGFloat transformedAngle = rotation + angle * phaseY;

            const double value = pie->isUsePercentValuesEnabled() && sum != 0 ? entry->y() / sum * 100 : entry->y();
            const std::string valueText = formatter->stringForValue(value, entry, i, viewPortHandler());
            const CGFloat xb = std::cos(radians(transformedAngle)), yb = std::sin(radians(transformedAngle));
            using Position = PieChartDataSet::ValuePosition;
            const bool drawXOutside = drawEntryLabels && set->xValuePosition() == Position::OutsideSlice;
            const bool drawYOutside = drawValues && set->yValuePosition() == Position::OutsideSlice;
            const bool drawXInside = drawEntryLabels && set->xValuePosition() == Position::InsideSlice;
            const bool drawYInside = drawValues && set->yValuePosition() == Position::InsideSlice;
            const UIColor valueColor = set->valueTextColorAt(j);
            const UIColor labelColor = set->entryLabelColor().value_or(pie->entryLabelColor());
            auto slice = cast<PieChartDataEntry>(entry);
            const bool hasLabel = j < data->entryCount() && slice && !slice->label().empty();
            const std::string label = hasLabel ? slice->label() : std::string();
            const NSStringAttributes valueLook{.font = valueFont, .foregroundColor = valueColor};

            KXPieSliceValues drawn;
            drawn.entryIndex = j;
            if (drawXOutside || drawYOutside) {
                const CGFloat line1Radius = drawHole ? (radius - radius * holePercent) * set->valueLinePart1OffsetPercentage() +
                                                           radius * holePercent
                                                     : radius * set->valueLinePart1OffsetPercentage();
                const CGFloat len2 = labelRadius * set->valueLinePart2Length() *
                                     (set->valueLineVariableLength() ? std::abs(yb) : 1);
                const CGPoint pt0{line1Radius * xb + centre.x, line1Radius * yb + centre.y};
                CGPoint pt1{labelRadius * (1 + set->valueLinePart1Length()) * xb + centre.x,
                            labelRadius * (1 + set->valueLinePart1Length()) * yb + centre.y};
                const CGFloat anchorY = pt1.y;

                const CGFloat remainder = std::fmod(transformedAngle, 360);
                const bool onLeft = remainder >= 90 && remainder <= 270;
                SidePlacement& side = onLeft ? left : right;
                const CGFloat step = onLeft ? -labelLH : labelLH;
                const auto neighbour = side.nearest(anchorY);
                side.anchors[static_cast<std::size_t>(j)] = anchorY;
                CGFloat placedY = anchorY;
                if (neighbour && std::abs(side.anchors[*neighbour] - anchorY) < valueLH + labelLH)
                    placedY = side.placed[*neighbour] + step;

                // The texts' extent around placedY; past any text placed before on this side.
                const bool both = drawXOutside && drawYOutside && hasLabel;
                const CGFloat height = both ? valueLH + labelLH : (hasLabel && drawXOutside ? labelLH : valueLH);
                const CGFloat above = both ? labelLH : labelLH - valueLH / 2;
                for (bool moved = true; moved;) {
                    moved = false;
                    for (const auto& [top, bottom] : side.taken) {
                        const CGFloat myTop = placedY - above;
                        if (myTop < bottom && myTop + height > top) {
                            placedY = onLeft ? top - height + above : bottom + above;
                            moved = true;
                        }
                    }
                }
                side.placed[static_cast<std::size_t>(j)] = placedY;
                side.taken.emplace_back(placedY - above, placedY - above + height);

                pt1.y = placedY;
                const CGPoint pt2{onLeft ? pt1.x - len2 : pt1.x + len2, placedY};
                const NSTextAlignment alignment = onLeft ? NSTextAlignment::Right : NSTextAlignment::Left;
                const CGFloat textX = onLeft ? pt2.x - 5 : pt2.x + 5;
                const CGFloat textY = placedY - labelLH;

                std::optional<UIColor> lineColor =
                    set->useValueColorForLine() ? std::optional<UIColor>(set->colorAtIndex(j)) : set->valueLineColor();
                if (!lineColor) return slices;
                drawn.outside = true;
                drawn.line = std::array<CGPoint, 3>{pt0, pt1, pt2};
                drawn.lineColor = *lineColor;
                drawn.lineWidth = set->valueLineWidth();
                const NSStringAttributes labelLook{.font = labelFont, .foregroundColor = labelColor};
                if (drawXOutside && drawYOutside) {
                    drawn.texts.push_back({valueText, {textX, textY}, alignment, valueLook});
                    if (hasLabel) drawn.texts.push_back({label, {textX, textY + valueLH}, alignment, labelLook});
                } else if (drawXOutside) {
                    if (hasLabel) drawn.texts.push_back({label, {textX, textY + valueLH / 2}, alignment, labelLook});
                } else {
                    drawn.texts.push_back({valueText, {textX, textY + valueLH / 2}, alignment, valueLook});
                }
            }
            if (drawXInside || drawYInside) {
                const CGFloat x = labelRadius * xb + centre.x;
                const CGFloat y = labelRadius * yb + centre.y - valueLH;
                const NSStringAttributes insideLabelLook{.font = labelFont, .foregroundColor = labelColor};
                if (drawXInside && drawYInside) {
                    drawn.texts.push_back({valueText, {x, y}, NSTextAlignment::Center, valueLook});
                    if (hasLabel) drawn.texts.push_back({label, {x, y + valueLH}, NSTextAlignment::Center, insideLabelLook});
                } else if (drawXInside) {
                    if (hasLabel)
                        drawn.texts.push_back({label, {x, y + valueLH / 2}, NSTextAlignment::Center, insideLabelLook});
                } else {
                    drawn.texts.push_back({valueText, {x, y + valueLH / 2}, NSTextAlignment::Center, valueLook});
                }
            }
            if (entry->icon() && set->isDrawIconsEnabled()) {
                drawn.icon = entry->icon();
                drawn.iconCenter = {(labelRadius + iconsOffset.y) * xb + centre.x,
                                    (labelRadius + iconsOffset.y) * yb + centre.y + iconsOffset.x};
            }
            slices.push_back(std::move(drawn));
            ++xIndex;
        }
    }
    return slices;
}

std::vector<CGRect> KXPieChartRenderer::outsideTextFrames() const {
    std::vector<CGRect> frames;
    for (const auto& slice : layOutValues())
        if (slice.outside)
            for (const auto& text : slice.texts) frames.push_back(text.frame());
    return frames;
}

void KXPieChartRenderer::drawValues(const CGContextRef& context) {
    CGContextSaveGState(context);
    for (const auto& slice : layOutValues()) {
        if (slice.line) {
            CGContextSetStrokeColorWithColor(context, slice.lineColor);
            CGContextSetLineWidth(context, slice.lineWidth);
            CGContextMoveToPoint(context, (*slice.line)[0].x, (*slice.line)[0].y);
            CGContextAddLineToPoint(context, (*slice.line)[1].x, (*slice.line)[1].y);
            CGContextAddLineToPoint(context, (*slice.line)[2].x, (*slice.line)[2].y);
            CGContextStrokePath(context);
        }
        for (const auto& text : slice.texts)
            ChartUtils::drawText(context, text.text, text.point, text.alignment, text.attributes);
        if (slice.icon) ChartUtils::drawImage(context, slice.icon, slice.iconCenter);
    }
    CGContextRestoreGState(context);
}
