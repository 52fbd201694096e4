#pragma once

#include <vector>

#include "frameworks/charts/ChartViewBase.h"

class UIPanGestureRecognizer;

// A pie (a ring while the hole is drawn) of the slices of its one data set.
// Slice i spans drawAngles[i] degrees (its share of 360), starting where the
// slices before it end (absoluteAngles holds the running sums), all turned
// by `rotationAngle` (0 points right, angles grow clockwise). The circle
// fills the largest square of the view port, less the data set's selection
// shift, and shrinks further so that entry labels drawn outside the slices
// stay within the view's bounds. With `rotationEnabled` a drag around the centre turns the pie.
class PieChartView : public ChartViewBase {
public:
    using ChartViewBase::ChartViewBase;

    Ref<PieChartData> pieData() const { return cast<PieChartData>(data()); }

    CGFloat rotationAngle() const { return rotationAngle_; }
    void setRotationAngle(CGFloat degrees);
    bool isRotationEnabled() const { return rotationEnabled_; }
    void setRotationEnabled(bool enabled);

    bool isDrawHoleEnabled() const { return drawHole_; }
    void setDrawHoleEnabled(bool enabled) { drawHole_ = enabled; }
    CGFloat holeRadiusPercent() const { return holeRadiusPercent_; }
    void setHoleRadiusPercent(CGFloat percent) { holeRadiusPercent_ = percent; }
    UIColor holeColor() const { return holeColor_; }
    void setHoleColor(UIColor color) { holeColor_ = color; }
    CGFloat transparentCircleRadiusPercent() const { return transparentCircleRadiusPercent_; }
    void setTransparentCircleRadiusPercent(CGFloat percent) { transparentCircleRadiusPercent_ = percent; }
    UIColor transparentCircleColor() const { return transparentCircleColor_; }
    void setTransparentCircleColor(UIColor color) { transparentCircleColor_ = color; }
    bool isDrawEntryLabelsEnabled() const { return drawEntryLabels_; }
    void setDrawEntryLabelsEnabled(bool enabled) { drawEntryLabels_ = enabled; }
    bool isUsePercentValuesEnabled() const { return usePercentValues_; }
    void setUsePercentValuesEnabled(bool enabled) { usePercentValues_ = enabled; }
    UIColor entryLabelColor() const { return entryLabelColor_; }
    void setEntryLabelColor(UIColor color) { entryLabelColor_ = color; }
    UIFont entryLabelFont() const { return entryLabelFont_; }
    void setEntryLabelFont(UIFont font) { entryLabelFont_ = std::move(font); }

    const std::vector<CGFloat>& drawAngles() const { return drawAngles_; }
    const std::vector<CGFloat>& absoluteAngles() const { return absoluteAngles_; }
    CGRect circleBox() const { return circleBox_; }
    CGPoint centerCircleBox() const { return {CGRectGetMidX(circleBox_), CGRectGetMidY(circleBox_)}; }
    CGFloat radius() const { return circleBox_.size.width / 2; }

    // The slice under a point (in the view), if any.
    std::optional<Highlight> highlightForTouch(CGPoint point) override;

protected:
    void didCreate() override;
    UIEdgeInsets calculateOffsets() const override;
    void didLayOutViewPort() override;
    void dataDidChange() override;
    void drawChart(const CGContextRef& context) override;

private:
    void rotate(const Ref<UIPanGestureRecognizer>& recognizer);
    // The largest radius about `centre` at which entry labels drawn outside
    // the slices stay inside the view's bounds (no limit when none are).
    CGFloat radiusLeavingRoomForOutsideLabels(CGPoint centre) const;
    // The angle of a point around the centre, in degrees from 0 to 360.
    CGFloat angleForPoint(CGPoint point) const;

    CGFloat rotationAngle_ = 270;
    bool rotationEnabled_ = true;
    bool drawHole_ = true;
    CGFloat holeRadiusPercent_ = 0.5;
    UIColor holeColor_ = UIColor::whiteColor();
    CGFloat transparentCircleRadiusPercent_ = 0.55;
    UIColor transparentCircleColor_ = UIColor::colorWithWhite(1, 105 / 255.0);
    bool drawEntryLabels_ = true;
    bool usePercentValues_ = false;
    UIColor entryLabelColor_ = UIColor::whiteColor();
    UIFont entryLabelFont_ = UIFont::systemFontOfSize(13);
    std::vector<CGFloat> drawAngles_;
    std::vector<CGFloat> absoluteAngles_;
    CGRect circleBox_{};
    Ref<UIPanGestureRecognizer> rotationRecognizer_;
    CGFloat rotationAtPanStart_ = 0;
    CGFloat angleAtPanStart_ = 0;
};

// Draws a pie chart's slices (the selected one pushed out by the selection
// shift), its hole and transparent circle, and the values and entry labels
// that lie inside the slices. Subclasses that place texts outside the
// slices override drawValues.
class PieChartRenderer : public DataRenderer {
public:
    PieChartRenderer(const Ref<PieChartView>& chart, Ref<Animator> animator, Ref<ViewPortHandler> viewPortHandler);

    Ref<PieChartView> chart() const { return chart_.lock(); }
    // The gap between slices, none when a slice would be thinner than it.
    CGFloat getSliceSpace(const Ref<PieChartDataSet>& dataSet) const;

    void drawData(const CGContextRef& context) override;
    void drawValues(const CGContextRef& context) override;
    void drawExtras(const CGContextRef& context) override;
    void drawHighlighted(const CGContextRef&, const std::vector<Highlight>&) override {}

private:
    WeakRef<PieChartView> chart_;
};
