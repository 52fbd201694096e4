#include <gtest/gtest.h>

#include "app/shell/KXServiceAddress.h"
#include "app/tabs/assets/KXAssetsController.h"
#include "app/tabs/mine/KXMineController.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/app/tabs/SignedInAppFixture.h"
#include "tests/support/MisbehavingServer.h"

namespace {

// The tabs loaded, then the back end goes away: every pull ends its
// refreshing and says so, and what was shown stays.
class DownBackEnd : public SignedInAppFixture {
protected:
    template <class Screen> Ref<Screen> tab(std::size_t index) {
        auto stack = openTab(index);
        return stack ? cast<Screen>(stack->viewControllers().front()) : nullptr;
    }
    void goDown() { KXServiceAddress::setBaseURL(down.url("/")); }
    static bool refreshing(const Ref<UIScrollView>& list) {
        auto header = UIScrollViewMJRefresh::mj_header(list);
        auto footer = UIScrollViewMJRefresh::mj_footer(list);
        return (header && header->isRefreshing()) || (footer && footer->isRefreshing());
    }
    static std::string toastOn(const Ref<UIView>& view) {
        auto hud = MBProgressHUD::HUDForView(view);
        return hud ? hud->detailsLabel()->text() : std::string();
    }

    MisbehavingServer down{MisbehavingServer::Behaviour::RefuseConnections};
};

TEST_F(DownBackEnd, AssetsEndsItsPullsAndTellsTheUser) {
    auto assets = tab<KXAssetsController>(1);
    ASSERT_TRUE(assets);
    ASSERT_TRUE(runUntil([&] { return assets->tableViewProtocol()->assetsModel && assets->tableViewProtocol()->models; }));
    driver.settle();
    const auto shown = assets->tableViewProtocol()->models->size();
    goDown();
    ASSERT_TRUE(driver.pullDown(assets->tableView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(assets->view()) == "获取数据失败" && !refreshing(assets->tableView()); }));
    letHUDsHide();
    ASSERT_TRUE(driver.pullUp(assets->tableView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(assets->view()) == "获取数据失败" && !refreshing(assets->tableView()); }));
    EXPECT_EQ(assets->tableViewProtocol()->models->size(), shown);
    EXPECT_TRUE(assets->tableViewProtocol()->assetsModel);
}

TEST_F(DownBackEnd, MineEndsItsPullAndTellsTheUser) {
    auto mine = tab<KXMineController>(3);
    ASSERT_TRUE(mine);
    ASSERT_TRUE(runUntil([&] { return mine->collectionProtocol()->model != nullptr; }));
    driver.settle();
    goDown();
    ASSERT_TRUE(driver.pullDown(mine->collectionView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(mine->view()) == "获取数据失败" && !refreshing(mine->collectionView()); }));
    EXPECT_TRUE(mine->collectionProtocol()->model);
}

}  // namespace
