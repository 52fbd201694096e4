#include "app/stats/KXRegistTypePieCell.h"

#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

namespace {

std::vector<UIColor> slicePalette() {
    std::vector<UIColor> colours;
    for (const char* text : {"#EA7640", "#FBCF57", "#F2E440", "#FAFF2F", "#BBE717", "#65D863", "#43C7E9", "#339AE5",
                             "#699AFF", "#B862E6", "#C14FA4", "#EA6453"})
        colours.push_back(hex(text));
    return colours;
}

}  // namespace

void KXRegistTypePieCell::didCreate() {
    UICollectionViewCell::didCreate();
    const CGFloat s = layoutScale();
    bgView_ = make<UIView>();
    bgView_->setAccessibilityIdentifier("bgView");
    bgView_->setBackgroundColor(UIColor::whiteColor());
    bgView_->layer()->setCornerRadius(12 * s);
    contentView()->addSubview(bgView_);

    chartView_ = make<KXPieChartView>();
    chartView_->setAccessibilityIdentifier("chartView");
    chartView_->setTransparentCircleColor(UIColor::whiteColor());
    // The chart's own caption is the framework's placeholder text; the
    // legend and the table name what the pie shows, as on the Home chart.
    chartView_->chartDescription()->setEnabled(false);
    chartView_->setNoDataText(KXNoDataText::kText);
    chartView_->setNoDataTextColor(hex(KXNoDataText::kColourHex));
    auto legend = chartView_->legend();
    legend->setEnabled(true);
    legend->setFont(UIFont::systemFontOfSize(12 * s));
    legend->setForm(Legend::Form::Circle);
    legend->setFormSize(9 * s);
    legend->setXEntrySpace(15 * s);
    legend->setYEntrySpace(6 * s);
    chartView_->setRotationEnabled(true);
    chartView_->setMinOffset(26 * s);
    bgView_->addSubview(chartView_);

    snp(bgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.top.equalToSuperview().offset(15 * s);
    });
    snp(chartView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.bottom.equalToSuperview().offset(-20 * s);
    });
}

template <class Entry>
void KXRegistTypePieCell::showSlices(const std::vector<Ref<Entry>>& list, const std::vector<std::string>& names) {
    std::vector<Ref<ChartDataEntry>> entries;
    for (std::size_t i = 0; i < list.size(); ++i)
        entries.push_back(make<PieChartDataEntry>(list[i] ? list[i]->count : 0, i < names.size() ? names[i] : ""));
    auto set = make<PieChartDataSet>(entries, "");
    set->setDrawValuesEnabled(false);
    set->setColors(slicePalette());
    set->setEntryLabelColor(UIColorHex::colorWithHexString("#000000", 0.65));
    set->setXValuePosition(PieChartDataSet::ValuePosition::OutsideSlice);
    set->setValueLineVariableLength(true);
    set->setValueLinePart1OffsetPercentage(1.0);
    set->setValueLinePart1Length(0.5);
    set->setValueLinePart2Length(0.5);
    set->setValueLineWidth(1.0);
    set->setValueLineColor(UIColorHex::colorWithHexString("#000000", 0.45));
    auto data = make<PieChartData>(set);
    data->setValueTextColor(UIColor::blackColor());
    chartView_->setData(data);
}

void KXRegistTypePieCell::refreshRegistType() {
    showSlices(model ? model->list : std::vector<Ref<KXRegistTypeListModel>>{},
               model ? model->reg_type : std::vector<std::string>{});
    chartView_->setRotationAngle(180);
}

void KXRegistTypePieCell::refreshRechargeType() {
    showSlices(rechargeTypeModel ? rechargeTypeModel->list : std::vector<Ref<KXRechargeTypeListModel>>{},
               rechargeTypeModel ? rechargeTypeModel->payment : std::vector<std::string>{});
}
