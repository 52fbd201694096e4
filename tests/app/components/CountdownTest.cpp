#include <gtest/gtest.h>

#include "app/components/Countdown.h"
#include "foundation/NSString.h"
#include "tests/app/components/WidgetFixture.h"
#include "uikit/UIButton.h"

namespace {

class CountdownTest : public WidgetFixture {
protected:
    CountdownTest() {
        button->setTitle("获取验证码", UIControlStateNormal);
        button->setBackgroundColor(UIColor::colorWithRed(0.35, 0.47, 1, 1));
        button->addTarget(nullptr, [this](const Ref<UIControl>&) { ++taps; }, UIControlEventTouchUpInside);
        place(button, {100, 300, 160, 44});
    }

    // The title the button shows once the background tick has reached it.
    bool showsTitle(const std::string& title) {
        return runUntil([&] { return button->titleForState(UIControlStateNormal) == title; });
    }
    static std::string counting(int seconds) { return NSString::stringWithFormat("重新发送(%.2d)", seconds); }

    Ref<UIButton> button = make<UIButton>();
    int taps = 0;
};

TEST_F(CountdownTest, CountsFrom59To01OneASecondThenResets) {
    Countdown::StartTimeCodeBtn(button);
    ASSERT_TRUE(showsTitle("重新发送(59)"));  // the first tick comes at once
    EXPECT_FALSE(button->isUserInteractionEnabled());
    driver.tap(button);
    EXPECT_EQ(taps, 0);

    for (int seconds = 58; seconds >= 1; --seconds) {
        clock.advance(1);
        ASSERT_TRUE(showsTitle(counting(seconds))) << "at " << seconds << ": " << button->titleForState(UIControlStateNormal).value_or("-");
        if (seconds == 50) render(window, "countdown");  // the tenth title, nine seconds in
    }
    EXPECT_FALSE(button->isUserInteractionEnabled());

    clock.advance(1);
    ASSERT_TRUE(showsTitle("获取验证码"));
    EXPECT_TRUE(button->isUserInteractionEnabled());
    EXPECT_TRUE(driver.tap(button));
    EXPECT_EQ(taps, 1);

    clock.advance(5);  // the count has ended: nothing changes the title any more
    EXPECT_FALSE(runUntil([&] { return button->titleForState(UIControlStateNormal) != "获取验证码"; }, 0.05));
}

TEST_F(CountdownTest, StartingAgainReplacesTheCountSoTwoNeverShareTheButton) {
    Countdown::StartTimeCodeBtn(button);
    ASSERT_TRUE(showsTitle("重新发送(59)"));
    clock.advance(1);
    ASSERT_TRUE(showsTitle("重新发送(58)"));
    clock.advance(1);
    ASSERT_TRUE(showsTitle("重新发送(57)"));

    Countdown::StartTimeCodeBtn(button);
    ASSERT_TRUE(showsTitle("重新发送(59)"));
    // Past the point where the first count would have ended, only the second one runs.
    for (int seconds = 58; seconds >= 2; --seconds) {
        clock.advance(1);
        ASSERT_TRUE(showsTitle(counting(seconds))) << "at " << seconds << ": " << button->titleForState(UIControlStateNormal).value_or("-");
    }
    EXPECT_FALSE(button->isUserInteractionEnabled());
    clock.advance(1);
    ASSERT_TRUE(showsTitle(counting(1)));
    clock.advance(1);
    ASSERT_TRUE(showsTitle("获取验证码"));
    EXPECT_TRUE(button->isUserInteractionEnabled());
}

}  // namespace
