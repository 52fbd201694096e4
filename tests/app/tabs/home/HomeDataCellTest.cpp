#include <gtest/gtest.h>

#include "app/shell/UIColorHex.h"
#include "app/tabs/home/KXHomeDataCell.h"
#include "frameworks/charts/ChartData.h"
#include "frameworks/charts/ChartDataSet.h"
#include "frameworks/charts/ChartFormatters.h"
#include "frameworks/charts/Fill.h"
#include "foundation/NSBundle.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

// The statistics card at the standard screen's scale (layout scale 1).
class HomeDataCellTest : public WidgetFixture {
protected:
    HomeDataCellTest() {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        card = place(make<KXHomeDataCell>(CGRect{0, 0, 375, 490}), {0, 0, 375, 490});
    }
    ~HomeDataCellTest() override { NSBundle::setMainBundlePath(""); }

    static Ref<KXHomeModel> figures(std::string reg, std::string rate, std::string pay, std::string money) {
        auto model = make<KXHomeModel>();
        model->shuju->reg = std::move(reg);
        model->shuju->fufeilv = std::move(rate);
        model->shuju->pay = std::move(pay);
        model->shuju->money = std::move(money);
        return model;
    }
    static Ref<KXHomeModel> downloads(std::vector<std::string> days, std::vector<double> counts) {
        auto model = make<KXHomeModel>();
        model->shuju->down->day = std::move(days);
        model->shuju->down->num = std::move(counts);
        return model;
    }
    CGFloat rateFontSize() const { return card->conversionRateLabel()->font().pointSize(); }
    Ref<LineChartDataSet> shownSeries() const {
        auto data = card->chartView()->lineData();
        return data && data->dataSetCount() == 1 ? std::dynamic_pointer_cast<LineChartDataSet>(data->dataSetAtIndex(0))
                                                 : nullptr;
    }
    std::vector<std::string> axisDays() const {
        auto formatter = std::dynamic_pointer_cast<IndexAxisValueFormatter>(card->chartView()->xAxis()->valueFormatter());
        return formatter ? formatter->values() : std::vector<std::string>{"(no formatter)"};
    }
    // Taps the chart's point of entry `index` and answers the texts of the
    // marker's bubble.
    std::vector<std::string> tapPoint(long index) {
        card->layoutIfNeeded();
        auto chart = card->chartView();
        chart->prepareForDrawing();
        auto entry = shownSeries()->entryForIndex(index);
        const CGPoint point = chart->pixelForValues(entry->x(), entry->y(), AxisDependency::Left);
        EXPECT_TRUE(driver.tapAt(chart->convertPointToView(point, window))) << driver.lastError();
        std::vector<std::string> texts;
        auto marker = std::dynamic_pointer_cast<MarkerView>(chart->marker());
        if (!marker || marker->subviews().empty()) return texts;
        for (const auto& line : marker->subviews().front()->subviews())
            if (auto label = std::dynamic_pointer_cast<UILabel>(line)) texts.push_back(label->text());
        return texts;
    }

    Ref<KXHomeDataCell> card;
};

TEST_F(HomeDataCellTest, ShowsTheFiguresAsReceivedInTwoStaggeredColumns) {
    card->setModel(figures("1203", "8.6", "57", "9876543.21"));
    card->layoutIfNeeded();
    EXPECT_EQ(card->newUserLabel()->text(), "1203");
    EXPECT_EQ(card->conversionRateLabel()->text(), "8.6");
    EXPECT_EQ(card->payNumLabel()->text(), "57");
    EXPECT_EQ(card->payPriceLabel()->text(), "9876543.21");
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 8.6);
    EXPECT_FALSE(card->circularSlider()->isUserInteractionEnabled());

    EXPECT_EQ(card->newUserBg()->frame(), (CGRect{20, 8, 161, 152}));
    EXPECT_EQ(card->conversionRateBg()->frame(), (CGRect{194, 8, 161, 94}));
    EXPECT_EQ(card->payNumBg()->frame(), (CGRect{20, 172, 161, 94}));
    EXPECT_EQ(card->payPriceBg()->frame(), (CGRect{194, 114, 161, 152}));
    EXPECT_EQ(card->circularSlider()->frame().size, (CGSize{40, 40}));
    EXPECT_DOUBLE_EQ(card->circularSlider()->frame().origin.x, 101);
    render(card, "home-data-card");
}

TEST_F(HomeDataCellTest, RateSetsTheRingOnlyWhenItIsWhollyANumber) {
    card->setModel(figures("1", "12.34", "1", "1"));
    EXPECT_EQ(rateFontSize(), 25);
    EXPECT_DOUBLE_EQ(card->circularSlider()->endPointValue(), 12.34);
    card->setModel(figures("1", "100.00", "1", "1"));
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 100);

    for (const char* rate : {"", " 8.6", "8.6%", "abc"}) {
        card->setModel(figures("1", rate, "1", "1"));
        EXPECT_EQ(card->circularSlider()->endPointValue(), 0) << rate;
        EXPECT_EQ(card->conversionRateLabel()->text(), rate);
    }
    // A rate past the ring's scale fills it whole.
    card->setModel(figures("1", "250", "1", "1"));
    EXPECT_EQ(card->circularSlider()->endPointValue(), 100);

    // Without an answer the placeholders go and the ring empties.
    card->setModel(nullptr);
    EXPECT_EQ(card->newUserLabel()->text(), "");
    EXPECT_EQ(card->payPriceLabel()->text(), "");
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 0);
}

TEST_F(HomeDataCellTest, ChartsTheDownloadsOfEachDayAndTellsATappedPoint) {
    const std::vector<std::string> days{"12-01", "12-02", "12-03", "12-04", "12-05", "12-06", "12-07"};
    card->setModel(downloads(days, {0, 5, 12, 3, 0, 8, 20}));
    auto series = shownSeries();
    ASSERT_TRUE(series);
    ASSERT_EQ(series->entryCount(), 7);
    EXPECT_EQ(series->entryForIndex(2)->x(), 2);
    EXPECT_EQ(series->entryForIndex(2)->y(), 12);
    EXPECT_EQ(series->colors(), std::vector<UIColor>{hex("#5879FF")});
    EXPECT_EQ(series->circleHoleColor(), hex("#5B8FF9"));
    EXPECT_EQ(series->lineWidth(), 2);
    EXPECT_FALSE(series->isDrawValuesEnabled());
    EXPECT_TRUE(series->isDrawFilledEnabled());
    ASSERT_TRUE(series->fill());
    EXPECT_EQ(series->fill()->gradientAngle(), 90);
    EXPECT_EQ(axisDays(), days);
    EXPECT_EQ(card->chartView()->extraRightOffset(), 20);
    render(card, "home-data-card-chart");

    EXPECT_EQ(tapPoint(2), (std::vector<std::string>{"日期：12-03", "下载量：12.0"}));
    render(card, "home-data-card-marker");

    // A fractional count shows as it is; a later answer replaces the series.
    card->setModel(downloads({"12-06", "12-07"}, {4, 12.5}));
    EXPECT_EQ(shownSeries()->entryCount(), 2);
    EXPECT_EQ(axisDays(), (std::vector<std::string>{"12-06", "12-07"}));
    EXPECT_EQ(tapPoint(1), (std::vector<std::string>{"日期：12-07", "下载量：12.5"}));

    // Days without a count get no point; without an answer there is none.
    card->setModel(downloads({"12-05", "12-06", "12-07"}, {7}));
    EXPECT_EQ(shownSeries()->entryCount(), 1);
    EXPECT_EQ(axisDays().size(), 3u);
    card->setModel(nullptr);
    EXPECT_EQ(shownSeries()->entryCount(), 0);
    EXPECT_TRUE(axisDays().empty());
}

}  // namespace
