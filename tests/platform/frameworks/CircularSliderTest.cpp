#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "frameworks/slider/CircularSlider.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"
#include "uikit/ViewSnapshot.h"

namespace {

// A 100 x 100 ring slider with 10-point strokes (ring radius 45) and no
// thumb, from 0 to 100, in a window at (50, 50).
class CircularSliderTest : public AppFixture {
protected:
    CircularSliderTest() : window(make<UIWindow>(CGRect{0, 0, 375, 667})) {
        window->makeKeyAndVisible();
        slider = make<CircularSlider>(CGRect{50, 50, 100, 100});
        slider->setMinimumValue(0);
        slider->setMaximumValue(100);
        slider->setLineWidth(10);
        slider->setBacktrackLineWidth(10);
        slider->setThumbRadius(0);
        slider->setThumbLineWidth(0);
        slider->setTrackColor(track);
        slider->setTrackFillColor(fill);
        window->addSubview(slider);
    }

    // The colour drawn on the ring's centre line at `angle` (radians
    // clockwise from +x), from a snapshot at scale 2.
    CGImagePixel ringPixel(double angle) const {
        auto image = snapshotView(slider, false, 2);
        const double x = 50 + 45 * std::cos(angle), y = 50 + 45 * std::sin(angle);
        return image->CGImage()->pixelAt(static_cast<std::size_t>(x * 2), static_cast<std::size_t>(y * 2));
    }
    static bool is(CGImagePixel pixel, const UIColor& colour) {
        auto channel = [](CGFloat value) { return static_cast<int>(std::lround(value * 255)); };
        return pixel.alpha > 250 && std::abs(pixel.red - channel(colour.red())) <= 3 &&
               std::abs(pixel.green - channel(colour.green())) <= 3 &&
               std::abs(pixel.blue - channel(colour.blue())) <= 3;
    }

    const UIColor track = UIColor::colorWithRed(0.3, 0.42, 0.89, 1);
    const UIColor fill = UIColor::colorWithRed(1, 0.78, 0.24, 1);
    Ref<UIWindow> window;
    Ref<CircularSlider> slider;
    UIDriver driver;
};

constexpr double kPi = std::numbers::pi;

TEST_F(CircularSliderTest, FillsClockwiseFromTheTopByTheValuesShare) {
    slider->setEndPointValue(50);
    EXPECT_EQ(slider->ringRadius(), 45);
    EXPECT_TRUE(is(ringPixel(-kPi / 2 + 0.1), fill));   // just past the top
    EXPECT_TRUE(is(ringPixel(kPi / 2 - 0.1), fill));    // just before the bottom
    EXPECT_TRUE(is(ringPixel(kPi / 2 + 0.1), track));   // past the half
    EXPECT_TRUE(is(ringPixel(-kPi / 2 - 0.1), track));  // the left half up to the top

    slider->setEndPointValue(0);
    EXPECT_TRUE(is(ringPixel(0), track));
    EXPECT_FALSE(is(ringPixel(-kPi / 2 + 0.1), fill));
}

TEST_F(CircularSliderTest, KeepsTheValueWithinTheRange) {
    slider->setEndPointValue(150);
    EXPECT_EQ(slider->endPointValue(), 100);
    EXPECT_TRUE(is(ringPixel(kPi), fill));
    slider->setEndPointValue(-3);
    EXPECT_EQ(slider->endPointValue(), 0);
    slider->setEndPointValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(slider->endPointValue(), 0);
    slider->setEndPointValue(80);
    slider->setMaximumValue(60);
    EXPECT_EQ(slider->endPointValue(), 60);
}

TEST_F(CircularSliderTest, DraggingAroundTheRingMovesTheValueAndReportsIt) {
    int changes = 0;
    slider->addTarget(nullptr, [&](const Ref<UIControl>&) { ++changes; }, UIControlEventValueChanged);
    // From the right of the ring (a quarter) down to its bottom (a half).
    ASSERT_TRUE(driver.pan({145, 100}, {100, 145}, 0.3, 3)) << driver.lastError();
    EXPECT_NEAR(slider->endPointValue(), 50, 0.5);
    EXPECT_GE(changes, 1);

    // Switched off, the ring ignores the finger.
    slider->setUserInteractionEnabled(false);
    driver.pan({100, 55}, {55, 100}, 0.3, 3);
    EXPECT_NEAR(slider->endPointValue(), 50, 0.5);
}

}  // namespace
