#include <gtest/gtest.h>

#include "ControlsTestFixture.h"
#include "uikit/UIPanGestureRecognizer.h"

namespace {

// Accepts touches only while `accept` holds, like a pop gesture that works
// only above the root screen.
class PanDelegate : public NSObject, public UIGestureRecognizerDelegate {
public:
    bool accept = true;
    bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>&) override {
        return accept;
    }
};

class PanTest : public ControlsFixture {
protected:
    PanTest() {
        screen = place(make<UIView>(), CGRectMake(0, 0, 320, 480));
        pan = make<UIPanGestureRecognizer>(nullptr, [this](const Ref<UIGestureRecognizer>& r) {
            auto recognizer = std::static_pointer_cast<UIPanGestureRecognizer>(r);
            CGPoint t = recognizer->translationInView(screen);
            log.push_back(std::to_string(static_cast<int>(r->state())) + "@" + std::to_string(static_cast<int>(t.x)) +
                          "," + std::to_string(static_cast<int>(t.y)));
        });
        screen->addGestureRecognizer(pan);
    }
    Ref<UIView> screen;
    Ref<UIPanGestureRecognizer> pan;
};

TEST_F(PanTest, PanReportsBeganChangedAndEndedWithTheTranslation) {
    auto inner = place(make<UIView>(), CGRectMake(50, 50, 100, 100), screen);
    ASSERT_TRUE(driver.pan({60, 60}, {160, 100}, 0.4, 4)) << driver.lastError();
    EXPECT_EQ(log, (std::vector<std::string>{"1@25,10", "2@50,20", "2@75,30", "2@100,40", "3@100,40"}));
    // 25 points per 0.1 s step along x.
    EXPECT_NEAR(pan->velocityInView(screen).x, 250, 1e-9);
    EXPECT_NEAR(pan->velocityInView(screen).y, 100, 1e-9);
    EXPECT_EQ(pan->locationInView(inner), CGPointMake(110, 50));
    EXPECT_EQ(pan->state(), UIGestureRecognizerState::Possible);
}

TEST_F(PanTest, SetTranslationResetsTheReference) {
    pan->addTarget(nullptr, [this](const Ref<UIGestureRecognizer>&) {
        if (pan->state() == UIGestureRecognizerState::Changed) pan->setTranslation(CGPointZero, screen);
    });
    ASSERT_TRUE(driver.pan(screen, {30, 0}, 0.3, 3));
    // Each reset on a change leaves the next report only the movement since.
    EXPECT_EQ(log, (std::vector<std::string>{"1@10,0", "2@20,0", "2@10,0", "3@0,0"}));
}

TEST_F(PanTest, RefusedTouchesAndDisabledRecognizersDoNotPan) {
    auto delegate = make<PanDelegate>();
    delegate->accept = false;
    pan->setDelegate(delegate);
    EXPECT_FALSE(driver.pan({10, 10}, {200, 10}));
    delegate->accept = true;
    pan->setEnabled(false);
    EXPECT_FALSE(driver.pan({10, 10}, {200, 10}));
    EXPECT_TRUE(log.empty());
    pan->setEnabled(true);
    EXPECT_TRUE(driver.pan({10, 10}, {200, 10}));
    EXPECT_EQ(log.size(), 6u);
}

}  // namespace
