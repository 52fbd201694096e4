#include <gtest/gtest.h>

#include "app/stats/KXRegistTypePieCell.h"
#include "frameworks/charts/ChartUtils.h"
#include "tests/support/AppFixture.h"

namespace {

// The type statistics' pie card at the standard screen's size, fed with
// one big slice and a run of tiny neighbours whose names would collide.
class PieLabelPlacementTest : public AppFixture {
protected:
    PieLabelPlacementTest() {
        cell = make<KXRegistTypePieCell>(CGRect{0, 0, 335, 349});
        cell->layoutIfNeeded();
    }

    template <class Model, class Entry> static Ref<Model> channels(const std::vector<double>& counts) {
        auto model = make<Model>();
        for (std::size_t i = 0; i < counts.size(); ++i) {
            auto entry = make<Entry>();
            entry->count = counts[i];
            model->list.push_back(entry);
        }
        return model;
    }
    std::vector<CGRect> frames() {
        auto chart = cell->chartView();
        chart->prepareForDrawing();
        return cast<KXPieChartRenderer>(chart->renderer())->outsideTextFrames();
    }
    static bool apart(const CGRect& a, const CGRect& b) {
        return CGRectGetMaxY(a) <= CGRectGetMinY(b) + 1e-6 || CGRectGetMaxY(b) <= CGRectGetMinY(a) + 1e-6 ||
               CGRectGetMaxX(a) <= CGRectGetMinX(b) + 1e-6 || CGRectGetMaxX(b) <= CGRectGetMinX(a) + 1e-6;
    }
    CGFloat labelLineHeight() const { return ChartUtils::lineHeight(cell->chartView()->entryLabelFont()); }

    Ref<KXRegistTypePieCell> cell;
};

TEST_F(PieLabelPlacementTest, TinyNeighboursOnTheRightGoOneLineDownEach) {
    // From the top (270 degrees) clockwise: four tiny slices on the upper right.
    auto model = channels<KXRechargeTypeModel, KXRechargeTypeListModel>({1, 1, 1, 1, 96});
    model->payment = {"甲渠道", "乙渠道", "丙渠道", "丁渠道", "其他"};
    cell->rechargeTypeModel = model;
    cell->refreshRechargeType();
    const auto placed = frames();
    ASSERT_EQ(placed.size(), 5u);
    for (std::size_t k = 1; k < 4; ++k) {
        EXPECT_NEAR(CGRectGetMinY(placed[k]) - CGRectGetMinY(placed[k - 1]), labelLineHeight(), 1e-6) << k;
        EXPECT_GE(CGRectGetMinX(placed[k]), cell->chartView()->centerCircleBox().x) << "right side, left-aligned";
    }
    for (std::size_t a = 0; a < placed.size(); ++a)
        for (std::size_t b = a + 1; b < placed.size(); ++b) EXPECT_TRUE(apart(placed[a], placed[b])) << a << "," << b;
}

TEST_F(PieLabelPlacementTest, TinyNeighboursOnTheLeftGoOneLineUpEach) {
    // From 180 degrees clockwise, the first tiny slices rise on the left.
    auto model = channels<KXRegistTypeModel, KXRegistTypeListModel>({1, 1, 1, 97});
    model->reg_type = {"手机注册", "账号注册", "一键注册", "第三方登录"};
    cell->model = model;
    cell->refreshRegistType();
    const auto placed = frames();
    ASSERT_EQ(placed.size(), 4u);
    for (std::size_t k = 1; k < 3; ++k) {
        EXPECT_NEAR(CGRectGetMinY(placed[k - 1]) - CGRectGetMinY(placed[k]), labelLineHeight(), 1e-6) << k;
        EXPECT_LE(CGRectGetMaxX(placed[k]), cell->chartView()->centerCircleBox().x) << "left side, right-aligned";
    }
}

TEST_F(PieLabelPlacementTest, ManySmallSlicesAllAroundNeverOverlap) {
    // Runs of small slices on both sides, split by big ones, at the
    // registration chart's rotation, where the left side is visited twice.
    auto model = channels<KXRegistTypeModel, KXRegistTypeListModel>({2, 1, 1, 30, 1, 2, 1, 1, 40, 1, 1, 2, 1, 1, 15});
    for (std::size_t i = 0; i < model->list.size(); ++i) model->reg_type.push_back("渠道" + std::to_string(i + 1));
    cell->model = model;
    cell->refreshRegistType();
    const auto placed = frames();
    ASSERT_EQ(placed.size(), model->list.size());
    for (std::size_t a = 0; a < placed.size(); ++a)
        for (std::size_t b = a + 1; b < placed.size(); ++b) EXPECT_TRUE(apart(placed[a], placed[b])) << a << "," << b;
}

TEST_F(PieLabelPlacementTest, AnEmptyListGivesNoSlicesAndNoLegend) {
    cell->model = make<KXRegistTypeModel>();
    cell->refreshRegistType();
    EXPECT_TRUE(cell->chartView()->data()->isEmpty());
    EXPECT_TRUE(cell->chartView()->legend()->entries().empty());
    EXPECT_TRUE(frames().empty());
}

}  // namespace
