// The download chart of the Home statistics card: its look, its data from
// the answer's download series, and the bubble of a tapped point.

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "app/shell/KXLabel.h"
#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXNumberText.h"
#include "app/tabs/home/KXHomeDataCell.h"
#include "frameworks/charts/ChartData.h"
#include "frameworks/charts/ChartDataEntry.h"
#include "frameworks/charts/ChartDataSet.h"
#include "frameworks/charts/ChartFormatters.h"
#include "frameworks/charts/Fill.h"
#include "graphics/CGGradient.h"

namespace {

// The gradient under the line: opaque blue at the top fading to clear white.
Ref<Fill> downloadFill() {
    const std::vector<UIColor> colours{UIColorHex::colorWithHexString("#FFFFFF", 0), hex("#5A7BFF")};
    const CGFloat locations[] = {0.0, 1.0};
    return Fill::fillWithLinearGradient(CGGradientCreateWithColors(CGColorSpaceCreateDeviceRGB(), colours, locations),
                                        90);
}

Ref<KXLabel> bubbleLine(std::string text, CGRect frame) {
    auto label = KXLabel::boldLabel(std::move(text), "#333333", 8 * layoutScale());
    label->setFrame(frame);
    return label;
}

}  // namespace

void KXHomeDataCell::setUpChart() {
    const CGFloat s = layoutScale();
    chartView_ = make<LineChartView>();
    chartView_->setAccessibilityIdentifier("chartView");
    chartView_->setBackgroundColor(UIColor::whiteColor());
    chartView_->setDelegate(self<KXHomeDataCell>());
    chartView_->chartDescription()->setEnabled(false);
    chartView_->setNoDataText(KXNoDataText::kText);
    chartView_->setNoDataTextColor(hex(KXNoDataText::kColourHex));
    chartView_->setDragEnabled(true);
    chartView_->setScaleEnabled(true);
    chartView_->setPinchZoomEnabled(true);
    chartView_->legend()->setForm(Legend::Form::None);
    chartView_->legend()->setTextColor(UIColor::clearColor());

    auto xAxis = chartView_->xAxis();
    xAxis->setLabelFont(UIFont::systemFontOfSize(8 * s));
    xAxis->setLabelTextColor(hex("#888888"));
    xAxis->setDrawLabelsEnabled(true);
    xAxis->setDrawAxisLineEnabled(false);
    xAxis->setDrawGridLinesEnabled(false);
    xAxis->setLabelPosition(XAxis::LabelPosition::Bottom);

    auto leftAxis = chartView_->leftAxis();
    leftAxis->setLabelTextColor(hex("#888888"));
    leftAxis->setLabelFont(UIFont::systemFontOfSize(12 * s));
    leftAxis->setGridColor(hex("#EEEEEE"));
    leftAxis->setDrawGridLinesEnabled(true);
    leftAxis->setGranularityEnabled(true);
    leftAxis->setDrawAxisLineEnabled(false);

    auto rightAxis = chartView_->rightAxis();
    rightAxis->setLabelTextColor(UIColor::redColor());
    rightAxis->setGranularityEnabled(false);
    rightAxis->setDrawLabelsEnabled(false);
    rightAxis->setDrawGridLinesEnabled(false);
    rightAxis->setDrawAxisLineEnabled(false);
    contentView()->addSubview(chartView_);
}

void KXHomeDataCell::showDownloads() {
    const CGFloat s = layoutScale();
    const Ref<KXHomeDownModel> down = model_ && model_->shuju ? model_->shuju->down : nullptr;
    std::vector<std::string> days;
    std::vector<Ref<ChartDataEntry>> entries;
    if (down) {
        days = down->day;
        // A day without a count gets no point.
        const std::size_t points = std::min(down->day.size(), down->num.size());
        for (std::size_t index = 0; index < points; ++index)
            entries.push_back(make<ChartDataEntry>(static_cast<double>(index), down->num[index]));
    }

    auto dataSet = make<LineChartDataSet>(std::move(entries), "");
    dataSet->setAxisDependency(AxisDependency::Left);
    dataSet->setColor(hex("#5879FF"));
    dataSet->setCircleColors({UIColor::whiteColor()});
    dataSet->setCircleHoleColor(hex("#5B8FF9"));
    dataSet->setLineWidth(2 * s);
    dataSet->setCircleRadius(3 * s);
    dataSet->setCircleHoleRadius(2 * s);
    dataSet->setFillAlpha(1);
    dataSet->setDrawFilledEnabled(true);
    dataSet->setDrawCircleHoleEnabled(true);
    dataSet->setDrawValuesEnabled(false);
    dataSet->setFill(downloadFill());

    auto data = make<LineChartData>(dataSet);
    data->setValueTextColor(UIColor::blackColor());
    data->setValueFont(UIFont::systemFontOfSize(9 * s));

    auto xAxis = chartView_->xAxis();
    xAxis->setValueFormatter(make<IndexAxisValueFormatter>(std::move(days)));
    xAxis->setGranularityEnabled(true);
    xAxis->setGranularity(1);
    xAxis->setForceLabelsEnabled(false);
    chartView_->setExtraRightOffset(20 * s);
    chartView_->setData(data);
}

void KXHomeDataCell::chartValueSelected(const Ref<ChartViewBase>&, const Ref<ChartDataEntry>& entry,
                                        const Highlight&) {
    if (!entry) return;
    const CGFloat s = layoutScale();
    const std::string xText = shortestDoubleText(entry->x());
    const std::string yText = shortestDoubleText(entry->y());

    auto marker = make<MarkerView>(CGRect{20 * s, 20 * s, 91 * s, 42 * s});
    marker->setChartView(chartView_);
    auto bubble = make<UIView>(CGRect{0, 0, 91 * s, 42 * s});
    bubble->setBackgroundColor(UIColor::whiteColor());
    auto layer = bubble->layer();
    layer->setCornerRadius(12);
    layer->setShadowRadius(4);
    layer->setShadowOpacity(1.0);
    layer->setShadowOffset({0, 2});
    layer->setShadowColor(UIColorHex::colorWithHexString("#545454", 0.15));
    marker->addSubview(bubble);

    // The day at the point's position, read back from its text; a position
    // outside the series leaves the date empty.
    std::string day;
    const double position = std::trunc(std::strtod(xText.c_str(), nullptr));
    if (model_ && model_->shuju && model_->shuju->down && position >= 0 &&
        position < static_cast<double>(model_->shuju->down->day.size()))
        day = model_->shuju->down->day[static_cast<std::size_t>(position)];
    bubble->addSubview(bubbleLine("日期：" + day, {10 * s, 10 * s, 71 * s, 11 * s}));
    bubble->addSubview(bubbleLine("下载量：" + yText, {10 * s, 21 * s, 71 * s, 11 * s}));
    chartView_->setMarker(marker);
}
