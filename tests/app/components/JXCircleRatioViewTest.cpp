#include <gtest/gtest.h>

#include <numbers>

#include "app/components/JXCircleRatioView.h"
#include "foundation/NSLog.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

Ref<JXCircleModel> item(std::string number, const UIColor& color, std::string name, std::string column) {
    auto model = make<JXCircleModel>();
    model->setNumber(std::move(number));
    model->setColor(color);
    model->setName(std::move(name));
    model->setColumn(std::move(column));
    return model;
}

class JXCircleRatioViewTest : public WidgetFixture {
protected:
    const UIColor red = UIColor::colorWithRed(0.9, 0.2, 0.2, 1);
    const UIColor green = UIColor::colorWithRed(0.2, 0.7, 0.3, 1);
    const UIColor blue = UIColor::colorWithRed(0.2, 0.3, 0.9, 1);

    std::vector<Ref<JXCircleModel>> oneOneTwo() const {
        return {item("1", red, "注册", "25%"), item("1", green, "充值", "25%"), item("2", blue, "登录", "50%")};
    }
    // A point at `radius` from the centre (150, 150) of a 300 x 300 chart.
    static CGPoint polar(double angle, double radius) {
        return {150 + radius * std::cos(angle), 150 + radius * std::sin(angle)};
    }
};

TEST_F(JXCircleRatioViewTest, SectorsTakeTheirShareClockwiseFromTheRight) {
    EXPECT_DOUBLE_EQ(JXCircleRatioView::getShareNumber(oneOneTwo()), std::numbers::pi / 2);
    auto chart = place(make<JXCircleRatioView>(CGRect{0, 0, 300, 300}, oneOneTwo(), 100), {30, 100, 300, 300});

    NSLogCapture log;
    auto image = render(chart, "ring-chart");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"angle_end == 1.570796", "angle_end == 3.141593",
                                                     "angle_end == 6.283185"}));

    // Between the centre disc (radius 70) and the rim (100): the sector's colour.
    EXPECT_TRUE(near(at(image, polar(std::numbers::pi / 4, 85).x, polar(std::numbers::pi / 4, 85).y), red));
    EXPECT_TRUE(near(at(image, polar(3 * std::numbers::pi / 4, 85).x, polar(3 * std::numbers::pi / 4, 85).y), green));
    EXPECT_TRUE(near(at(image, polar(3 * std::numbers::pi / 2, 85).x, polar(3 * std::numbers::pi / 2, 85).y), blue));
    EXPECT_TRUE(near(at(image, 150, 150), UIColor::whiteColor()));
    EXPECT_TRUE(near(at(image, polar(0.3, 65).x, polar(0.3, 65).y), UIColor::whiteColor()));
}

TEST_F(JXCircleRatioViewTest, LeadersRunOutwardOnTheSideOfTheirSector) {
    auto chart = place(make<JXCircleRatioView>(CGRect{0, 0, 300, 300}, oneOneTwo(), 80), {0, 0, 300, 300});
    auto image = render(chart, "ring-chart-leaders");
    // The green sector's middle (3π/4) lies left of the centre: dot at 90 points
    // out, elbow 10 further, then a line 60 points to the left.
    const double angle = 3 * std::numbers::pi / 4;
    const CGPoint elbow = polar(angle, 100);
    EXPECT_TRUE(near(at(image, polar(angle, 90).x, polar(angle, 90).y), green));
    EXPECT_TRUE(near(image->CGImage()->pixelAt(static_cast<std::size_t>((elbow.x - 40) * 2),
                                               static_cast<std::size_t>(std::floor(elbow.y * 2))),
                     green));
    // The red sector's middle (π/4) lies right: its line runs to the right.
    const CGPoint redElbow = polar(std::numbers::pi / 4, 100);
    EXPECT_TRUE(near(image->CGImage()->pixelAt(static_cast<std::size_t>((redElbow.x + 40) * 2),
                                               static_cast<std::size_t>(std::floor(redElbow.y * 2))),
                     red));
}

TEST_F(JXCircleRatioViewTest, AllZeroValuesDrawOnlyTheCentreDisc) {
    std::vector<Ref<JXCircleModel>> zeros{item("0", red, "a", "0%"), item("abc", green, "b", "0%")};
    EXPECT_TRUE(std::isinf(JXCircleRatioView::getShareNumber(zeros)));
    auto chart = place(make<JXCircleRatioView>(CGRect{0, 0, 300, 300}, zeros, 100), {0, 0, 300, 300});
    NSLogCapture log;
    auto image = render(chart, "ring-chart-empty");
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(near(at(image, 150, 150), UIColor::whiteColor()));
    EXPECT_EQ(at(image, polar(0.5, 85).x, polar(0.5, 85).y).alpha, 0);

    chart->setDataArray({});
    EXPECT_EQ(at(render(chart, "ring-chart-none"), polar(0.5, 85).x, polar(0.5, 85).y).alpha, 0);
}

TEST_F(JXCircleRatioViewTest, NewItemsRedrawTheChart) {
    auto chart = place(make<JXCircleRatioView>(CGRect{0, 0, 300, 300}, oneOneTwo(), 100), {0, 0, 300, 300});
    chart->setDataArray({item("3", blue, "x", "100%")});
    auto image = render(chart, "ring-chart-single");
    EXPECT_TRUE(near(at(image, polar(std::numbers::pi / 4, 85).x, polar(std::numbers::pi / 4, 85).y), blue));
    EXPECT_TRUE(near(at(image, polar(3 * std::numbers::pi / 4, 85).x, polar(3 * std::numbers::pi / 4, 85).y), blue));
}

}  // namespace
