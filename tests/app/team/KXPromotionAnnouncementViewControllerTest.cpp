#include "app/payment/KXWebViewGameViewController.h"
#include "app/team/KXKfModel.h"
#include "app/team/KXPromotionAnnouncementCell.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "foundation/NSJSONSerialization.h"
#include "ShownTexts.h"
#include "TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"

namespace {

class AnnouncementScreen : public TeamScreenFixture {
protected:
    Ref<KXPromotionAnnouncementViewController> open() {
        auto screen = push<KXPromotionAnnouncementViewController>();
        EXPECT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 10; }));
        driver.settle();
        return screen;
    }
    Ref<KXPromotionAnnouncementCell> card(const Ref<KXPromotionAnnouncementViewController>& screen, long row) {
        return cast<KXPromotionAnnouncementCell>(
            screen->mainTabelView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
};

TEST_F(AnnouncementScreen, ListsTheAnnouncementsAsCardsPageByPage) {
    auto screen = open();
    EXPECT_EQ(screen->navigationItem()->title(), "推广公告");
    auto first = card(screen, 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->biaotiLabel()->text(), "推广联盟五月结算公告");
    EXPECT_EQ(first->miaoshuLabel()->text(), "五月佣金已于今日完成结算，请在资产页查看明细。");
    EXPECT_EQ(first->TypeLabel()->text(), "公告");
    EXPECT_EQ(first->dateLabel()->text().size(), 10u);
    EXPECT_EQ(first->beijingbaiseView()->layer()->cornerRadius(), 12);
    EXPECT_EQ(screen->mainTabelView()->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(1, 0)).size.height, 143);
    ASSERT_TRUE(runUntil([&] { return first->icoimagView()->image() != nullptr; }));
    // The table fills the view below the bar.
    EXPECT_EQ(screen->mainTabelView()->frame(), screen->view()->bounds());
    shot("announcements");

    ASSERT_TRUE(driver.pullUp(screen->mainTabelView()));
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 12; }));
}

TEST_F(AnnouncementScreen, ATapOpensTheAnnouncementsPageAnewEachTime) {
    auto screen = open();
    const std::string id = *screen->announcementAt(0)->id;
    for (int visit = 0; visit < 2; ++visit) {
        ASSERT_TRUE(driver.selectRow(screen->mainTabelView(), NSIndexPath::indexPathForRow(0, 0)));
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
        auto page = cast<KXWebViewGameViewController>(top());
        ASSERT_TRUE(page) << "visit " << visit;
        EXPECT_EQ(page->urlString(), KXServiceAddress::baseURL() + "?ct=app&ac=news_info&id=" + id);
        EXPECT_EQ(page->gname(), "推广员系统");
        EXPECT_TRUE(page->hidesBottomBarWhenPushed());
        if (visit == 0) {
            ASSERT_TRUE(runUntil([&] { return sent("news_info").size() == 1; }));
            shot("announcement-page");
        }
        ASSERT_TRUE(driver.back());
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
        EXPECT_EQ(top(), screen);
    }
}

// An announcement the back end lists without an id opens like any other:
// its page's address carries the id empty, as a missing value shows.
TEST_F(AnnouncementScreen, AnAnnouncementWithoutAnIdOpensItsPageWithTheIdEmpty) {
    script("news",
           R"({"code":1,"p":2,"max_p":1,"data":[{"title":"无编号公告","type":"公告","time":"2026-05-01"}]})");
    auto screen = push<KXPromotionAnnouncementViewController>();
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 1; }));
    driver.settle();
    ASSERT_TRUE(driver.selectRow(screen->mainTabelView(), NSIndexPath::indexPathForRow(0, 0)));
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    auto page = cast<KXWebViewGameViewController>(top());
    ASSERT_TRUE(page);
    EXPECT_EQ(page->urlString(), KXServiceAddress::baseURL() + "?ct=app&ac=news_info&id=");
    EXPECT_EQ(page->gname(), "推广员系统");
}

TEST(AnnouncementModels, DescriptionFillsTheSummaryAndNewFillsTheServerName) {
    auto json = [](const char* text) { return NSJSONSerialization::JSONObjectWithData(NSData::fromString(text)); };
    auto announcement = NSObjectMJKeyValue::mj_objectWithKeyValues<KXPromotionAnnouncementModel>(
        json(R"({"id":7,"des":"not read","description":"read","title":null})"));
    ASSERT_TRUE(announcement);
    EXPECT_EQ(announcement->des, "read");
    EXPECT_EQ(announcement->id, "7");
    EXPECT_FALSE(announcement->title);
    EXPECT_FALSE(announcement->icon);

    auto opening = NSObjectMJKeyValue::mj_objectWithKeyValues<KXKfModel>(
        json(R"({"new":"新服","namenew1":"not read","server_id":12,"time1":"10:00"})"));
    ASSERT_TRUE(opening);
    EXPECT_EQ(opening->namenew1, "新服");
    EXPECT_EQ(opening->server_id, "12");
    EXPECT_EQ(opening->time1, "10:00");
}

}  // namespace
