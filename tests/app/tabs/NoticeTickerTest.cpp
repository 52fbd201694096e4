#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tabs/mine/KXMineNoticeCell.h"
#include "app/tabs/promote/KXNoticeCell.h"
#include "foundation/NSBundle.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"

// The Mine notice row in a window, filled the way its owner fills it.
class NoticeTicker : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        window = make<UIWindow>();
        window->makeKeyAndVisible();
        row = make<KXMineNoticeCell>(CGRectMake(20, 100, 335, 26));
        row->didClickNotice = [this](const Ref<KXMineNewsModel>& notice) { clicked.push_back(notice); };
        window->addSubview(row);
        driver.settle();
    }
    void TearDown() override { NSBundle::setMainBundlePath(""); }

    void fill(const std::vector<std::string>& titles) {
        std::vector<Ref<KXMineNewsModel>> notices;
        for (const auto& title : titles) {
            auto notice = make<KXMineNewsModel>();
            notice->title = title;
            notice->url = "http://127.0.0.1/" + title;
            notices.push_back(notice);
        }
        row->setModels(notices);
        row->titleBanner()->reloadData();
        driver.settle();
    }
    std::string shownTitle() const {
        auto pager = row->titleBanner();
        auto line = cast<KXNoticeCell>(pager->cellForItemAt(pager->currentIndex()));
        return line ? line->titleLabel()->text() : std::string();
    }
    void tapTheLine() { ASSERT_TRUE(driver.tapAt({200, 113})) << driver.lastError(); }

    Ref<UIWindow> window;
    Ref<KXMineNoticeCell> row;
    std::vector<Ref<KXMineNewsModel>> clicked;
    UIDriver driver;
};

TEST_F(NoticeTicker, BeforeAnyAnswerTheRowShowsTheHornAndAnEmptyTicker) {
    EXPECT_TRUE(row->imageView()->image());
    EXPECT_EQ(row->numberOfItemsInPagerView(row->titleBanner()), 0);
    EXPECT_TRUE(row->titleBanner()->collectionView()->visibleCells().empty());
    // A line tapped while there is no list hands on an empty notice.
    row->pagerViewDidSelectItemAtIndex(row->titleBanner(), 0);
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0]->title, "");
    EXPECT_EQ(clicked[0]->url, "");
}

TEST_F(NoticeTicker, NoticesMoveUpEveryThreeSecondsAndATapHandsOnTheOneShown) {
    fill({"开服公告", "充值返利", "新游上线"});
    EXPECT_EQ(shownTitle(), "开服公告");
    const CGRect line = row->titleBanner()->frame();
    EXPECT_DOUBLE_EQ(line.size.height, 26 * 1.0);
    clock.advance(3);
    driver.settle();
    EXPECT_EQ(shownTitle(), "充值返利");
    tapTheLine();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0]->title, "充值返利");
    clock.advance(6);
    driver.settle();
    EXPECT_EQ(shownTitle(), "开服公告");
}

TEST_F(NoticeTicker, ASingleNoticeStandsInTheRow) {
    fill({"唯一公告"});
    clock.advance(9);
    driver.settle();
    EXPECT_EQ(shownTitle(), "唯一公告");
    tapTheLine();
    ASSERT_EQ(clicked.size(), 1u);
    EXPECT_EQ(clicked[0]->url, "http://127.0.0.1/唯一公告");
}
