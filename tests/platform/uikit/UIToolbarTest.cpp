// The toolbar: items as buttons, flexible spaces, taps, later changes.
#include <gtest/gtest.h>

#include "tests/platform/uikit/ControlsTestFixture.h"
#include "uikit/UIToolbar.h"

namespace {

class UIToolbarTest : public ControlsFixture {};

TEST_F(UIToolbarTest, ItemsShowAsButtonsAroundFlexibleSpaceAndFollowTheirItems) {
    auto toolbar = place(make<UIToolbar>(), CGRectMake(0, 400, 320, 55));
    toolbar->setBarStyle(UIBarStyle::BlackTranslucent);
    auto left = make<UIBarButtonItem>("取消", UIBarButtonItemStyle::Done, toolbar,
                                      [&](const Ref<UIBarButtonItem>&) { log.push_back("cancel"); });
    auto right = make<UIBarButtonItem>("选取", UIBarButtonItemStyle::Done, toolbar,
                                       [&](const Ref<UIBarButtonItem>&) { log.push_back("choose"); });
    left->setWidth(60);
    right->setWidth(60);
    toolbar->setItems({left, nullptr, right});
    window->layoutIfNeeded();

    auto cancel = toolbar->buttonForItem(left);
    auto choose = toolbar->buttonForItem(right);
    ASSERT_TRUE(cancel && choose);
    EXPECT_EQ(cancel->frame(), CGRectMake(8, 0, 60, 55));
    EXPECT_EQ(choose->frame(), CGRectMake(320 - 8 - 60, 0, 60, 55));
    ASSERT_TRUE(driver.tap("选取"));
    ASSERT_TRUE(driver.tap("取消"));
    EXPECT_EQ(log, (std::vector<std::string>{"choose", "cancel"}));

    // A renamed, disabled item shows so at the next layout and takes no tap.
    right->setTitle("重试");
    right->setEnabled(false);
    toolbar->setNeedsLayout();
    window->layoutIfNeeded();
    EXPECT_EQ(choose->currentTitle(), std::optional<std::string>("重试"));
    EXPECT_FALSE(choose->isEnabled());
    driver.tap(choose);
    EXPECT_EQ(log.size(), 2u);
}

}  // namespace
