#include "frameworks/charts/PieChartView.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "frameworks/charts/ChartUtils.h"
#include "uikit/UIPanGestureRecognizer.h"

namespace {

CGFloat radians(CGFloat degrees) { return degrees * std::numbers::pi / 180; }

CGFloat normalisedDegrees(CGFloat degrees) {
    CGFloat result = std::fmod(degrees, 360);
    return result < 0 ? result + 360 : result;
}

}  // namespace

// --- View ---

void PieChartView::didCreate() {
    ChartViewBase::didCreate();
    setMinOffset(0);
    setRotationEnabled(true);
    setRenderer(make<PieChartRenderer>(self<PieChartView>(), chartAnimator(), viewPortHandler()));
}

void PieChartView::setRotationAngle(CGFloat degrees) {
    rotationAngle_ = normalisedDegrees(degrees);
    setNeedsDisplay();
}

void PieChartView::setRotationEnabled(bool enabled) {
    rotationEnabled_ = enabled;
    if (enabled && !rotationRecognizer_) {
        rotationRecognizer_ = make<UIPanGestureRecognizer>(self<PieChartView>(), &PieChartView::rotate);
        addGestureRecognizer(rotationRecognizer_);
    } else if (!enabled && rotationRecognizer_) {
        removeGestureRecognizer(rotationRecognizer_);
        rotationRecognizer_.reset();
    }
}

CGFloat PieChartView::angleForPoint(CGPoint point) const {
    CGPoint centre = centerCircleBox();
    return normalisedDegrees(std::atan2(point.y - centre.y, point.x - centre.x) * 180 / std::numbers::pi);
}

void PieChartView::rotate(const Ref<UIPanGestureRecognizer>& recognizer) {
    prepareForDrawing();
    CGFloat angle = angleForPoint(recognizer->locationInView(self<UIView>()));
    if (recognizer->state() == UIGestureRecognizerState::Began) {
        rotationAtPanStart_ = rotationAngle_;
        angleAtPanStart_ = angle;
    } else if (recognizer->state() == UIGestureRecognizerState::Changed ||
               recognizer->state() == UIGestureRecognizerState::Ended) {
        setRotationAngle(rotationAtPanStart_ + angle - angleAtPanStart_);
    }
}

UIEdgeInsets PieChartView::calculateOffsets() const {
    CGFloat floor = minOffset();
    return {std::max(floor, extraTopOffset()), std::max(floor, extraLeftOffset()),
            std::max(floor, legendHeight() + extraBottomOffset()), std::max(floor, extraRightOffset())};
}

void PieChartView::didLayOutViewPort() {
    CGRect content = viewPortHandler()->contentRect();
    CGFloat diameter = std::min(content.size.width, content.size.height);
    CGFloat shift = 0;
    if (auto data = pieData())
        if (auto set = data->dataSet()) shift = set->selectionShift();
    shift = std::min(shift, diameter / 2);
    CGPoint centre = viewPortHandler()->contentCenter();
    CGFloat side = std::min(diameter - 2 * shift, 2 * radiusLeavingRoomForOutsideLabels(centre));
    circleBox_ = {{centre.x - side / 2, centre.y - side / 2}, {side, side}};
}

// Entry labels drawn outside the slices sit beyond their leader lines, which
// grow with the radius: a label on the side runs out to
// labelRadius x ((1 + part 1) |cos| + part 2 (|sin| when variable)) + 5 +
// its width from the centre, one above or below to
// labelRadius x (1 + part 1) + a line. The largest radius that keeps the
// widest label inside the view's bounds (above the legend, 5 from the sides)
// at any angle, since the pie may turn.
CGFloat PieChartView::radiusLeavingRoomForOutsideLabels(CGPoint centre) const {
    constexpr CGFloat unlimited = 1e9;
    auto data = pieData();
    auto set = data ? data->dataSet() : nullptr;
    if (!set || !drawEntryLabels_ || set->xValuePosition() != PieChartDataSet::ValuePosition::OutsideSlice)
        return unlimited;
    UIFont font = set->entryLabelFont().value_or(entryLabelFont_);
    CGFloat widest = 0;
    for (long j = 0; j < set->entryCount(); ++j) {
        auto slice = cast<PieChartDataEntry>(set->entryForIndex(j));
        if (!slice || slice->label().empty()) continue;
        widest = std::max(widest, ChartUtils::textFrame(slice->label(), {}, NSTextAlignment::Left, {.font = font})
                                      .size.width);
    }
    if (widest == 0) return unlimited;
    // labelRadius as a share of the radius (the renderers' rule).
    CGFloat labelShare = drawHole_ ? 1 - (1 - holeRadiusPercent_) / 2 : 0.7;
    CGFloat out = 1 + set->valueLinePart1Length(), across = set->valueLinePart2Length();
    CGFloat sideways = labelShare * (set->valueLineVariableLength() ? std::hypot(out, across) : out + across);
    CGRect box = bounds();
    // 5 between a leader line and its text, as the renderers draw it, and
    // as much again between the text and the view's edge.
    CGFloat room = std::min(centre.x - CGRectGetMinX(box), CGRectGetMaxX(box) - centre.x) - 10 - widest;
    CGFloat floorLine = CGRectGetMaxY(box) - legendHeight() - extraBottomOffset();
    CGFloat headroom = std::min(centre.y - CGRectGetMinY(box), floorLine - centre.y) - ChartUtils::lineHeight(font);
    CGFloat limit = std::min(room / sideways, headroom / (labelShare * out));
    return std::max(limit, 0.0);
}

void PieChartView::dataDidChange() {
    drawAngles_.clear();
    absoluteAngles_.clear();
    std::vector<Legend::Entry> legendEntries;
    auto data = pieData();
    auto set = data ? data->dataSet() : nullptr;
    if (set) {
        double sum = data->yValueSum();
        CGFloat running = 0;
        for (long j = 0; j < set->entryCount(); ++j) {
            auto entry = set->entryForIndex(j);
            double value = entry ? std::abs(entry->y()) : 0;
            CGFloat angle = sum != 0 ? static_cast<CGFloat>(value / std::abs(sum) * 360) : 0;
            drawAngles_.push_back(angle);
            running += angle;
            absoluteAngles_.push_back(running);
            auto slice = cast<PieChartDataEntry>(entry);
            legendEntries.push_back({slice ? slice->label() : "", Legend::Form::Default, set->colorAtIndex(j)});
        }
    }
    legend()->setEntries(std::move(legendEntries));
}

std::optional<Highlight> PieChartView::highlightForTouch(CGPoint point) {
    auto data = pieData();
    auto set = data ? data->dataSet() : nullptr;
    if (!set) return std::nullopt;
    CGPoint centre = centerCircleBox();
    CGFloat distance = std::hypot(point.x - centre.x, point.y - centre.y);
    if (distance > radius() || (drawHole_ && distance < radius() * holeRadiusPercent_)) return std::nullopt;
    CGFloat angle = normalisedDegrees(angleForPoint(point) - rotationAngle_);
    for (long j = 0; j < static_cast<long>(absoluteAngles_.size()); ++j) {
        if (absoluteAngles_[static_cast<std::size_t>(j)] <= angle) continue;
        auto entry = set->entryForIndex(j);
        if (!entry) return std::nullopt;
        CGFloat middle = rotationAngle_ + absoluteAngles_[static_cast<std::size_t>(j)] -
                         drawAngles_[static_cast<std::size_t>(j)] / 2;
        CGFloat markerRadius = radius() * 2 / 3;
        CGPoint drawPoint{centre.x + markerRadius * std::cos(radians(middle)),
                          centre.y + markerRadius * std::sin(radians(middle))};
        return Highlight{static_cast<double>(j), entry->y(), 0, j, drawPoint};
    }
    return std::nullopt;
}

void PieChartView::drawChart(const CGContextRef& context) {
    auto painter = renderer();
    if (!painter) return;
    painter->drawData(context);
    painter->drawExtras(context);
    painter->drawValues(context);
}

// --- Renderer ---

PieChartRenderer::PieChartRenderer(const Ref<PieChartView>& chart, Ref<Animator> animator,
                                   Ref<ViewPortHandler> viewPortHandler)
    : DataRenderer(std::move(animator), std::move(viewPortHandler)), chart_(chart) {}

CGFloat PieChartRenderer::getSliceSpace(const Ref<PieChartDataSet>& dataSet) const {
    auto pie = chart();
    if (!dataSet || !pie || dataSet->sliceSpace() <= 0) return 0;
    auto data = pie->pieData();
    double sum = data ? data->yValueSum() : 0;
    CGFloat radius = pie->radius();
    // A slice narrower at the rim than the gap gets no gap.
    for (const auto& entry : dataSet->entries()) {
        if (!entry || sum == 0) continue;
        CGFloat arc = static_cast<CGFloat>(std::abs(entry->y()) / std::abs(sum)) * 2 * std::numbers::pi * radius;
        if (arc < dataSet->sliceSpace()) return 0;
    }
    return dataSet->sliceSpace();
}

void PieChartRenderer::drawData(const CGContextRef& context) {
    auto pie = chart();
    auto data = pie ? pie->pieData() : nullptr;
    auto set = data ? data->dataSet() : nullptr;
    if (!set) return;
    CGPoint centre = pie->centerCircleBox();
    CGFloat radius = pie->radius();
    CGFloat phaseX = animator()->phaseX(), phaseY = animator()->phaseY();
    CGFloat space = getSliceSpace(set);
    const auto& drawAngles = pie->drawAngles();
    std::optional<long> selected;
    if (!pie->highlighted().empty()) selected = pie->highlighted().front().entryIndex;

    CGFloat angle = 0;
    for (long j = 0; j < static_cast<long>(drawAngles.size()); ++j) {
        CGFloat sliceAngle = drawAngles[static_cast<std::size_t>(j)];
        if (sliceAngle > 0) {
            CGFloat outer = radius + (selected == j ? set->selectionShift() : 0);
            // The gap between slices taken off each side of the slice, at the rim.
            CGFloat gapAngle = space > 0 ? space / (outer * std::numbers::pi / 180) / 2 : 0;
            CGFloat start = pie->rotationAngle() + (angle + gapAngle) * phaseY;
            CGFloat sweep = std::max<CGFloat>(0, (sliceAngle - 2 * gapAngle) * phaseY);
            CGContextSetFillColorWithColor(context, set->colorAtIndex(j));
            CGContextMoveToPoint(context, centre.x, centre.y);
            if (sweep >= 360 - 1e-9) {
                CGContextAddEllipseInRect(context, {{centre.x - outer, centre.y - outer}, {2 * outer, 2 * outer}});
            } else {
                CGContextAddArc(context, centre.x, centre.y, outer, radians(start), radians(start + sweep), 0);
                CGContextClosePath(context);
            }
            CGContextFillPath(context);
        }
        angle += sliceAngle * phaseX;
    }
}

void PieChartRenderer::drawExtras(const CGContextRef& context) {
    auto pie = chart();
    if (!pie || !pie->isDrawHoleEnabled()) return;
    CGPoint centre = pie->centerCircleBox();
    CGFloat radius = pie->radius();
    auto circle = [&](CGFloat percent, UIColor colour) {
        CGFloat r = radius * percent;
        CGContextSetFillColorWithColor(context, colour);
        CGContextFillEllipseInRect(context, {{centre.x - r, centre.y - r}, {2 * r, 2 * r}});
    };
    if (pie->transparentCircleRadiusPercent() > pie->holeRadiusPercent())
        circle(pie->transparentCircleRadiusPercent(), pie->transparentCircleColor());
    circle(pie->holeRadiusPercent(), pie->holeColor());
}

void PieChartRenderer::drawValues(const CGContextRef& context) {
    auto pie = chart();
    auto data = pie ? pie->pieData() : nullptr;
    auto set = data ? data->dataSet() : nullptr;
    if (!set || !set->valueFormatter()) return;
    CGPoint centre = pie->centerCircleBox();
    CGFloat radius = pie->radius();
    CGFloat labelRadius = pie->isDrawHoleEnabled() ? radius - (radius - radius * pie->holeRadiusPercent()) / 2
                                                   : radius - radius / 10 * 3;
    bool drawValues = set->isDrawValuesEnabled() && set->yValuePosition() == PieChartDataSet::ValuePosition::InsideSlice;
    bool drawLabels = pie->isDrawEntryLabelsEnabled() &&
                      set->xValuePosition() == PieChartDataSet::ValuePosition::InsideSlice;
    if (!drawValues && !drawLabels) return;
    UIFont labelFont = set->entryLabelFont().value_or(pie->entryLabelFont());
    UIColor labelColour = set->entryLabelColor().value_or(pie->entryLabelColor());
    CGFloat valueLH = ChartUtils::lineHeight(set->valueFont());
    double sum = data->yValueSum();
    const auto& drawAngles = pie->drawAngles();
    const auto& absoluteAngles = pie->absoluteAngles();
    for (long j = 0; j < static_cast<long>(drawAngles.size()); ++j) {
        auto entry = set->entryForIndex(j);
        if (!entry) continue;
        CGFloat start = j == 0 ? 0 : absoluteAngles[static_cast<std::size_t>(j - 1)] * animator()->phaseX();
        CGFloat middle = pie->rotationAngle() + (start + drawAngles[static_cast<std::size_t>(j)] / 2) * animator()->phaseY();
        CGPoint at{centre.x + labelRadius * std::cos(radians(middle)), centre.y + labelRadius * std::sin(radians(middle))};
        double value = pie->isUsePercentValuesEnabled() && sum != 0 ? entry->y() / sum * 100 : entry->y();
        std::string valueText = set->valueFormatter()->stringForValue(value, entry, 0, viewPortHandler());
        auto slice = cast<PieChartDataEntry>(entry);
        std::string label = slice ? slice->label() : "";
        bool withLabel = drawLabels && !label.empty();
        CGFloat top = at.y - (drawValues && withLabel ? valueLH : valueLH / 2);
        if (drawValues)
            ChartUtils::drawText(context, valueText, {at.x, top}, NSTextAlignment::Center,
                                 {.font = set->valueFont(), .foregroundColor = set->valueTextColorAt(j)});
        if (withLabel)
            ChartUtils::drawText(context, label, {at.x, drawValues ? top + valueLH : top}, NSTextAlignment::Center,
                                 {.font = labelFont, .foregroundColor = labelColour});
        if (entry->icon() && set->isDrawIconsEnabled())
            ChartUtils::drawImage(context, entry->icon(),
                                  {centre.x + (labelRadius + set->iconsOffset().y) * std::cos(radians(middle)),
                                   centre.y + (labelRadius + set->iconsOffset().y) * std::sin(radians(middle)) +
                                       set->iconsOffset().x});
    }
}
