#pragma once

#include <vector>

#include "frameworks/charts/ChartDataSet.h"

// The data sets a chart shows, with setters that reach all of them.
class ChartData : public NSObject {
public:
    ChartData() = default;
    explicit ChartData(std::vector<Ref<ChartDataSet>> dataSets) : dataSets_(std::move(dataSets)) {}

    const std::vector<Ref<ChartDataSet>>& dataSets() const { return dataSets_; }
    long dataSetCount() const { return static_cast<long>(dataSets_.size()); }
    Ref<ChartDataSet> dataSetAtIndex(long index) const;
    // Entries over all data sets.
    long entryCount() const;
    bool isEmpty() const { return entryCount() == 0; }
    // Over the entries of all data sets; 0 when there are none.
    double yMin() const;
    double yMax() const;
    double xMin() const;
    double xMax() const;

    void setValueTextColor(UIColor color);
    void setValueFont(const UIFont& font);
    void setValueFormatter(const Ref<ValueFormatter>& formatter);
    void setDrawValues(bool enabled);

private:
    std::vector<Ref<ChartDataSet>> dataSets_;
};

class LineChartDataSet;
class PieChartDataSet;

class LineChartData : public ChartData {
public:
    LineChartData() = default;
    explicit LineChartData(const Ref<LineChartDataSet>& dataSet);
    explicit LineChartData(std::vector<Ref<LineChartDataSet>> dataSets);
};

// A pie has one data set.
class PieChartData : public ChartData {
public:
    PieChartData() = default;
    explicit PieChartData(const Ref<PieChartDataSet>& dataSet);

    Ref<PieChartDataSet> dataSet() const;
    // The sum of the slices' values.
    double yValueSum() const;
};
