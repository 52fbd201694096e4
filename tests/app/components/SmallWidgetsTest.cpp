#include <gtest/gtest.h>

#include "app/components/LFOpinionView.h"
#include "app/components/ZYProGressView.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

using ZYProGressViewTest = WidgetFixture;

TEST_F(ZYProGressViewTest, AnimatesTheBarToTheShareOfTheTrack) {
    auto bar = place(make<ZYProGressView>(CGRect{0, 0, 200, 6}), {20, 100, 200, 6});
    EXPECT_EQ(bar->viewBottom()->frame(), (CGRect{0, 0, 200, 6}));
    EXPECT_EQ(bar->viewTop()->frame(), (CGRect{0, 0, 0, 6}));

    bar->setProgressValue("0.5");
    EXPECT_FLOAT_EQ(bar->time(), 3.0f);  // no time set: three seconds
    EXPECT_EQ(bar->viewTop()->frame(), (CGRect{0, 0, 100, 6}));

    bar->setTime(1);
    bar->setProgressColor(UIColor::blueColor());
    bar->setBottomColor(UIColor::lightGrayColor());
    bar->setProgressValue("0.8");
    EXPECT_NEAR(bar->viewTop()->frame().size.width, 160, 1e-4);  // 0.8 read as a float
    EXPECT_EQ(bar->viewTop()->backgroundColor(), UIColor::blueColor());
    EXPECT_EQ(bar->viewBottom()->backgroundColor(), UIColor::lightGrayColor());

    auto image = render(bar, "progress");
    EXPECT_TRUE(near(at(image, 80, 3), UIColor::blueColor()));
    EXPECT_TRUE(near(at(image, 180, 3), UIColor::lightGrayColor()));

    bar->setProgressValue("1.7");  // past the end: the track shows a full bar
    EXPECT_NEAR(bar->viewTop()->frame().size.width, 340, 1e-3);
    EXPECT_TRUE(near(at(render(bar, "progress-past-end"), 190, 3), UIColor::blueColor()));
    bar->setProgressValue("not a number");
    EXPECT_EQ(bar->viewTop()->frame().size.width, 0);
}

TEST_F(ZYProGressViewTest, ValuesOutOfReachLeaveTheBarOnItsTrack) {
    auto bar = place(make<ZYProGressView>(CGRect{0, 0, 200, 6}), {20, 100, 200, 6});
    // Below 0 and beyond the float's range: an empty or full bar, and the
    // next value shows as it should.
    for (const auto& [value, width] : std::vector<std::pair<std::string, CGFloat>>{
             {"-0.5", 0}, {"-1e40", 0}, {"1e40", 200}}) {
        bar->setProgressValue(value);
        EXPECT_EQ(bar->viewTop()->frame(), (CGRect{0, 0, width, 6})) << value;
        bar->setProgressValue("0.5");
        EXPECT_EQ(bar->viewTop()->frame(), (CGRect{0, 0, 100, 6})) << value;
    }
}

using LFOpinionViewTest = WidgetFixture;

TEST_F(LFOpinionViewTest, PlaceholderFollowsTheUsersEdits) {
    auto view = place(make<LFOpinionView>(CGRect{0, 0, 300, 120}), {20, 100, 300, 120});
    view->setPlaceholder("请输入您的意见");
    auto label = view->placeholderLable();
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text(), "请输入您的意见");
    EXPECT_FALSE(label->isHidden());

    ASSERT_TRUE(driver.typeText(view, "好"));
    EXPECT_TRUE(label->isHidden());
    ASSERT_TRUE(driver.deleteBackward());
    EXPECT_EQ(view->text(), "");
    EXPECT_FALSE(label->isHidden());

    view->setText("set in code");  // no edit notification: the placeholder stays
    EXPECT_FALSE(label->isHidden());
    ASSERT_TRUE(driver.typeText(view, "!"));
    EXPECT_TRUE(label->isHidden());
}

TEST_F(LFOpinionViewTest, PlaceholderSitsAtTheTextInsetInTheViewsFont) {
    auto view = place(make<LFOpinionView>(CGRect{0, 0, 120, 100}), {20, 100, 120, 100});
    EXPECT_EQ(view->font().pointSize(), 14);
    EXPECT_EQ(view->placeholderLable()->font().pointSize(), 14);
    EXPECT_EQ(view->placeholderLable()->textColor(), UIColor::colorWithRed(189 / 255.0, 189 / 255.0, 193 / 255.0, 1));

    view->setPlaceholder("一段比较长的提示文字会换行显示");
    window->layoutIfNeeded();
    CGRect frame = view->placeholderLable()->frame();
    EXPECT_EQ(frame.origin, (CGPoint{5, 8}));
    EXPECT_LE(frame.size.width, 110);
    EXPECT_GT(frame.size.height, UIFont::systemFontOfSize(14).lineHeight() * 1.5);  // wrapped to more than one line

    view->setFont(UIFont::systemFontOfSize(20));
    EXPECT_EQ(view->placeholderLable()->font().pointSize(), 20);
    render(window, "opinion-view");
}

TEST_F(LFOpinionViewTest, StopsObservingWhenGone) {
    WeakRef<LFOpinionView> gone;
    {
        auto view = make<LFOpinionView>(CGRect{0, 0, 100, 50});
        gone = view;
    }
    EXPECT_TRUE(gone.expired());
    // Another text view's edits reach no stale observer.
    auto other = place(make<LFOpinionView>(CGRect{0, 0, 100, 50}), {0, 0, 100, 50});
    EXPECT_TRUE(driver.typeText(other, "x"));
    EXPECT_TRUE(other->placeholderLable()->isHidden());
}

}  // namespace
