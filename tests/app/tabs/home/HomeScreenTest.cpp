#include <gtest/gtest.h>

#include <ctime>

#include <httplib.h>

#include "app/components/KXScanViewController.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXRequestSignature.h"
#include "app/shell/KXUniversal.h"
#include "app/tabs/home/KXHomeController.h"
#include "app/tabs/home/KXHomeDataCell.h"
#include "app/tabs/home/KXHomeFunctionCell.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "app/tabs/mine/KXMenuDispatch.h"
#include "frameworks/charts/ChartData.h"
#include "frameworks/charts/ChartDataSet.h"
#include "frameworks/charts/ChartFormatters.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/app/DemoPromoterFixture.h"

namespace {

// The Home tab as the tab bar shows it, against the local back end, signed
// in as the demo promoter.
class HomeScreenTest : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        KXLocallyStoredData::setUsername(Value("demo"));
        KXLocallyStoredData::setHead(Value(backend->baseURL() + "static/head/1.png"));
        home = make<KXHomeController>();
        stack = make<KXNavigationController>(home);
        showInWindow(stack);
        ASSERT_TRUE(runUntil([&] { return home->collectionProtocol()->model() != nullptr; }));
        driver.settle();
    }

    // The `data` of the back end's home answer, asked for directly.
    Value backEndAnswer() const {
        const std::string t = std::to_string(std::time(nullptr));
        httplib::Client client("127.0.0.1", backend->port());
        auto answer = client.Post("/?ct=app2022", "uid=1&t=" + t + "&sign=" + KXRequestSignature::sign({"1", t}),
                                  "application/x-www-form-urlencoded");
        return answer ? dictionaryFromJSONString(answer->body)["data"] : Value();
    }
    template <class Cell> Ref<Cell> cell(long item, long section) {
        const auto path = NSIndexPath::indexPathForItem(item, section);
        if (!driver.scrollToItem(home->collectionView(), path)) return nullptr;
        return std::dynamic_pointer_cast<Cell>(home->collectionView()->cellForItemAtIndexPath(path));
    }
    // The text a toast on the Home view shows ("" when none).
    std::string toastText() const {
        auto hud = MBProgressHUD::HUDForView(home->view());
        return hud ? hud->detailsLabel()->text() : std::string();
    }

    Ref<KXHomeController> home;
    Ref<KXNavigationController> stack;
};

TEST_F(HomeScreenTest, ShowsThePromoterAndTheBackEndsDashboard) {
    EXPECT_TRUE(home->navigationView()->isHidden());
    EXPECT_EQ(home->nameLabel()->text(), "demo");
    EXPECT_EQ(home->currentLoginLabel()->text(), "当前登录");
    EXPECT_TRUE(home->qrCodeButton()->isHidden());
    EXPECT_TRUE(runUntil([&] { return home->headImageView()->image() != nullptr; }));
    // The avatar lies over its red rounded ground, which stays behind it.
    EXPECT_EQ(home->headImageView()->backgroundColor(), UIColor::redColor());
    shot("home", "home-tab");

    const Value answer = backEndAnswer();
    const Value& figures = answer["shuju"];
    const Array* tiles = answer["nav"].array();
    const Array* ranking = answer["paihangbang"].array();
    ASSERT_TRUE(tiles && ranking);
    ASSERT_GE(ranking->size(), 4u);
    const auto text = [](const Value& value) { return value.text() ? *value.text() : std::string("(none)"); };

    auto collection = home->collectionView();
    EXPECT_EQ(collection->numberOfItemsInSection(0), static_cast<long>(tiles->size()));
    auto firstTile = cell<KXHomeFunctionCell>(0, 0);
    ASSERT_TRUE(firstTile);
    EXPECT_EQ(firstTile->titleLabel()->text(), text(answer["nav"][0]["name"]));

    auto card = cell<KXHomeDataCell>(0, 1);
    ASSERT_TRUE(card);
    const auto figure = [&](const char* key) { return text(figures[key]); };
    EXPECT_EQ(card->newUserLabel()->text(), figure("reg"));
    EXPECT_EQ(card->conversionRateLabel()->text(), figure("fufeilv"));
    EXPECT_EQ(card->payNumLabel()->text(), figure("pay"));
    EXPECT_EQ(card->payPriceLabel()->text(), figure("money"));
    EXPECT_DOUBLE_EQ(card->circularSlider()->endPointValue(), std::stod(figure("fufeilv")));

    EXPECT_EQ(collection->numberOfItemsInSection(2), 3);
    EXPECT_EQ(collection->numberOfItemsInSection(3), static_cast<long>(ranking->size()) - 2);
    auto first = cell<KXHomeTopThreeRankCell>(0, 2);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->nameLabel()->text(), text(answer["paihangbang"][0]["name"]));
    auto fourth = cell<KXHomeOtherRankCell>(1, 3);
    ASSERT_TRUE(fourth);
    EXPECT_EQ(fourth->userLabel()->text(), text(answer["paihangbang"][3]["name"]));
    EXPECT_EQ(fourth->lowUserLabel()->text(), text(answer["paihangbang"][3]["num"]));
    shot("home", "home-tab-ranking");
}

TEST_F(HomeScreenTest, TheDownloadChartShowsTheAnswersSevenDaysAndTellsATappedOne) {
    const Value answer = backEndAnswer();
    const Array* days = answer["shuju"]["down"]["day"].array();
    const Array* counts = answer["shuju"]["down"]["num"].array();
    ASSERT_TRUE(days && counts);
    ASSERT_EQ(days->size(), 7u);

    auto card = cell<KXHomeDataCell>(0, 1);
    ASSERT_TRUE(card);
    auto chart = card->chartView();
    auto series = chart->lineData() ? chart->lineData()->dataSetAtIndex(0) : nullptr;
    ASSERT_TRUE(series);
    ASSERT_EQ(series->entryCount(), 7);
    auto formatter = std::dynamic_pointer_cast<IndexAxisValueFormatter>(chart->xAxis()->valueFormatter());
    ASSERT_TRUE(formatter);
    for (std::size_t day = 0; day < 7; ++day) {
        EXPECT_EQ(formatter->values()[day], *(*days)[day].text());
        EXPECT_EQ(series->entryForIndex(static_cast<long>(day))->y(), (*counts)[day].doubleValue());
    }

    // Tapping the last day's point puts up its bubble.
    chart->prepareForDrawing();
    auto last = series->entryForIndex(6);
    const CGPoint point = chart->pixelForValues(last->x(), last->y(), AxisDependency::Left);
    ASSERT_TRUE(driver.tapAt(chart->convertPointToView(point, window))) << driver.lastError();
    auto marker = std::dynamic_pointer_cast<MarkerView>(chart->marker());
    ASSERT_TRUE(marker && !marker->subviews().empty());
    std::vector<std::string> lines;
    for (const auto& line : marker->subviews().front()->subviews())
        if (auto label = std::dynamic_pointer_cast<UILabel>(line)) lines.push_back(label->text());
    char count[32];
    std::snprintf(count, sizeof count, "%.1f", last->y());
    EXPECT_EQ(lines, (std::vector<std::string>{"日期：" + *(*days)[6].text(), std::string("下载量：") + count}));
    shot("home", "home-tab-chart");
}

TEST_F(HomeScreenTest, EveryGridTileOpensItsScreenThroughTheMenuDispatch) {
    const auto tiles = home->collectionProtocol()->model()->nav;
    ASSERT_FALSE(tiles.empty());
    int opened = 0;
    for (std::size_t index = 0; index < tiles.size(); ++index) {
        const auto navType = KXMineNavTypeFromRawValue(tiles[index]->type);
        ASSERT_TRUE(navType) << tiles[index]->type;
        const auto factory = menuScreenFactory(*navType);
        const std::string expected = factory ? (*factory)()->className() : std::string();
        ASSERT_TRUE(driver.selectItem(home->collectionView(), NSIndexPath::indexPathForItem(static_cast<long>(index), 0)))
            << driver.lastError();
        finishTransition();
        const std::string shown = stack->viewControllers().size() > 1 ? stack->topViewController()->className() : "";
        EXPECT_EQ(shown, expected) << tiles[index]->name;
        if (!shown.empty()) ++opened;
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
    }
    EXPECT_GE(opened, 2);
}

TEST_F(HomeScreenTest, AFailedRefreshIsToastedAndTheDashboardStays) {
    auto shown = home->collectionProtocol()->model();
    backend->stop();
    ASSERT_TRUE(driver.pullDown(home->collectionView())) << driver.lastError();
    auto header = UIScrollViewMJRefresh::mj_header(home->collectionView());
    ASSERT_TRUE(header);
    ASSERT_TRUE(runUntil([&] { return !toastText().empty(); }));
    EXPECT_EQ(toastText(), "获取数据失败");
    EXPECT_FALSE(header->isRefreshing());
    EXPECT_EQ(home->collectionProtocol()->model(), shown);
}

TEST_F(HomeScreenTest, PullingDownLoadsTheAnswerAgain) {
    auto shown = home->collectionProtocol()->model();
    ASSERT_TRUE(driver.pullDown(home->collectionView())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return home->collectionProtocol()->model() != shown; }));
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_header(home->collectionView())->isRefreshing());
}

TEST_F(HomeScreenTest, TheHiddenScanButtonsActionPushesTheScanner) {
    home->qrCodeButtonClick(home->qrCodeButton());
    finishTransition();
    auto scanner = std::dynamic_pointer_cast<KXScanViewController>(stack->topViewController());
    ASSERT_TRUE(scanner);
    ASSERT_TRUE(scanner->scanStyle());
    EXPECT_FALSE(scanner->scanStyle()->isNeedShowRetangle);
}

}  // namespace
