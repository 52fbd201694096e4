#include <gtest/gtest.h>

#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "app/promotion/KXMyGameYouXiCollectionViewCell.h"
#include "app/promotion/KXMygameYouXiViewController.h"
#include "app/shell/UIViewExt.h"
#include "tests/app/promotion/GameScreenFixture.h"
#include "uikit/UINavigationItem.h"
#include "tests/support/LoopbackHTTPServer.h"

namespace {

// The page is reached only from the older dashboards, on their stack.
class MyGamesScreen : public GameScreenFixture {
protected:
    MyGamesScreen() { olderFamily = true; }

    Ref<KXMygameYouXiViewController> openGrid() {
        auto grid = open<KXMygameYouXiViewController>();
        EXPECT_TRUE(runUntil([&] { return grid->rowCount() > 0; }));
        driver.settle();
        return grid;
    }
    static Ref<KXMyGameYouXiCollectionViewCell> card(const Ref<KXMygameYouXiViewController>& grid, long item) {
        return std::dynamic_pointer_cast<KXMyGameYouXiCollectionViewCell>(
            grid->maincollectionView()->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(item, 0)));
    }
};

TEST_F(MyGamesScreen, ShowsThePromotersGamesThreeCardsToARowPageByPage) {
    auto grid = openGrid();
    EXPECT_EQ(grid->navigationItem()->title(), "我的游戏");
    ASSERT_EQ(grid->rowCount(), 10u);
    EXPECT_EQ(grid->max_p(), "2");

    // 96 x 152 cards on a 375-point screen: three to a row inside 20-point insets.
    auto first = card(grid, 0), second = card(grid, 1), third = card(grid, 2), fourth = card(grid, 3);
    ASSERT_TRUE(first && second && third && fourth);
    EXPECT_EQ(first->frame().size, CGSizeMake(96, 152));
    EXPECT_EQ(first->frame().origin.x, 0);  // the 20-point inset is the content inset
    EXPECT_GE(second->frame().origin.x - UIViewExt::right(*first), 22.5);
    EXPECT_EQ(third->frame().origin.y, first->frame().origin.y);
    EXPECT_LE(UIViewExt::right(*third), 375 - 40);
    EXPECT_EQ(fourth->frame().origin.y, UIViewExt::bottom(*first) + 18);
    EXPECT_EQ(first->layer()->cornerRadius(), 12);

    auto model = grid->rowModel(0);
    EXPECT_EQ(first->mingchengNameLabel()->text(), *model->name);
    EXPECT_EQ(first->typeLabel()->text(), *model->type);
    EXPECT_EQ(first->bilieLabel()->text(), *model->fcbl);
    ASSERT_TRUE(runUntil([&] { return first->icoiamgeView()->image() != nullptr; }));
    shoot("my-games.png");

    ASSERT_TRUE(driver.pullUp(grid->maincollectionView()));
    ASSERT_TRUE(runUntil([&] { return grid->rowCount() == 18; }));
    EXPECT_EQ(grid->p(), "3");
    ASSERT_TRUE(driver.pullUp(grid->maincollectionView()));
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
    letHUDsHide();

    // Pulling down starts again from the first page.
    ASSERT_TRUE(driver.pullDown(grid->maincollectionView()));
    ASSERT_TRUE(runUntil([&] { return grid->rowCount() == 10; }));
    EXPECT_EQ(grid->p(), "2");
}

TEST_F(MyGamesScreen, ACardOpensItsDetailsAndTheButtonTheApplicationList) {
    auto grid = openGrid();
    const std::string gid = *grid->rowModel(2)->gid;
    ASSERT_TRUE(driver.selectItem(grid->maincollectionView(), NSIndexPath::indexPathForItem(2, 0)));
    finishTransition();
    auto details = std::dynamic_pointer_cast<KXGameDetailsViewController>(stack->topViewController());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->idStr(), gid);

    ASSERT_TRUE(driver.back());
    finishTransition();
    ASSERT_TRUE(driver.tap("#applyButton"));
    finishTransition();
    EXPECT_TRUE(std::dynamic_pointer_cast<KXApplyGameViewController>(stack->topViewController()));
}

TEST_F(MyGamesScreen, ANumericShareIsShownAsItsTextAndANotchedScreenKeepsItsBottomFree) {
    UIScreen::useNotchedScreen();
    LoopbackHTTPServer server;
    server.respond("GET", "/", 200,
                   R"({"code":1,"message":"成功","p":2,"max_p":1,"data":[{"gid":"5","name":"数字","type":"卡牌","fcbl":45}]})",
                   "application/json");
    KXServiceAddress::setBaseURL(server.baseURL() + "/");
    auto grid = openGrid();
    auto only = card(grid, 0);
    ASSERT_TRUE(only);
    EXPECT_EQ(only->bilieLabel()->text(), "45");
    EXPECT_EQ(grid->applyButton()->frame(), CGRectMake(20, 812 - 34 - 10 - 44, 375 - 40, 44));
    EXPECT_EQ(grid->maincollectionView()->frame().size.height, 812 - 34 - 44);
    EXPECT_EQ(queryField(server.lastRequest()->query, "ac"), "mygames");

    // `p` 2 above `max_p` 1: nothing more to ask for.
    ASSERT_TRUE(driver.pullUp(grid->maincollectionView()));
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));  // a request the pull sent would be answered by now
    EXPECT_EQ(server.requestCount(), 1u);
    shoot("my-games-notched.png");
}

}  // namespace
