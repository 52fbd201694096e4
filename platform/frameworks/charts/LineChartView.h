#pragma once

#include "frameworks/charts/ChartViewBase.h"

// A chart of lines over an x axis (under the plot by default) and a left
// and a right y axis. The axes' ranges come from the data (the y axes with
// a tenth of the range added above and below); values map linearly onto
// the view port. A tap selects the entry nearest to it (first by x, then by
// distance) within `maxHighlightDistance` points.
//
// The data always fit the view: dragging and scaling are switches the
// chart keeps, with nothing to move at a scale of 1.
class LineChartView : public ChartViewBase {
public:
    using ChartViewBase::ChartViewBase;

    Ref<LineChartData> lineData() const { return cast<LineChartData>(data()); }
    const Ref<XAxis>& xAxis() const { return xAxis_; }
    const Ref<YAxis>& leftAxis() const { return leftAxis_; }
    const Ref<YAxis>& rightAxis() const { return rightAxis_; }
    const Ref<YAxis>& axis(AxisDependency side) const { return side == AxisDependency::Left ? leftAxis_ : rightAxis_; }

    bool isDragEnabled() const { return dragEnabled_; }
    void setDragEnabled(bool enabled) { dragEnabled_ = enabled; }
    bool isScaleXEnabled() const { return scaleXEnabled_; }
    bool isScaleYEnabled() const { return scaleYEnabled_; }
    void setScaleEnabled(bool enabled) { scaleXEnabled_ = scaleYEnabled_ = enabled; }
    bool isPinchZoomEnabled() const { return pinchZoomEnabled_; }
    void setPinchZoomEnabled(bool enabled) { pinchZoomEnabled_ = enabled; }
    bool isDoubleTapToZoomEnabled() const { return doubleTapToZoomEnabled_; }
    void setDoubleTapToZoomEnabled(bool enabled) { doubleTapToZoomEnabled_ = enabled; }
    CGFloat maxHighlightDistance() const { return maxHighlightDistance_; }
    void setMaxHighlightDistance(CGFloat distance) { maxHighlightDistance_ = distance; }

    // Where a value is drawn, in the view.
    CGPoint pixelForValues(double x, double y, AxisDependency side) const;

    std::optional<Highlight> highlightForTouch(CGPoint point) override;

protected:
    void didCreate() override;
    UIEdgeInsets calculateOffsets() const override;
    void dataDidChange() override;
    void drawChart(const CGContextRef& context) override;
    // The selected entry's point in the current layout.
    CGPoint markerPosition(const Highlight& highlight) const override;

private:
    void computeAxes();
    CGFloat yAxisWidth(const Ref<YAxis>& axis) const;
    void drawGridLines(const CGContextRef& context) const;
    void drawAxisLinesAndLabels(const CGContextRef& context) const;

    Ref<XAxis> xAxis_ = make<XAxis>();
    Ref<YAxis> leftAxis_ = make<YAxis>(AxisDependency::Left);
    Ref<YAxis> rightAxis_ = make<YAxis>(AxisDependency::Right);
    bool dragEnabled_ = true;
    bool scaleXEnabled_ = true;
    bool scaleYEnabled_ = true;
    bool pinchZoomEnabled_ = false;
    bool doubleTapToZoomEnabled_ = true;
    CGFloat maxHighlightDistance_ = 500;
};

// Draws the lines, the fill under them, the circles at the points, the
// values over them and the selected entry's cross of highlight lines.
class LineChartRenderer : public DataRenderer {
public:
    LineChartRenderer(const Ref<LineChartView>& chart, Ref<Animator> animator, Ref<ViewPortHandler> viewPortHandler);

    void drawData(const CGContextRef& context) override;
    void drawValues(const CGContextRef& context) override;
    void drawExtras(const CGContextRef& context) override;
    void drawHighlighted(const CGContextRef& context, const std::vector<Highlight>& highlights) override;

private:
    void drawDataSet(const CGContextRef& context, const LineChartView& chart, const LineChartDataSet& set) const;

    WeakRef<LineChartView> chart_;
};
