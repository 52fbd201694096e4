#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "graphics/UIImage.h"

// One value of a chart: x (for the line chart the position along the axis)
// and y, with an optional icon drawn beside it.
class ChartDataEntry : public NSObject {
public:
    ChartDataEntry() = default;
    ChartDataEntry(double x, double y, Ref<UIImage> icon = nullptr) : x_(x), y_(y), icon_(std::move(icon)) {}

    double x() const { return x_; }
    void setX(double x) { x_ = x; }
    double y() const { return y_; }
    void setY(double y) { y_ = y; }
    Ref<UIImage> icon() const { return icon_; }
    void setIcon(Ref<UIImage> icon) { icon_ = std::move(icon); }

private:
    double x_ = 0;
    double y_ = 0;
    Ref<UIImage> icon_;
};

// A slice of a pie: its value (y) and its label.
class PieChartDataEntry : public ChartDataEntry {
public:
    PieChartDataEntry() = default;
    PieChartDataEntry(double value, std::string label, Ref<UIImage> icon = nullptr)
        : ChartDataEntry(0, value, std::move(icon)), label_(std::move(label)) {}

    double value() const { return y(); }
    void setValue(double value) { setY(value); }
    const std::string& label() const { return label_; }
    void setLabel(std::string label) { label_ = std::move(label); }

private:
    std::string label_;
};
