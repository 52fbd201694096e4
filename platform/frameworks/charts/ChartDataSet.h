#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frameworks/charts/ChartDataEntry.h"
#include "frameworks/charts/ChartFormatters.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

enum class AxisDependency { Left = 0, Right = 1 };

// The entries of one series with how they are drawn: colours (entry i takes
// colour i modulo their number), the values' text, icons, and the label the
// legend shows.
class ChartDataSet : public NSObject {
public:
    ChartDataSet() = default;
    ChartDataSet(std::vector<Ref<ChartDataEntry>> entries, std::string label)
        : entries_(std::move(entries)), label_(std::move(label)) {}

    const std::vector<Ref<ChartDataEntry>>& entries() const { return entries_; }
    void setEntries(std::vector<Ref<ChartDataEntry>> entries) { entries_ = std::move(entries); }
    long entryCount() const { return static_cast<long>(entries_.size()); }
    // Null for an index out of range.
    Ref<ChartDataEntry> entryForIndex(long index) const;
    const std::string& label() const { return label_; }
    void setLabel(std::string label) { label_ = std::move(label); }

    double yMin() const;
    double yMax() const;
    double xMin() const;
    double xMax() const;

    const std::vector<UIColor>& colors() const { return colors_; }
    void setColors(std::vector<UIColor> colors) { colors_ = std::move(colors); }
    void setColor(UIColor color) { colors_ = {color}; }
    UIColor colorAtIndex(long index) const;

    AxisDependency axisDependency() const { return axisDependency_; }
    void setAxisDependency(AxisDependency dependency) { axisDependency_ = dependency; }

    bool isDrawValuesEnabled() const { return drawValuesEnabled_; }
    void setDrawValuesEnabled(bool enabled) { drawValuesEnabled_ = enabled; }
    bool isDrawIconsEnabled() const { return drawIconsEnabled_; }
    void setDrawIconsEnabled(bool enabled) { drawIconsEnabled_ = enabled; }
    CGPoint iconsOffset() const { return iconsOffset_; }
    void setIconsOffset(CGPoint offset) { iconsOffset_ = offset; }

    const std::vector<UIColor>& valueColors() const { return valueColors_; }
    void setValueTextColor(UIColor color) { valueColors_ = {color}; }
    UIColor valueTextColorAt(long index) const;
    const UIFont& valueFont() const { return valueFont_; }
    void setValueFont(UIFont font) { valueFont_ = std::move(font); }
    Ref<ValueFormatter> valueFormatter() const { return valueFormatter_; }
    void setValueFormatter(Ref<ValueFormatter> formatter) { valueFormatter_ = std::move(formatter); }

private:
    std::vector<Ref<ChartDataEntry>> entries_;
    std::string label_;
    std::vector<UIColor> colors_{UIColor::colorWithRed(140 / 255.0, 234 / 255.0, 1, 1)};
    AxisDependency axisDependency_ = AxisDependency::Left;
    bool drawValuesEnabled_ = true;
    bool drawIconsEnabled_ = true;
    CGPoint iconsOffset_{};
    std::vector<UIColor> valueColors_{UIColor::blackColor()};
    UIFont valueFont_ = UIFont::systemFontOfSize(7);
    Ref<ValueFormatter> valueFormatter_ = make<DefaultValueFormatter>();
};

class Fill;

// A line through the entries in x order, with circles at the points and an
// optional fill under the line.
class LineChartDataSet : public ChartDataSet {
public:
    using ChartDataSet::ChartDataSet;

    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    const std::vector<UIColor>& circleColors() const { return circleColors_; }
    void setCircleColors(std::vector<UIColor> colors) { circleColors_ = std::move(colors); }
    UIColor circleColorAtIndex(long index) const;
    UIColor circleHoleColor() const { return circleHoleColor_; }
    void setCircleHoleColor(UIColor color) { circleHoleColor_ = color; }
    CGFloat circleRadius() const { return circleRadius_; }
    void setCircleRadius(CGFloat radius) { circleRadius_ = radius; }
    CGFloat circleHoleRadius() const { return circleHoleRadius_; }
    void setCircleHoleRadius(CGFloat radius) { circleHoleRadius_ = radius; }
    bool isDrawCirclesEnabled() const { return drawCirclesEnabled_; }
    void setDrawCirclesEnabled(bool enabled) { drawCirclesEnabled_ = enabled; }
    bool isDrawCircleHoleEnabled() const { return drawCircleHoleEnabled_; }
    void setDrawCircleHoleEnabled(bool enabled) { drawCircleHoleEnabled_ = enabled; }
    bool isDrawFilledEnabled() const { return drawFilledEnabled_; }
    void setDrawFilledEnabled(bool enabled) { drawFilledEnabled_ = enabled; }
    CGFloat fillAlpha() const { return fillAlpha_; }
    void setFillAlpha(CGFloat alpha) { fillAlpha_ = alpha; }
    // Null paints the fill in `fillColor`.
    Ref<Fill> fill() const { return fill_; }
    void setFill(Ref<Fill> fill) { fill_ = std::move(fill); }
    UIColor fillColor() const { return fillColor_; }
    void setFillColor(UIColor color) { fillColor_ = color; }
    UIColor highlightColor() const { return highlightColor_; }
    void setHighlightColor(UIColor color) { highlightColor_ = color; }

private:
    CGFloat lineWidth_ = 1;
    std::vector<UIColor> circleColors_{UIColor::colorWithRed(140 / 255.0, 234 / 255.0, 1, 1)};
    UIColor circleHoleColor_ = UIColor::whiteColor();
    CGFloat circleRadius_ = 8;
    CGFloat circleHoleRadius_ = 4;
    bool drawCirclesEnabled_ = true;
    bool drawCircleHoleEnabled_ = true;
    bool drawFilledEnabled_ = false;
    CGFloat fillAlpha_ = 0.33;
    Ref<Fill> fill_;
    UIColor fillColor_ = UIColor::colorWithRed(140 / 255.0, 234 / 255.0, 1, 1);
    UIColor highlightColor_ = UIColor::colorWithRed(1, 187 / 255.0, 115 / 255.0, 1);
};

// Slices of a pie. Values and entry labels are drawn inside the slice or
// outside it on a two-part leader line: part 1 leaves the slice at
// `valueLinePart1OffsetPercentage` of the way out and runs outwards by
// `valueLinePart1Length` (of the label radius), part 2 runs sideways by
// `valueLinePart2Length` (times the sine of the slice's angle when variable).
class PieChartDataSet : public ChartDataSet {
public:
    enum class ValuePosition { InsideSlice, OutsideSlice };

    using ChartDataSet::ChartDataSet;

    CGFloat sliceSpace() const { return sliceSpace_; }
    void setSliceSpace(CGFloat space) { sliceSpace_ = space; }
    CGFloat selectionShift() const { return selectionShift_; }
    void setSelectionShift(CGFloat shift) { selectionShift_ = shift; }
    ValuePosition xValuePosition() const { return xValuePosition_; }
    void setXValuePosition(ValuePosition position) { xValuePosition_ = position; }
    ValuePosition yValuePosition() const { return yValuePosition_; }
    void setYValuePosition(ValuePosition position) { yValuePosition_ = position; }
    bool valueLineVariableLength() const { return valueLineVariableLength_; }
    void setValueLineVariableLength(bool variable) { valueLineVariableLength_ = variable; }
    CGFloat valueLinePart1OffsetPercentage() const { return valueLinePart1OffsetPercentage_; }
    void setValueLinePart1OffsetPercentage(CGFloat value) { valueLinePart1OffsetPercentage_ = value; }
    CGFloat valueLinePart1Length() const { return valueLinePart1Length_; }
    void setValueLinePart1Length(CGFloat value) { valueLinePart1Length_ = value; }
    CGFloat valueLinePart2Length() const { return valueLinePart2Length_; }
    void setValueLinePart2Length(CGFloat value) { valueLinePart2Length_ = value; }
    CGFloat valueLineWidth() const { return valueLineWidth_; }
    void setValueLineWidth(CGFloat width) { valueLineWidth_ = width; }
    std::optional<UIColor> valueLineColor() const { return valueLineColor_; }
    void setValueLineColor(std::optional<UIColor> color) { valueLineColor_ = color; }
    bool useValueColorForLine() const { return useValueColorForLine_; }
    void setUseValueColorForLine(bool use) { useValueColorForLine_ = use; }
    // Unset: the chart's.
    std::optional<UIColor> entryLabelColor() const { return entryLabelColor_; }
    void setEntryLabelColor(std::optional<UIColor> color) { entryLabelColor_ = color; }
    std::optional<UIFont> entryLabelFont() const { return entryLabelFont_; }
    void setEntryLabelFont(std::optional<UIFont> font) { entryLabelFont_ = std::move(font); }

private:
    CGFloat sliceSpace_ = 0;
    CGFloat selectionShift_ = 18;
    ValuePosition xValuePosition_ = ValuePosition::InsideSlice;
    ValuePosition yValuePosition_ = ValuePosition::InsideSlice;
    bool valueLineVariableLength_ = true;
    CGFloat valueLinePart1OffsetPercentage_ = 0.75;
    CGFloat valueLinePart1Length_ = 0.3;
    CGFloat valueLinePart2Length_ = 0.4;
    CGFloat valueLineWidth_ = 1;
    std::optional<UIColor> valueLineColor_ = UIColor::blackColor();
    bool useValueColorForLine_ = false;
    std::optional<UIColor> entryLabelColor_;
    std::optional<UIFont> entryLabelFont_;
};
