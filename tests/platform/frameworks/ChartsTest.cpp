#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

#include "frameworks/charts/Fill.h"
#include "frameworks/charts/LineChartView.h"
#include "frameworks/charts/PieChartView.h"
#include "graphics/NSStringDrawing.h"
#include "tests/support/AppFixture.h"
#include "tests/support/TestShots.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIWindow.h"

namespace {

class Listener : public NSObject, public ChartViewDelegate {
public:
    std::vector<std::pair<double, double>> selected;
    int nothingSelected = 0;
    void chartValueSelected(const Ref<ChartViewBase>&, const Ref<ChartDataEntry>& entry,
                            const Highlight& highlight) override {
        selected.emplace_back(highlight.x, entry->y());
    }
    void chartValueNothingSelected(const Ref<ChartViewBase>&) override { ++nothingSelected; }
};

// A marker that records what it was last given and shows it in a label.
class TextMarker : public MarkerView {
public:
    using MarkerView::MarkerView;
    Ref<UILabel> label = make<UILabel>(CGRect{0, 0, 80, 20});
    void didCreate() override {
        MarkerView::didCreate();
        setBackgroundColor(UIColor::whiteColor());
        addSubview(label);
    }
    void refreshContent(const Ref<ChartDataEntry>& entry, const Highlight&) override {
        label->setText("y " + std::to_string(static_cast<int>(entry->y())));
    }
};

class ChartsTest : public AppFixture {
protected:
    ChartsTest() {
        window = make<UIWindow>();
        window->setBackgroundColor(UIColor::whiteColor());
        window->makeKeyAndVisible();
    }

    Ref<UIWindow> window;
    Ref<Listener> listener = make<Listener>();
    UIDriver driver;
};

Ref<LineChartView> downloadsChart(const std::vector<double>& values) {
    auto chart = make<LineChartView>(CGRect{0, 100, 335, 200});
    std::vector<Ref<ChartDataEntry>> entries;
    for (std::size_t i = 0; i < values.size(); ++i) entries.push_back(make<ChartDataEntry>(i, values[i]));
    auto set = make<LineChartDataSet>(entries, "");
    set->setColor(UIColor::colorWithRed(0.35, 0.47, 1, 1));
    set->setLineWidth(2);
    set->setCircleRadius(3);
    set->setCircleHoleRadius(2);
    set->setDrawFilledEnabled(true);
    set->setFillAlpha(1);
    set->setDrawValuesEnabled(false);
    set->setFill(Fill::fillWithLinearGradient(
        CGGradientCreateWithColors(CGColorSpaceCreateDeviceRGB(),
                                   {UIColor::colorWithWhite(1, 0), UIColor::colorWithRed(0.35, 0.48, 1, 1)},
                                   std::vector<CGFloat>{0, 1}.data()),
        90));
    chart->setData(make<LineChartData>(set));
    chart->xAxis()->setValueFormatter(make<IndexAxisValueFormatter>(
        std::vector<std::string>{"12-01", "12-02", "12-03", "12-04", "12-05", "12-06", "12-07"}));
    chart->xAxis()->setGranularity(1);
    chart->legend()->setForm(Legend::Form::None);
    chart->rightAxis()->setEnabled(false);
    return chart;
}

TEST_F(ChartsTest, LineChartSelectsTheNearestPointTellsItsDelegateAndDrawsTheMarker) {
    auto chart = downloadsChart({0, 5, 12, 3, 0, 8, 20});
    chart->setDelegate(listener);
    auto marker = make<TextMarker>(CGRect{0, 0, 80, 20});
    marker->setChartView(chart);
    chart->setMarker(marker);
    window->addSubview(chart);
    driver.settle();
    chart->prepareForDrawing();

    std::vector<std::string> labels;
    for (double value : chart->xAxis()->entries()) labels.push_back(chart->xAxis()->labelForValue(value));
    EXPECT_EQ(labels, (std::vector<std::string>{"12-01", "12-02", "12-03", "12-04", "12-05", "12-06", "12-07"}));
    EXPECT_LE(chart->leftAxis()->axisMinimum(), 0);
    EXPECT_GE(chart->leftAxis()->axisMaximum(), 20);

    CGPoint third = chart->pixelForValues(2, 12, AxisDependency::Left);
    ASSERT_TRUE(driver.tapAt({chart->frame().origin.x + third.x + 4, chart->frame().origin.y + third.y + 30}))
        << driver.lastError();
    ASSERT_EQ(listener->selected.size(), 1u);
    EXPECT_EQ(listener->selected[0], (std::pair<double, double>{2, 12}));
    ASSERT_EQ(chart->highlighted().size(), 1u);
    EXPECT_EQ(marker->label->text(), "y 12");
    // Near the right edge the marker moves back inside the chart.
    EXPECT_EQ(marker->offsetForDrawingAtPoint({330, 10}).x, 335 - 330 - 80);
    EXPECT_TRUE(driver.shot(testShotPath("charts-line.png")));

    // Tapping the selected point again clears the selection.
    ASSERT_TRUE(driver.tapAt({chart->frame().origin.x + third.x, chart->frame().origin.y + third.y}));
    EXPECT_TRUE(chart->highlighted().empty());
    EXPECT_EQ(listener->nothingSelected, 1);
}

TEST_F(ChartsTest, LineChartWithOnePointOrNoneShowsOneLabelOrTheNoDataText) {
    auto chart = downloadsChart({7});
    chart->xAxis()->setValueFormatter(make<IndexAxisValueFormatter>(std::vector<std::string>{"12-01"}));
    chart->prepareForDrawing();
    std::vector<std::string> labels;
    for (double value : chart->xAxis()->entries())
        if (!chart->xAxis()->labelForValue(value).empty()) labels.push_back(chart->xAxis()->labelForValue(value));
    EXPECT_EQ(labels, std::vector<std::string>{"12-01"});

    chart->setData(make<LineChartData>(make<LineChartDataSet>(std::vector<Ref<ChartDataEntry>>{}, "")));
    EXPECT_TRUE(chart->data()->isEmpty());
    EXPECT_FALSE(chart->handleTapAt({100, 100})) << "nothing to select without entries";
}

TEST_F(ChartsTest, PieSlicesTakeTheirShareOfTheCircleFromTheRotation) {
    auto chart = make<PieChartView>(CGRect{0, 0, 300, 300});
    auto set = make<PieChartDataSet>(std::vector<Ref<ChartDataEntry>>{make<PieChartDataEntry>(30, "a"),
                                                                       make<PieChartDataEntry>(10, "b"),
                                                                       make<PieChartDataEntry>(60, "c")},
                                     "");
    set->setColors({UIColor::redColor(), UIColor::greenColor(), UIColor::blueColor()});
    chart->setData(make<PieChartData>(set));
    chart->setRotationAngle(0);
    chart->setDelegate(listener);
    window->addSubview(chart);
    driver.settle();
    chart->prepareForDrawing();

    EXPECT_EQ(chart->drawAngles(), (std::vector<CGFloat>{108, 36, 216}));
    EXPECT_EQ(chart->absoluteAngles(), (std::vector<CGFloat>{108, 144, 360}));
    EXPECT_EQ(chart->pieData()->yValueSum(), 100);
    ASSERT_EQ(chart->legend()->entries().size(), 3u);
    EXPECT_EQ(chart->legend()->entries()[1].label, "b");

    // Straight down from the centre (90 degrees) lies in the first slice
    // (0 to 108); straight up (270) in the third.
    CGPoint centre = chart->centerCircleBox();
    CGFloat r = chart->radius() * 0.8;
    ASSERT_TRUE(chart->handleTapAt({centre.x, centre.y + r}));
    ASSERT_TRUE(chart->handleTapAt({centre.x, centre.y - r}));
    EXPECT_EQ(listener->selected, (std::vector<std::pair<double, double>>{{0, 30}, {2, 60}}));

    // A drag a quarter turn around the centre turns the pie clockwise by
    // about as much (the pan begins at its first movement).
    CGPoint origin = chart->frame().origin;
    ASSERT_TRUE(driver.pan({origin.x + centre.x + r, origin.y + centre.y}, {origin.x + centre.x, origin.y + centre.y + r}));
    EXPECT_GT(chart->rotationAngle(), 60);
    EXPECT_LT(chart->rotationAngle(), 90.5);
    EXPECT_TRUE(driver.shot(testShotPath("charts-pie.png")));
}

TEST_F(ChartsTest, APieWithLabelsOutsideItsSlicesShrinksUntilTheWidestFitsBesideIt) {
    auto chart = make<PieChartView>(CGRect{0, 0, 300, 260});
    auto set = make<PieChartDataSet>(
        std::vector<Ref<ChartDataEntry>>{make<PieChartDataEntry>(50, "手机注册"), make<PieChartDataEntry>(10, "第三方登录")},
        "");
    chart->setData(make<PieChartData>(set));
    window->addSubview(chart);
    driver.settle();
    chart->prepareForDrawing();
    const CGFloat fullRadius = chart->radius();

    set->setXValuePosition(PieChartDataSet::ValuePosition::OutsideSlice);
    set->setValueLinePart1Length(0.5);
    set->setValueLinePart2Length(0.5);
    set->setValueLineVariableLength(true);
    chart->prepareForDrawing();
    // At the worst angle the label ends labelRadius x hypot(1.5, 0.5) + 5 +
    // its width from the centre; that stays 5 inside either side.
    const CGFloat width = NSStringDrawing::sizeWithAttributes("第三方登录", {.font = chart->entryLabelFont()}).width;
    const CGFloat labelRadius = chart->radius() * (1 - (1 - chart->holeRadiusPercent()) / 2);
    const CGFloat reach = labelRadius * std::hypot(1.5, 0.5) + 5 + width;
    EXPECT_LT(chart->radius(), fullRadius);
    EXPECT_NEAR(chart->centerCircleBox().x + reach, 300 - 5, 0.5);
    EXPECT_GE(chart->centerCircleBox().x - reach, 5 - 0.5);
}

}  // namespace
