#include <gtest/gtest.h>

#include "ControllersTestSupport.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIAlertView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"

using Lines = std::vector<std::string>;

namespace {

class RecordingAlertDelegate : public UIAlertViewDelegate {
public:
    void clickedButtonAtIndex(const Ref<UIAlertView>& alert, long index) override {
        events.push_back("clicked:" + alert->buttonTitleAtIndex(index));
    }
    void didDismissWithButtonIndex(const Ref<UIAlertView>&, long index) override {
        events.push_back("dismissed:" + std::to_string(index));
    }
    Lines events;
};

class AlertTest : public ControllersFixture {
protected:
    UIDriver driver;
};

TEST_F(AlertTest, ActionSheetTapDismissesThenRunsTheHandler) {
    auto screen = controller("screen");
    show(screen);
    take();
    Lines ran;
    auto sheet = UIAlertController::alertControllerWithTitle("删除", "确定要删除", UIAlertControllerStyle::ActionSheet);
    sheet->addAction(UIAlertAction::actionWithTitle("确定", UIAlertActionStyle::Default, [&](const Ref<UIAlertAction>& a) {
        ran.push_back(a->title() + (screen->presentedViewController() ? " while shown" : " after dismissal"));
    }));
    sheet->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyle::Default));
    screen->presentViewController(sheet, true);
    clock.advance(0.35);
    EXPECT_TRUE(take().empty()) << "the presenter stays on screen";
    ASSERT_NE(driver.find("确定要删除"), nullptr);

    ASSERT_TRUE(driver.tap("确定")) << driver.lastError();
    EXPECT_TRUE(ran.empty()) << "the handler waits for the dismissal";
    clock.advance(0.35);
    EXPECT_EQ(ran, (Lines{"确定 after dismissal"}));
    EXPECT_EQ(driver.find("确定要删除"), nullptr);
    EXPECT_FALSE(driver.tap("取消"));
}

TEST_F(AlertTest, ActionsWithoutHandlerOnlyDismissAndButtonsFollowTheirStyles) {
    auto screen = controller("screen");
    show(screen);
    auto alert = UIAlertController::alertControllerWithTitle("138-0013-8000", "", UIAlertControllerStyle::Alert);
    alert->popoverPresentationController()->setSourceView(screen->view());
    alert->addAction(UIAlertAction::actionWithTitle("呼叫", UIAlertActionStyle::Destructive));
    alert->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyle::Cancel));
    screen->presentViewController(alert, false);
    auto call = driver.find("呼叫"), cancel = driver.find("取消");
    ASSERT_TRUE(call && cancel);
    window->layoutIfNeeded();
    EXPECT_LT(cancel->convertPointToView({0, 0}, nullptr).x, call->convertPointToView({0, 0}, nullptr).x)
        << "in an alert of two the cancel button sits on the left";
    ASSERT_TRUE(driver.tap(cancel));
    clock.advance(0.35);
    EXPECT_EQ(screen->presentedViewController(), nullptr);
}

TEST_F(AlertTest, AlertViewShowsInItsOwnKeyWindowAndTellsItsDelegate) {
    show(controller("screen"));
    auto delegate = std::make_shared<RecordingAlertDelegate>();
    auto alert = make<UIAlertView>("", "取消后将退出本次登录", delegate, "继续登录", std::vector<std::string>{"退出登录"});
    EXPECT_EQ(alert->numberOfButtons(), 2);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "退出登录");
    EXPECT_EQ(alert->buttonTitleAtIndex(2), "");
    alert->show();
    EXPECT_TRUE(alert->isVisible());
    EXPECT_NE(driver.keyWindow(), window);

    ASSERT_TRUE(driver.tap("退出登录")) << driver.lastError();
    EXPECT_EQ(delegate->events, (Lines{"clicked:退出登录", "dismissed:1"}));
    EXPECT_FALSE(alert->isVisible());
    EXPECT_EQ(driver.keyWindow(), window);

    auto plain = make<UIAlertView>("网络错误", "网络连接不可用。", nullptr, "我知道啦");
    plain->show();
    EXPECT_EQ(plain->cancelButtonIndex(), 0);
    plain->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(driver.keyWindow(), window);
    EXPECT_EQ(make<UIAlertView>("t", "m", nullptr, "")->cancelButtonIndex(), -1);
}

}  // namespace
