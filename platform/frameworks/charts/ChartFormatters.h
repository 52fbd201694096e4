#pragma once

#include <string>
#include <vector>

#include "foundation/NSObject.h"

class AxisBase;
class ChartDataEntry;
class ViewPortHandler;

// Turns an entry's value into the text drawn beside it.
class ValueFormatter : public NSObject {
public:
    virtual std::string stringForValue(double value, const Ref<ChartDataEntry>& entry, long dataSetIndex,
                                       const Ref<ViewPortHandler>& viewPortHandler) const = 0;
};

// Values with a fixed number of decimals (1 by default), as "12.5".
class DefaultValueFormatter : public ValueFormatter {
public:
    explicit DefaultValueFormatter(int decimals = 1) : decimals_(decimals) {}
    std::string stringForValue(double value, const Ref<ChartDataEntry>& entry, long dataSetIndex,
                               const Ref<ViewPortHandler>& viewPortHandler) const override;

private:
    int decimals_;
};

// Turns a position on an axis into its label.
class AxisValueFormatter : public NSObject {
public:
    virtual std::string stringForValue(double value, const AxisBase& axis) const = 0;
};

// Labels by position: value v shows the text at index v rounded; positions
// outside the list show nothing.
class IndexAxisValueFormatter : public AxisValueFormatter {
public:
    IndexAxisValueFormatter() = default;
    explicit IndexAxisValueFormatter(std::vector<std::string> values) : values_(std::move(values)) {}
    const std::vector<std::string>& values() const { return values_; }
    void setValues(std::vector<std::string> values) { values_ = std::move(values); }
    std::string stringForValue(double value, const AxisBase& axis) const override;

private:
    std::vector<std::string> values_;
};

// Axis values with as many decimals as the label interval needs.
class DefaultAxisValueFormatter : public AxisValueFormatter {
public:
    std::string stringForValue(double value, const AxisBase& axis) const override;
};
