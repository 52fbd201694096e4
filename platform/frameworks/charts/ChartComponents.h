#pragma once

#include <string>
#include <vector>

#include "frameworks/charts/ChartDataSet.h"
#include "frameworks/charts/ChartFormatters.h"
#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// The text written in a corner of the chart; off shows nothing.
class Description : public NSObject {
public:
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    const std::string& text() const { return text_; }
    void setText(std::string text) { text_ = std::move(text); }
    UIFont font() const { return font_; }
    void setFont(UIFont font) { font_ = std::move(font); }
    UIColor textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = color; }

private:
    bool enabled_ = true;
    std::string text_ = "Description Label";
    UIFont font_ = UIFont::systemFontOfSize(8);
    UIColor textColor_ = UIColor::blackColor();
};

// The legend under the chart: one form and label per entry, laid out left to
// right and wrapped onto further lines when the chart is too narrow.
class Legend : public NSObject {
public:
    enum class Form { None, Empty, Default, Square, Circle, Line };

    struct Entry {
        std::string label;
        Form form = Form::Default;
        UIColor formColor{};
    };

    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    Form form() const { return form_; }
    void setForm(Form form) { form_ = form; }
    CGFloat formSize() const { return formSize_; }
    void setFormSize(CGFloat size) { formSize_ = size; }
    CGFloat formToTextSpace() const { return formToTextSpace_; }
    void setFormToTextSpace(CGFloat space) { formToTextSpace_ = space; }
    UIFont font() const { return font_; }
    void setFont(UIFont font) { font_ = std::move(font); }
    UIColor textColor() const { return textColor_; }
    void setTextColor(UIColor color) { textColor_ = color; }
    // Between entries side by side, and between lines.
    CGFloat xEntrySpace() const { return xEntrySpace_; }
    void setXEntrySpace(CGFloat space) { xEntrySpace_ = space; }
    CGFloat yEntrySpace() const { return yEntrySpace_; }
    void setYEntrySpace(CGFloat space) { yEntrySpace_ = space; }
    CGFloat xOffset() const { return xOffset_; }
    CGFloat yOffset() const { return yOffset_; }

    // Filled from the chart's data whenever the data change.
    const std::vector<Entry>& entries() const { return entries_; }
    void setEntries(std::vector<Entry> entries) { entries_ = std::move(entries); }

    // Where each entry goes in a legend `width` wide starting at the origin,
    // and the height of all its lines.
    struct Placement {
        std::vector<CGPoint> origins;
        CGFloat height = 0;
    };
    Placement layout(CGFloat width) const;
    // Whether the legend takes room at all: enabled, with an entry that shows.
    bool takesRoom() const;
    void draw(const CGContextRef& context, CGRect area) const;

private:
    CGFloat entryWidth(const Entry& entry) const;
    bool showsForm(const Entry& entry) const;

    bool enabled_ = true;
    Form form_ = Form::Square;
    CGFloat formSize_ = 8;
    CGFloat formToTextSpace_ = 3;
    UIFont font_ = UIFont::systemFontOfSize(10);
    UIColor textColor_ = UIColor::blackColor();
    CGFloat xEntrySpace_ = 6;
    CGFloat yEntrySpace_ = 0;
    CGFloat xOffset_ = 5;
    CGFloat yOffset_ = 3;
    std::vector<Entry> entries_;
};

// The animation phases of a chart (1 = fully shown). Charts here are shown
// at once, so both phases stay at 1 unless set.
class Animator : public NSObject {
public:
    double phaseX() const { return phaseX_; }
    void setPhaseX(double phase) { phaseX_ = phase; }
    double phaseY() const { return phaseY_; }
    void setPhaseY(double phase) { phaseY_ = phase; }

private:
    double phaseX_ = 1;
    double phaseY_ = 1;
};

// The chart's size and the rectangle left for the data once the offsets
// (legend, axis labels, minimum offsets) are taken off its edges.
class ViewPortHandler : public NSObject {
public:
    void setChartDimens(CGFloat width, CGFloat height);
    void restrainViewPort(CGFloat left, CGFloat top, CGFloat right, CGFloat bottom);
    CGFloat chartWidth() const { return chartWidth_; }
    CGFloat chartHeight() const { return chartHeight_; }
    CGRect contentRect() const { return contentRect_; }
    CGFloat offsetLeft() const { return CGRectGetMinX(contentRect_); }
    CGFloat offsetTop() const { return CGRectGetMinY(contentRect_); }
    CGFloat offsetRight() const { return chartWidth_ - CGRectGetMaxX(contentRect_); }
    CGFloat offsetBottom() const { return chartHeight_ - CGRectGetMaxY(contentRect_); }
    CGPoint contentCenter() const { return {CGRectGetMidX(contentRect_), CGRectGetMidY(contentRect_)}; }

private:
    CGFloat chartWidth_ = 0;
    CGFloat chartHeight_ = 0;
    CGRect contentRect_{};
};

// A selected entry: its values, its data set, and where it is drawn.
struct Highlight {
    double x = 0;
    double y = 0;
    long dataSetIndex = 0;
    long entryIndex = 0;
    CGPoint drawPoint{};
    bool operator==(const Highlight& other) const {
        return dataSetIndex == other.dataSetIndex && entryIndex == other.entryIndex;
    }
};

// An axis: its range (from the data, widened by the spaces), its labels
// (at a rounded interval, at least `granularity` apart when that is on), and
// how its line, grid lines and labels look.
class AxisBase : public NSObject {
public:
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    UIFont labelFont() const { return labelFont_; }
    void setLabelFont(UIFont font) { labelFont_ = std::move(font); }
    UIColor labelTextColor() const { return labelTextColor_; }
    void setLabelTextColor(UIColor color) { labelTextColor_ = color; }
    bool isDrawLabelsEnabled() const { return drawLabelsEnabled_; }
    void setDrawLabelsEnabled(bool enabled) { drawLabelsEnabled_ = enabled; }
    bool isDrawAxisLineEnabled() const { return drawAxisLineEnabled_; }
    void setDrawAxisLineEnabled(bool enabled) { drawAxisLineEnabled_ = enabled; }
    bool isDrawGridLinesEnabled() const { return drawGridLinesEnabled_; }
    void setDrawGridLinesEnabled(bool enabled) { drawGridLinesEnabled_ = enabled; }
    UIColor gridColor() const { return gridColor_; }
    void setGridColor(UIColor color) { gridColor_ = color; }
    UIColor axisLineColor() const { return axisLineColor_; }
    void setAxisLineColor(UIColor color) { axisLineColor_ = color; }
    bool isGranularityEnabled() const { return granularityEnabled_; }
    void setGranularityEnabled(bool enabled) { granularityEnabled_ = enabled; }
    double granularity() const { return granularity_; }
    // Setting a granularity turns it on.
    void setGranularity(double granularity);
    long labelCount() const { return labelCount_; }
    void setLabelCount(long count) { labelCount_ = count; }
    // With forced labels, exactly labelCount labels spread evenly over the range.
    bool isForceLabelsEnabled() const { return forceLabelsEnabled_; }
    void setForceLabelsEnabled(bool enabled) { forceLabelsEnabled_ = enabled; }
    Ref<AxisValueFormatter> valueFormatter() const { return valueFormatter_; }
    // Null goes back to the default formatter.
    void setValueFormatter(Ref<AxisValueFormatter> formatter);

    double axisMinimum() const { return axisMinimum_; }
    double axisMaximum() const { return axisMaximum_; }
    double axisRange() const { return axisMaximum_ - axisMinimum_; }
    // The positions of the labels, as worked out by computeAxis.
    const std::vector<double>& entries() const { return entries_; }
    double labelInterval() const { return interval_; }
    std::string labelForValue(double value) const;

    // Sets the range from the data's extremes and works out the labels.
    void computeAxis(double dataMin, double dataMax);

protected:
    double spaceMin_ = 0;  // parts of the range added below and above
    double spaceMax_ = 0;

private:
    void computeLabels();

    bool enabled_ = true;
    UIFont labelFont_ = UIFont::systemFontOfSize(10);
    UIColor labelTextColor_ = UIColor::blackColor();
    bool drawLabelsEnabled_ = true;
    bool drawAxisLineEnabled_ = true;
    bool drawGridLinesEnabled_ = true;
    UIColor gridColor_ = UIColor::colorWithWhite(0.5, 0.9);
    UIColor axisLineColor_ = UIColor::grayColor();
    bool granularityEnabled_ = false;
    double granularity_ = 1;
    long labelCount_ = 6;
    bool forceLabelsEnabled_ = false;
    Ref<AxisValueFormatter> valueFormatter_;
    double axisMinimum_ = 0;
    double axisMaximum_ = 0;
    std::vector<double> entries_;
    double interval_ = 0;
};

class XAxis : public AxisBase {
public:
    enum class LabelPosition { Top = 0, Bottom = 1, BothSided = 2, TopInside = 3, BottomInside = 4 };
    LabelPosition labelPosition() const { return labelPosition_; }
    void setLabelPosition(LabelPosition position) { labelPosition_ = position; }
    CGFloat yOffset() const { return 5; }

private:
    LabelPosition labelPosition_ = LabelPosition::Bottom;
};

class YAxis : public AxisBase {
public:
    explicit YAxis(AxisDependency side = AxisDependency::Left);
    AxisDependency axisDependency() const { return side_; }
    CGFloat xOffset() const { return 5; }

private:
    AxisDependency side_;
};
