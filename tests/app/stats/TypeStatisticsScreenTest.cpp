#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/stats/KXRegistTypeCell.h"
#include "app/stats/KXRegistTypeController.h"
#include "app/stats/KXRegistTypePieCell.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "tests/app/stats/StatsScreenFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/TextFitCheck.h"

namespace {

class TypeStatisticsScreenTest : public StatsScreenFixture {
protected:
    Ref<KXRegistTypeController> openType(KXMineNavType type) {
        screen = make<KXRegistTypeController>();
        screen->setType(type);
        open(screen, [&] {
            return screen->collectionProtocol()->model || screen->collectionProtocol()->rechargeTypeModel;
        });
        return screen;
    }
    template <class Cell> Ref<Cell> item(long index, long section) {
        const auto path = NSIndexPath::indexPathForItem(index, section);
        if (!driver.scrollToItem(screen->collectionView(), path)) return nullptr;
        return cast<Cell>(screen->collectionView()->cellForItemAtIndexPath(path));
    }
    // Checks that no two texts drawn outside the pie share any area.
    static void expectApart(const std::vector<CGRect>& frames) {
        for (std::size_t a = 0; a < frames.size(); ++a)
            for (std::size_t b = a + 1; b < frames.size(); ++b) {
                const CGRect overlap = CGRectIntersection(frames[a], frames[b]);
                EXPECT_TRUE(CGRectIsNull(overlap) || overlap.size.width * overlap.size.height < 1e-6)
                    << "texts " << a << " and " << b << " overlap";
            }
    }
    // The table's texts row by row.
    std::vector<std::string> rowTexts(long row) {
        auto cell = item<KXRegistTypeCell>(row, 1);
        if (!cell) return {};
        return {cell->rankLabel()->text(), cell->userLabel()->text(), cell->lowUserLabel()->text()};
    }

    // From here on the screen's requests go through a relay that can answer
    // in the back end's place.
    HoldingRelay& relayed() {
        relay = std::make_unique<HoldingRelay>(backend->port());
        KXServiceAddress::setBaseURL(relay->baseURL());
        return *relay;
    }

    Ref<KXRegistTypeController> screen;
    std::unique_ptr<HoldingRelay> relay;
};

TEST_F(TypeStatisticsScreenTest, RegistrationTypesShowTheirPieAndTable) {
    openType(KXMineNavType::registType);
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "注册方式");
    const auto model = screen->collectionProtocol()->model;
    ASSERT_FALSE(model->list.empty());
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(1), static_cast<long>(model->list.size()) + 1);

    auto pie = item<KXRegistTypePieCell>(0, 0);
    ASSERT_TRUE(pie);
    pie->layoutIfNeeded();
    auto chart = pie->chartView();
    EXPECT_EQ(chart->rotationAngle(), 180);
    EXPECT_FALSE(chart->chartDescription()->isEnabled()) << "no placeholder caption under the pie";
    ASSERT_TRUE(chart->data());
    EXPECT_EQ(chart->data()->entryCount(), static_cast<long>(model->list.size()));
    ASSERT_EQ(chart->legend()->entries().size(), model->reg_type.size());
    EXPECT_EQ(chart->legend()->entries()[0].label, model->reg_type[0]);
    chart->prepareForDrawing();
    auto renderer = cast<KXPieChartRenderer>(chart->renderer());
    ASSERT_TRUE(renderer);
    const auto frames = renderer->outsideTextFrames();
    EXPECT_EQ(frames.size(), model->list.size());
    expectApart(frames);
    shot("stats", "registration-types");

    EXPECT_EQ(rowTexts(0), (std::vector<std::string>{"渠道", "注册量", "占比"}));
    const auto first = model->list[0];
    EXPECT_EQ(rowTexts(1)[0], first->reg_type);
    EXPECT_EQ(rowTexts(1)[2], first->bfb);
    EXPECT_EQ(rowTexts(1)[1].find('.') != std::string::npos, true) << rowTexts(1)[1];
    auto header = cast<KXHomeHeader>(screen->collectionView()->layoutAttributesForSupplementaryElementOfKind(
                                         UICollectionElementKindSectionHeader, NSIndexPath::indexPathForItem(0, 1))
                                         ? driver.findAllOfClass("KXHomeHeader").front()
                                         : nullptr);
    ASSERT_TRUE(header);
    EXPECT_EQ(header->titleLabel()->text(), "数据");
}

TEST_F(TypeStatisticsScreenTest, TopUpTypesShowTheirPieAndTable) {
    openType(KXMineNavType::rechargeType);
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "充值方式");
    const auto model = screen->collectionProtocol()->rechargeTypeModel;
    ASSERT_FALSE(model->list.empty());
    auto pie = item<KXRegistTypePieCell>(0, 0);
    ASSERT_TRUE(pie);
    auto chart = pie->chartView();
    EXPECT_EQ(chart->rotationAngle(), 270) << "the top-up chart keeps the starting rotation";
    chart->prepareForDrawing();
    expectApart(cast<KXPieChartRenderer>(chart->renderer())->outsideTextFrames());
    shot("stats", "top-up-types");
    EXPECT_EQ(rowTexts(0), (std::vector<std::string>{"渠道", "充值金额", "占比"}));
    EXPECT_EQ(rowTexts(1)[0], model->list[0]->payment);
}

// On the standard screen and, where ctest runs it again, on the small one.
class TypeStatisticsAtEitherSize : public TypeStatisticsScreenTest {
protected:
    void SetUp() override {
        folder = configureTestScreen().empty() ? "stats" : "stats-se";
        TypeStatisticsScreenTest::SetUp();
    }
    std::string folder;
};

// Large counts and sums show in decimal form, as small ones do, each whole on
// its line and inside its column, the longest the count writer makes too.
TEST_F(TypeStatisticsAtEitherSize, LargeCountsAndSumsShowWholeWithoutAnExponent) {
    relayed().script("regment", R"({"code":1,"message":"","data":{"list":[)"
                                R"({"count":2000000,"reg_type":"官网","bfb":"95.24%"},)"
                                R"({"count":100000,"reg_type":"渠道","bfb":"4.76%"},)"
                                R"({"count":9999999999999998,"reg_type":"推广","bfb":"100.00%"}],)"
                                R"("reg_type":["官网","渠道","推广"]}})");
    openType(KXMineNavType::registType);
    EXPECT_EQ(rowTexts(1), (std::vector<std::string>{"官网", "2000000.0", "95.24%"}));
    EXPECT_EQ(rowTexts(2), (std::vector<std::string>{"渠道", "100000.0", "4.76%"}));
    EXPECT_EQ(rowTexts(3), (std::vector<std::string>{"推广", "9999999999999998.0", "100.00%"}));
    expectNothingCutOff(driver, "large counts");
    shot(folder, "large-counts");

    relay->script("payment", R"({"code":1,"message":"","data":{"list":[)"
                             R"({"count":123456789012.35,"payment":"支付宝","bfb":"100.00%"},)"
                             R"({"count":99999999999.99,"payment":"微信","bfb":"0.00%"},)"
                             R"({"count":-9999999999999998,"payment":"退款","bfb":"0.00%"}],)"
                             R"("payment":["支付宝","微信","退款"]}})");
    openType(KXMineNavType::rechargeType);
    EXPECT_EQ(rowTexts(1), (std::vector<std::string>{"支付宝", "123456789012.35", "100.00%"}));
    EXPECT_EQ(rowTexts(2)[1], "99999999999.99");
    EXPECT_EQ(rowTexts(3)[1], "-9999999999999998.0");
    expectNothingCutOff(driver, "large sums");
    shot(folder, "large-sums");
}

TEST_F(TypeStatisticsScreenTest, AFailureToastsAndLeavesTheTitleRowAlone) {
    signInAsStranger();
    screen = make<KXRegistTypeController>();
    screen->setType(KXMineNavType::rechargeType);
    open(screen, [&] { return toastOn(screen->view()) == kStrangerMessage; });
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(1), 1);
    EXPECT_EQ(item<KXRegistTypePieCell>(0, 0)->chartView()->data()->entryCount(), 0);
}

TEST_F(TypeStatisticsScreenTest, AnotherTypeAsksNothingAndListsNothing) {
    // Any request would be refused and toasted.
    signInAsStranger();
    screen = make<KXRegistTypeController>();
    screen->setType(KXMineNavType::consumeRank);
    open(screen, [] { return true; });
    EXPECT_FALSE(runUntil([&] { return !toastOn(screen->view()).empty(); }, 1)) << "no request is sent";
    const std::string title = screen->navigationView()->titleLabel()->text();
    EXPECT_TRUE(title != "注册方式" && title != "充值方式") << title;
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(0), 1);
    EXPECT_EQ(screen->collectionView()->numberOfItemsInSection(1), 0);
}

}  // namespace
