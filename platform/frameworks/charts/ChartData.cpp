#include "frameworks/charts/ChartData.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <cstdio>

// --- Entries and data sets ---

Ref<ChartDataEntry> ChartDataSet::entryForIndex(long index) const {
    if (index < 0 || index >= entryCount()) return nullptr;
    return entries_[static_cast<std::size_t>(index)];
}

namespace {

template <class Read, class Pick>
double extreme(const std::vector<Ref<ChartDataEntry>>& entries, Read read, Pick pick) {
    bool any = false;
    double result = 0;
    for (const auto& entry : entries) {
        if (!entry) continue;
        result = any ? pick(result, read(*entry)) : read(*entry);
        any = true;
    }
    return result;
}

double lesser(double a, double b) { return std::min(a, b); }
double greater(double a, double b) { return std::max(a, b); }
double yOf(const ChartDataEntry& entry) { return entry.y(); }
double xOf(const ChartDataEntry& entry) { return entry.x(); }

template <class T> T cycled(const std::vector<T>& values, long index, T fallback) {
    if (values.empty()) return fallback;
    long count = static_cast<long>(values.size());
    return values[static_cast<std::size_t>(((index % count) + count) % count)];
}

}  // namespace

double ChartDataSet::yMin() const { return extreme(entries_, yOf, lesser); }
double ChartDataSet::yMax() const { return extreme(entries_, yOf, greater); }
double ChartDataSet::xMin() const { return extreme(entries_, xOf, lesser); }
double ChartDataSet::xMax() const { return extreme(entries_, xOf, greater); }

UIColor ChartDataSet::colorAtIndex(long index) const { return cycled(colors_, index, UIColor::blackColor()); }
UIColor ChartDataSet::valueTextColorAt(long index) const { return cycled(valueColors_, index, UIColor::blackColor()); }
UIColor LineChartDataSet::circleColorAtIndex(long index) const {
    return cycled(circleColors_, index, UIColor::blackColor());
}

std::string DefaultValueFormatter::stringForValue(double value, const Ref<ChartDataEntry>&, long,
                                                  const Ref<ViewPortHandler>&) const {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals_, value);
    return text;
}

// --- Chart data ---

Ref<ChartDataSet> ChartData::dataSetAtIndex(long index) const {
    if (index < 0 || index >= dataSetCount()) return nullptr;
    return dataSets_[static_cast<std::size_t>(index)];
}

long ChartData::entryCount() const {
    long count = 0;
    for (const auto& set : dataSets_) count += set ? set->entryCount() : 0;
    return count;
}

namespace {

template <class Read> double overSets(const std::vector<Ref<ChartDataSet>>& sets, Read read, bool lowest) {
    bool any = false;
    double result = 0;
    for (const auto& set : sets) {
        if (!set || set->entryCount() == 0) continue;
        double value = read(*set);
        result = !any ? value : lowest ? std::min(result, value) : std::max(result, value);
        any = true;
    }
    return result;
}

}  // namespace

double ChartData::yMin() const { return overSets(dataSets_, [](const ChartDataSet& s) { return s.yMin(); }, true); }
double ChartData::yMax() const { return overSets(dataSets_, [](const ChartDataSet& s) { return s.yMax(); }, false); }
double ChartData::xMin() const { return overSets(dataSets_, [](const ChartDataSet& s) { return s.xMin(); }, true); }
double ChartData::xMax() const { return overSets(dataSets_, [](const ChartDataSet& s) { return s.xMax(); }, false); }

void ChartData::setValueTextColor(UIColor color) {
    for (const auto& set : dataSets_)
        if (set) set->setValueTextColor(color);
}

void ChartData::setValueFont(const UIFont& font) {
    for (const auto& set : dataSets_)
        if (set) set->setValueFont(font);
}

void ChartData::setValueFormatter(const Ref<ValueFormatter>& formatter) {
    for (const auto& set : dataSets_)
        if (set) set->setValueFormatter(formatter);
}

void ChartData::setDrawValues(bool enabled) {
    for (const auto& set : dataSets_)
        if (set) set->setDrawValuesEnabled(enabled);
}

LineChartData::LineChartData(const Ref<LineChartDataSet>& dataSet) : ChartData({dataSet}) {}

LineChartData::LineChartData(std::vector<Ref<LineChartDataSet>> dataSets)
    : ChartData(std::vector<Ref<ChartDataSet>>(dataSets.begin(), dataSets.end())) {}

PieChartData::PieChartData(const Ref<PieChartDataSet>& dataSet) : ChartData({dataSet}) {}

Ref<PieChartDataSet> PieChartData::dataSet() const { return cast<PieChartDataSet>(dataSetAtIndex(0)); }

double PieChartData::yValueSum() const {
    double sum = 0;
    for (const auto& set : dataSets())
        if (set)
            for (const auto& entry : set->entries()) sum += entry ? entry->y() : 0;
    return sum;
}
