#include "frameworks/charts/ChartViewBase.h"

#include <algorithm>

#include "frameworks/charts/ChartUtils.h"
#include "graphics/UIGraphics.h"
#include "uikit/CALayer.h"

void ChartViewBase::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::clearColor());
}

void ChartViewBase::setData(const Ref<ChartData>& data) {
    data_ = data;
    highlighted_.clear();
    notifyDataSetChanged();
}

void ChartViewBase::notifyDataSetChanged() {
    dataDidChange();
    setNeedsDisplay();
}

void ChartViewBase::highlightValue(std::optional<Highlight> highlight, bool callDelegate) {
    Ref<ChartDataEntry> entry;
    if (highlight && data_)
        if (auto set = data_->dataSetAtIndex(highlight->dataSetIndex)) entry = set->entryForIndex(highlight->entryIndex);
    if (!entry) highlight.reset();
    highlighted_.clear();
    if (highlight) highlighted_.push_back(*highlight);
    if (highlight && marker_) marker_->refreshContent(entry, *highlight);
    setNeedsDisplay();
    if (!callDelegate) return;
    auto listener = delegate();
    if (!listener) return;
    Ref<ChartViewBase> me = self<ChartViewBase>();
    if (highlight) listener->chartValueSelected(me, entry, *highlight);
    else listener->chartValueNothingSelected(me);
}

bool ChartViewBase::handleTapAt(CGPoint point) {
    if (!highlightPerTap_ || !data_ || data_->isEmpty()) return UIView::handleTapAt(point);
    prepareForDrawing();
    std::optional<Highlight> touched = highlightForTouch(point);
    if (touched && !highlighted_.empty() && highlighted_.front() == *touched) touched.reset();
    highlightValue(touched, true);
    return true;
}

CGFloat ChartViewBase::legendHeight() const {
    if (!legend_->takesRoom()) return 0;
    return legend_->layout(bounds().size.width - 2 * legend_->xOffset()).height + legend_->yOffset();
}

void ChartViewBase::prepareForDrawing() {
    // Settings may have changed since the data came (an axis's formatter or granularity).
    dataDidChange();
    CGSize size = bounds().size;
    viewPortHandler_->setChartDimens(size.width, size.height);
    UIEdgeInsets offsets = calculateOffsets();
    viewPortHandler_->restrainViewPort(offsets.left, offsets.top, offsets.right, offsets.bottom);
    didLayOutViewPort();
}

void ChartViewBase::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    if (!data_ || data_->isEmpty()) {
        drawNoData(context);
        return;
    }
    prepareForDrawing();
    drawChart(context);
    if (legend_->takesRoom()) {
        CGFloat height = legendHeight() - legend_->yOffset();
        CGRect area{{legend_->xOffset(), bounds().size.height - legend_->yOffset() - height},
                    {bounds().size.width - 2 * legend_->xOffset(), height}};
        legend_->draw(context, area);
    }
    drawDescription(context);
    drawMarkers(context);
}

void ChartViewBase::drawNoData(const CGContextRef& context) const {
    if (noDataText_.empty()) return;
    CGFloat top = bounds().size.height / 2 - ChartUtils::lineHeight(noDataFont_) / 2;
    ChartUtils::drawText(context, noDataText_, {bounds().size.width / 2, top}, NSTextAlignment::Center,
                         {.font = noDataFont_, .foregroundColor = noDataTextColor_});
}

void ChartViewBase::drawDescription(const CGContextRef& context) const {
    if (!description_->isEnabled() || description_->text().empty()) return;
    CGFloat top = bounds().size.height - viewPortHandler_->offsetBottom() - 10 - description_->font().lineHeight();
    ChartUtils::drawText(context, description_->text(), {bounds().size.width - viewPortHandler_->offsetRight() - 10, top},
                         NSTextAlignment::Right, {.font = description_->font(), .foregroundColor = description_->textColor()});
}

void ChartViewBase::drawMarkers(const CGContextRef& context) {
    if (!marker_ || !drawMarkers_) return;
    for (const auto& highlight : highlighted_) marker_->draw(context, markerPosition(highlight));
}

// --- Marker view ---

CGPoint MarkerView::offsetForDrawingAtPoint(CGPoint point) const {
    CGPoint offset = offset_;
    CGSize size = bounds().size;
    auto chart = chartView();
    if (point.x + offset.x < 0) offset.x = -point.x;
    else if (chart && point.x + size.width + offset.x > chart->bounds().size.width)
        offset.x = chart->bounds().size.width - point.x - size.width;
    if (point.y + offset.y < 0) offset.y = -point.y;
    else if (chart && point.y + size.height + offset.y > chart->bounds().size.height)
        offset.y = chart->bounds().size.height - point.y - size.height;
    return offset;
}

void MarkerView::draw(const CGContextRef& context, CGPoint point) {
    CGPoint offset = offsetForDrawingAtPoint(point);
    layoutIfNeeded();
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, point.x + offset.x, point.y + offset.y);
    layer()->renderInContext(context);
    CGContextRestoreGState(context);
}
