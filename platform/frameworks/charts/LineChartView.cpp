#include "frameworks/charts/LineChartView.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "frameworks/charts/ChartUtils.h"
#include "frameworks/charts/Fill.h"
#include "graphics/NSStringDrawing.h"

// --- View ---

void LineChartView::didCreate() {
    ChartViewBase::didCreate();
    setRenderer(make<LineChartRenderer>(self<LineChartView>(), chartAnimator(), viewPortHandler()));
}

void LineChartView::dataDidChange() {
    std::vector<Legend::Entry> legendEntries;
    if (auto chartData = data())
        for (const auto& set : chartData->dataSets())
            if (set) legendEntries.push_back({set->label(), Legend::Form::Default, set->colorAtIndex(0)});
    legend()->setEntries(std::move(legendEntries));
    computeAxes();
}

void LineChartView::computeAxes() {
    auto chartData = data();
    if (!chartData || chartData->isEmpty()) return;
    xAxis_->computeAxis(chartData->xMin(), chartData->xMax());
    // Each y axis spans the data sets that depend on it, or all of them when none does.
    for (const auto& axis : {leftAxis_, rightAxis_}) {
        std::vector<Ref<ChartDataSet>> sets;
        for (const auto& set : chartData->dataSets())
            if (set && set->axisDependency() == axis->axisDependency()) sets.push_back(set);
        ChartData dependent(sets.empty() ? chartData->dataSets() : sets);
        axis->computeAxis(dependent.yMin(), dependent.yMax());
    }
}

CGFloat LineChartView::yAxisWidth(const Ref<YAxis>& axis) const {
    if (!axis->isEnabled() || !axis->isDrawLabelsEnabled()) return 0;
    CGFloat widest = 0;
    for (double value : axis->entries())
        widest = std::max(widest, NSStringDrawing::sizeWithAttributes(axis->labelForValue(value), {.font = axis->labelFont()}).width);
    return widest + 2 * axis->xOffset();
}

UIEdgeInsets LineChartView::calculateOffsets() const {
    UIEdgeInsets offsets{extraTopOffset(), extraLeftOffset() + yAxisWidth(leftAxis_),
                         extraBottomOffset() + legendHeight(), extraRightOffset() + yAxisWidth(rightAxis_)};
    if (xAxis_->isEnabled() && xAxis_->isDrawLabelsEnabled()) {
        CGFloat labels = ChartUtils::lineHeight(xAxis_->labelFont()) + xAxis_->yOffset();
        if (xAxis_->labelPosition() == XAxis::LabelPosition::Top) offsets.top += labels;
        else if (xAxis_->labelPosition() == XAxis::LabelPosition::Bottom) offsets.bottom += labels;
        else if (xAxis_->labelPosition() == XAxis::LabelPosition::BothSided) {
            offsets.top += labels;
            offsets.bottom += labels;
        }
    }
    CGFloat floor = minOffset();
    return {std::max(floor, offsets.top), std::max(floor, offsets.left), std::max(floor, offsets.bottom),
            std::max(floor, offsets.right)};
}

CGPoint LineChartView::pixelForValues(double x, double y, AxisDependency side) const {
    CGRect content = viewPortHandler()->contentRect();
    const auto& yAxis = axis(side);
    double xRange = xAxis_->axisRange(), yRange = yAxis->axisRange();
    CGFloat px = content.origin.x + (xRange > 0 ? (x - xAxis_->axisMinimum()) / xRange : 0.5) * content.size.width;
    CGFloat py = CGRectGetMaxY(content) - (yRange > 0 ? (y - yAxis->axisMinimum()) / yRange : 0.5) * content.size.height;
    return {px, py};
}

std::optional<Highlight> LineChartView::highlightForTouch(CGPoint point) {
    auto chartData = data();
    if (!chartData) return std::nullopt;
    std::optional<Highlight> best;
    CGFloat bestDx = std::numeric_limits<CGFloat>::infinity(), bestDistance = bestDx;
    for (long s = 0; s < chartData->dataSetCount(); ++s) {
        auto set = chartData->dataSetAtIndex(s);
        if (!set) continue;
        for (long j = 0; j < set->entryCount(); ++j) {
            auto entry = set->entryForIndex(j);
            if (!entry) continue;
            CGPoint pixel = pixelForValues(entry->x(), entry->y(), set->axisDependency());
            CGFloat dx = std::abs(pixel.x - point.x);
            CGFloat distance = std::hypot(pixel.x - point.x, pixel.y - point.y);
            // Nearest by x first; among entries at the same x, nearest overall.
            if (dx < bestDx - 1e-9 || (std::abs(dx - bestDx) <= 1e-9 && distance < bestDistance)) {
                bestDx = dx;
                bestDistance = distance;
                best = Highlight{entry->x(), entry->y(), s, j, pixel};
            }
        }
    }
    if (!best || bestDistance > maxHighlightDistance_) return std::nullopt;
    return best;
}

CGPoint LineChartView::markerPosition(const Highlight& highlight) const {
    auto chartData = data();
    auto set = chartData ? chartData->dataSetAtIndex(highlight.dataSetIndex) : nullptr;
    return set ? pixelForValues(highlight.x, highlight.y, set->axisDependency()) : highlight.drawPoint;
}

void LineChartView::drawGridLines(const CGContextRef& context) const {
    CGRect content = viewPortHandler()->contentRect();
    CGContextSaveGState(context);
    CGContextSetLineWidth(context, 0.5);
    if (xAxis_->isEnabled() && xAxis_->isDrawGridLinesEnabled()) {
        CGContextSetStrokeColorWithColor(context, xAxis_->gridColor());
        for (double value : xAxis_->entries()) {
            CGFloat x = pixelForValues(value, 0, AxisDependency::Left).x;
            CGContextMoveToPoint(context, x, CGRectGetMinY(content));
            CGContextAddLineToPoint(context, x, CGRectGetMaxY(content));
        }
        CGContextStrokePath(context);
    }
    for (const auto& yAxis : {leftAxis_, rightAxis_}) {
        if (!yAxis->isEnabled() || !yAxis->isDrawGridLinesEnabled()) continue;
        CGContextSetStrokeColorWithColor(context, yAxis->gridColor());
        for (double value : yAxis->entries()) {
            CGFloat y = pixelForValues(0, value, yAxis->axisDependency()).y;
            CGContextMoveToPoint(context, CGRectGetMinX(content), y);
            CGContextAddLineToPoint(context, CGRectGetMaxX(content), y);
        }
        CGContextStrokePath(context);
    }
    CGContextRestoreGState(context);
}

void LineChartView::drawAxisLinesAndLabels(const CGContextRef& context) const {
    CGRect content = viewPortHandler()->contentRect();
    CGContextSaveGState(context);
    CGContextSetLineWidth(context, 0.5);
    if (xAxis_->isEnabled()) {
        bool top = xAxis_->labelPosition() == XAxis::LabelPosition::Top;
        CGFloat edge = top ? CGRectGetMinY(content) : CGRectGetMaxY(content);
        if (xAxis_->isDrawAxisLineEnabled()) {
            CGContextSetStrokeColorWithColor(context, xAxis_->axisLineColor());
            CGContextMoveToPoint(context, CGRectGetMinX(content), edge);
            CGContextAddLineToPoint(context, CGRectGetMaxX(content), edge);
            CGContextStrokePath(context);
        }
        if (xAxis_->isDrawLabelsEnabled()) {
            CGFloat lineHeight = ChartUtils::lineHeight(xAxis_->labelFont());
            CGFloat y = top ? edge - xAxis_->yOffset() - lineHeight : edge + xAxis_->yOffset();
            for (double value : xAxis_->entries()) {
                std::string text = xAxis_->labelForValue(value);
                if (text.empty()) continue;
                ChartUtils::drawText(context, text, {pixelForValues(value, 0, AxisDependency::Left).x, y},
                                     NSTextAlignment::Center,
                                     {.font = xAxis_->labelFont(), .foregroundColor = xAxis_->labelTextColor()});
            }
        }
    }
    for (const auto& yAxis : {leftAxis_, rightAxis_}) {
        if (!yAxis->isEnabled()) continue;
        bool left = yAxis->axisDependency() == AxisDependency::Left;
        CGFloat edge = left ? CGRectGetMinX(content) : CGRectGetMaxX(content);
        if (yAxis->isDrawAxisLineEnabled()) {
            CGContextSetStrokeColorWithColor(context, yAxis->axisLineColor());
            CGContextMoveToPoint(context, edge, CGRectGetMinY(content));
            CGContextAddLineToPoint(context, edge, CGRectGetMaxY(content));
            CGContextStrokePath(context);
        }
        if (!yAxis->isDrawLabelsEnabled()) continue;
        CGFloat lineHeight = ChartUtils::lineHeight(yAxis->labelFont());
        for (double value : yAxis->entries()) {
            CGFloat y = pixelForValues(0, value, yAxis->axisDependency()).y - lineHeight / 2;
            ChartUtils::drawText(context, yAxis->labelForValue(value),
                                 {left ? edge - yAxis->xOffset() : edge + yAxis->xOffset(), y},
                                 left ? NSTextAlignment::Right : NSTextAlignment::Left,
                                 {.font = yAxis->labelFont(), .foregroundColor = yAxis->labelTextColor()});
        }
    }
    CGContextRestoreGState(context);
}

void LineChartView::drawChart(const CGContextRef& context) {
    drawGridLines(context);
    auto painter = renderer();
    if (painter) {
        CGContextSaveGState(context);
        CGContextClipToRect(context, viewPortHandler()->contentRect());
        painter->drawData(context);
        CGContextRestoreGState(context);
    }
    drawAxisLinesAndLabels(context);
    if (!painter) return;
    painter->drawHighlighted(context, highlighted());
    painter->drawExtras(context);
    painter->drawValues(context);
}

// --- Renderer ---

LineChartRenderer::LineChartRenderer(const Ref<LineChartView>& chart, Ref<Animator> animator,
                                     Ref<ViewPortHandler> viewPortHandler)
    : DataRenderer(std::move(animator), std::move(viewPortHandler)), chart_(chart) {}

namespace {

// The entries of the set that the animation shows, with where they are drawn.
std::vector<std::pair<long, CGPoint>> shownPoints(const LineChartView& chart, const ChartDataSet& set, double phaseX) {
    std::vector<std::pair<long, CGPoint>> points;
    long shown = static_cast<long>(std::ceil(static_cast<double>(set.entryCount()) * phaseX));
    for (long j = 0; j < shown; ++j)
        if (auto entry = set.entryForIndex(j))
            points.emplace_back(j, chart.pixelForValues(entry->x(), entry->y(), set.axisDependency()));
    return points;
}

template <class Draw> void forEachLineSet(const Ref<LineChartView>& chart, Draw draw) {
    auto chartData = chart ? chart->data() : nullptr;
    if (!chartData) return;
    for (const auto& set : chartData->dataSets())
        if (auto line = cast<LineChartDataSet>(set)) draw(*line);
}

}  // namespace

void LineChartRenderer::drawData(const CGContextRef& context) {
    auto chart = chart_.lock();
    forEachLineSet(chart, [&](const LineChartDataSet& set) { drawDataSet(context, *chart, set); });
}

void LineChartRenderer::drawDataSet(const CGContextRef& context, const LineChartView& chart,
                                    const LineChartDataSet& set) const {
    auto points = shownPoints(chart, set, animator()->phaseX());
    if (points.empty()) return;
    if (set.isDrawFilledEnabled()) {
        // Down to zero when the axis crosses it, else to the axis's end nearest to it.
        const auto& yAxis = chart.axis(set.axisDependency());
        double level = std::clamp(0.0, yAxis->axisMinimum(), yAxis->axisMaximum());
        CGFloat base = chart.pixelForValues(0, level, set.axisDependency()).y;
        CGContextSaveGState(context);
        CGContextMoveToPoint(context, points.front().second.x, base);
        for (const auto& [index, point] : points) CGContextAddLineToPoint(context, point.x, point.y);
        CGContextAddLineToPoint(context, points.back().second.x, base);
        CGContextClosePath(context);
        CGContextSetAlpha(context, set.fillAlpha());
        auto fill = set.fill() ? set.fill() : Fill::fillWithColor(set.fillColor());
        fill->fillPath(context, viewPortHandler()->contentRect());
        CGContextRestoreGState(context);
    }
    if (set.lineWidth() > 0 && points.size() > 1) {
        CGContextSaveGState(context);
        CGContextSetStrokeColorWithColor(context, set.colorAtIndex(0));
        CGContextSetLineWidth(context, set.lineWidth());
        CGContextSetLineJoin(context, kCGLineJoinRound);
        CGContextMoveToPoint(context, points.front().second.x, points.front().second.y);
        for (std::size_t i = 1; i < points.size(); ++i)
            CGContextAddLineToPoint(context, points[i].second.x, points[i].second.y);
        CGContextStrokePath(context);
        CGContextRestoreGState(context);
    }
}

void LineChartRenderer::drawExtras(const CGContextRef& context) {
    auto chart = chart_.lock();
    forEachLineSet(chart, [&](const LineChartDataSet& set) {
        if (!set.isDrawCirclesEnabled()) return;
        for (const auto& [index, point] : shownPoints(*chart, set, animator()->phaseX())) {
            CGFloat r = set.circleRadius();
            CGContextSetFillColorWithColor(context, set.circleColorAtIndex(index));
            CGContextFillEllipseInRect(context, {{point.x - r, point.y - r}, {2 * r, 2 * r}});
            CGFloat hole = set.circleHoleRadius();
            if (!set.isDrawCircleHoleEnabled() || hole <= 0 || hole >= r) continue;
            CGContextSetFillColorWithColor(context, set.circleHoleColor());
            CGContextFillEllipseInRect(context, {{point.x - hole, point.y - hole}, {2 * hole, 2 * hole}});
        }
    });
}

void LineChartRenderer::drawValues(const CGContextRef& context) {
    auto chart = chart_.lock();
    long setIndex = 0;
    forEachLineSet(chart, [&](const LineChartDataSet& set) {
        long index = setIndex++;
        if (!set.isDrawValuesEnabled() || !set.valueFormatter()) return;
        CGFloat lineHeight = ChartUtils::lineHeight(set.valueFont());
        CGFloat lift = (set.isDrawCirclesEnabled() ? set.circleRadius() : 0) * 1.75 + lineHeight;
        for (const auto& [j, point] : shownPoints(*chart, set, animator()->phaseX())) {
            auto entry = set.entryForIndex(j);
            std::string text = set.valueFormatter()->stringForValue(entry->y(), entry, index, viewPortHandler());
            ChartUtils::drawText(context, text, {point.x, point.y - lift}, NSTextAlignment::Center,
                                 {.font = set.valueFont(), .foregroundColor = set.valueTextColorAt(j)});
        }
    });
}

void LineChartRenderer::drawHighlighted(const CGContextRef& context, const std::vector<Highlight>& highlights) {
    auto chart = chart_.lock();
    auto chartData = chart ? chart->data() : nullptr;
    if (!chartData) return;
    CGRect content = viewPortHandler()->contentRect();
    for (const auto& highlight : highlights) {
        auto set = cast<LineChartDataSet>(chartData->dataSetAtIndex(highlight.dataSetIndex));
        if (!set) continue;
        CGPoint at = chart->pixelForValues(highlight.x, highlight.y, set->axisDependency());
        CGContextSaveGState(context);
        CGContextSetStrokeColorWithColor(context, set->highlightColor());
        CGContextSetLineWidth(context, 1);
        CGContextMoveToPoint(context, at.x, CGRectGetMinY(content));
        CGContextAddLineToPoint(context, at.x, CGRectGetMaxY(content));
        CGContextMoveToPoint(context, CGRectGetMinX(content), at.y);
        CGContextAddLineToPoint(context, CGRectGetMaxX(content), at.y);
        CGContextStrokePath(context);
        CGContextRestoreGState(context);
    }
}
