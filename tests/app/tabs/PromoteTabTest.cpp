#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/stats/KXRankListController.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/KXWebViewController.h"
#include "app/tabs/promote/KXNoticeCell.h"
#include "app/tabs/promote/KXPromoteCell.h"
#include "app/tabs/promote/KXPromoteController.h"
#include "app/tabs/promote/KXPromoteListController.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UILabel.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/HoldingRelay.h"
#include "uikit/UIPasteboard.h"

// The 推广 tab on its navigation stack against the local back end, as the
// demo promoter (18 games in the first five of six categories).
class PromoteTab : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        screen = make<KXPromoteController>();
        stack = make<KXNavigationController>(screen);
        showInWindow(stack);
        ASSERT_TRUE(runUntil([&] { return screen->titles().size() == 6 && screen->topView()->models(); }));
        ASSERT_TRUE(runUntil([&] { return page(0) && rows(page(0)) == 4; }));
    }

    Ref<KXPromoteListController> page(long index) const {
        const auto& lists = screen->pagingView()->validListDict();
        auto found = lists.find(index);
        return found == lists.end() ? nullptr : std::dynamic_pointer_cast<KXPromoteListController>(found->second);
    }
    static long rows(const Ref<KXPromoteListController>& list) { return list->tableView()->numberOfRowsInSection(0); }
    static Ref<KXPromoteCell> cell(const Ref<KXPromoteListController>& list, long row) {
        return cast<KXPromoteCell>(list->tableView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(row, 0)));
    }
    CGFloat inWindowY(const Ref<UIView>& view) const { return view->convertPointToView({0, 0}, window).y; }
    // Taps, lets the push finish and answers the class of the screen on top.
    std::string opens(const Ref<UIView>& control) {
        EXPECT_TRUE(driver.tap(control)) << driver.lastError();
        finishTransition();
        return stack->topViewController()->className();
    }
    void backToTab() {
        stack->popToRootViewControllerAnimated(false);
        letHUDsHide();
    }

    Ref<KXPromoteController> screen;
    Ref<KXNavigationController> stack;
};

TEST_F(PromoteTab, ShowsTheHeaderThenOnePageOfGamesPerCategory) {
    EXPECT_EQ(screen->titles(), (std::vector<std::string>{"角色扮演", "卡牌", "传奇", "仙侠", "策略", "休闲"}));
    EXPECT_EQ(screen->ids(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "推广");
    EXPECT_TRUE(screen->navigationView()->backButton()->isHidden());

    // Header 182 and bar 50 points on the 375-point screen, the bar under the header.
    const CGFloat barBottom = CGRectGetMaxY(screen->navigationView()->frame());
    EXPECT_EQ(screen->topView()->frame().size.height, 182);
    EXPECT_EQ(screen->segmentedView()->frame().size.height, 50);
    EXPECT_EQ(inWindowY(screen->segmentedView()), barBottom + 182);
    for (const char* text : {"搜索游戏", "推广公告", "推广二维码", "分成明细", "人气榜"}) EXPECT_TRUE(driver.find(text)) << text;

    // The ticker shows the newest notice.
    const auto& notices = *screen->topView()->models();
    ASSERT_FALSE(notices.empty());
    auto line = cast<KXNoticeCell>(screen->topView()->titleBanner()->cellForItemAt(0));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->titleLabel()->text(), notices[0]->title);

    // The first page lists the first category's games, numbered.
    EXPECT_EQ(page(0)->type(), "1");
    EXPECT_EQ(page(0)->keyword(), "");
    EXPECT_TRUE(page(0)->hideNav());
    auto first = cell(page(0), 0);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->numLabel()->text(), "1");
    EXPECT_EQ(first->typeLabel()->text(), "角色扮演");
    EXPECT_EQ(cell(page(0), 3)->numLabel()->text(), "4");
    EXPECT_EQ(page(0)->tableView()->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).size.height, 166);
    EXPECT_EQ(first->bgView()->frame().size.width, 335);
    shot("promote", "tab");

    // Scrolling pins the bar under the top bar; the list scrolls on.
    ASSERT_TRUE(driver.scroll(nullptr, 250)) << driver.lastError();
    EXPECT_EQ(inWindowY(screen->segmentedView()), barBottom);
    EXPECT_GT(page(0)->tableView()->contentOffset().y, 0);
    shot("promote", "tab-scrolled");

    // A further page of the category is asked for by number; there is none.
    ASSERT_TRUE(driver.pullUp()) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !page(0)->httpManager()->pageUnderWay(); }));
    driver.settle();
    EXPECT_EQ(rows(page(0)), 4);
    EXPECT_EQ(page(0)->httpManager()->p(), 1);

    // The title bar opens each category's page.
    ASSERT_TRUE(driver.tap("仙侠")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return page(3) && rows(page(3)) == 4; }));
    EXPECT_EQ(page(3)->type(), "4");
    EXPECT_EQ(cell(page(3), 0)->typeLabel()->text(), "仙侠");
    EXPECT_EQ(screen->pagingView()->listContainerView()->currentIndex(), 3);

    ASSERT_TRUE(driver.tap("休闲")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return page(5) && !page(5)->httpManager()->uid().empty(); }));
    driver.settle();
    EXPECT_EQ(rows(page(5)), 0) << "the demo promoter has no game of this category";
    auto empty = UIScrollViewLYEmpty::ly_emptyView(page(5)->tableView());
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->isHidden());
    EXPECT_EQ(empty->detailLabel()->text(), "暂无数据");
    EXPECT_TRUE(UIScrollViewMJRefresh::mj_footer(page(5)->tableView())->isHidden());
    shot("promote", "tab-empty-category");

    // Swiping the pages back selects the title on the left.
    ASSERT_TRUE(driver.scroll(nullptr, 0, -375)) << driver.lastError();
    EXPECT_EQ(screen->segmentedView()->selectedIndex(), 4);
    ASSERT_TRUE(runUntil([&] { return page(4) && rows(page(4)) == 2; }));
}

TEST_F(PromoteTab, ACellCopiesItsLinkAndShowsItsQRCode) {
    auto first = cell(page(0), 0);
    const std::string link = first->model()->h5_url;
    ASSERT_FALSE(link.empty());

    ASSERT_TRUE(driver.tap(first->actionButton(KXPromoteCell::CopyPromote))) << driver.lastError();
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), link);
    auto toast = MBProgressHUD::HUDForView(first);
    ASSERT_TRUE(toast);
    EXPECT_EQ(toast->detailsLabel()->text(), "复制成功");
    letHUDsHide();
    EXPECT_FALSE(MBProgressHUD::HUDForView(first)) << "the toast goes after 1.5 s";

    for (auto action : {KXPromoteCell::QRCode, KXPromoteCell::Ripple, KXPromoteCell::Pal, KXPromoteCell::Friend}) {
        ASSERT_TRUE(driver.tap(first->actionButton(action))) << driver.lastError();
        auto overlay = cast<KXerweiMaFenXiangView>(window->subviews().back());
        ASSERT_TRUE(overlay) << action;
        EXPECT_EQ(overlay->urlStr(), link);
        EXPECT_EQ(overlay->frame(), window->bounds());
        EXPECT_TRUE(overlay->fenxiangImge()->image());
        if (action == KXPromoteCell::QRCode) shot("promote", "qr-overlay");
        overlay->removeFromSuperview();
    }

    // A tap on the card opens the game's details.
    ASSERT_TRUE(driver.tap(first->nameLabel())) << driver.lastError();
    finishTransition();
    auto details = cast<KXGameDetailsViewController>(stack->topViewController());
    ASSERT_TRUE(details);
    EXPECT_EQ(details->idStr(), first->model()->gid);
}

TEST_F(PromoteTab, TheHeaderOpensSearchShortcutsAndNotices) {
    auto top = screen->topView();
    EXPECT_EQ(opens(top->searchLabel()), "KXPromoteSearchController") << "the whole bar is the button";
    backToTab();
    // Its larger touch area reaches into the gaps above and below the bar.
    const CGRect bar = top->searchBgView()->convertRectToView(top->searchBgView()->bounds(), window);
    for (CGFloat y : {CGRectGetMinY(bar) - 2, CGRectGetMaxY(bar) + 2}) {
        EXPECT_TRUE(driver.tapAt({CGRectGetMidX(bar), y})) << driver.lastError();
        finishTransition();
        EXPECT_EQ(stack->topViewController()->className(), "KXPromoteSearchController") << y;
        backToTab();
    }
    EXPECT_EQ(opens(top->shortcutLabel(KXPromoteTopView::PromoteNotice)), "KXPromotionAnnouncementViewController");
    backToTab();
    EXPECT_EQ(opens(top->shortcutImageView(KXPromoteTopView::PromoteQRCode)), "KXPromotionQrCodeViewController");
    backToTab();
    EXPECT_EQ(opens(top->shortcutLabel(KXPromoteTopView::DivideDetail)), "KXDividedIntoViewController");
    backToTab();
    EXPECT_EQ(opens(top->shortcutLabel(KXPromoteTopView::Popularity)), "KXRankListController");
    EXPECT_EQ(cast<KXRankListController>(stack->topViewController())->type(), KXMineNavType::popularityRank);
    backToTab();

    // The ticker's line in view (it moves on every 3 s) opens its notice's page.
    driver.settle();
    const long shown = top->titleBanner()->currentIndex();
    const auto notice = (*top->models())[static_cast<std::size_t>(shown)];
    EXPECT_EQ(opens(top->titleBanner()->cellForItemAt(shown)), "KXWebViewController");
    auto page = cast<KXWebViewController>(stack->topViewController());
    EXPECT_EQ(page->urlString, notice->url);
    EXPECT_EQ(page->titleString, "公告");
    backToTab();

    // A notice without an address opens nothing.
    top->setModels(std::vector<Ref<KXNoticeModel>>{make<KXNoticeModel>()});
    top->titleBanner()->reloadData();
    driver.settle();
    ASSERT_TRUE(driver.tap(top->titleBanner()->cellForItemAt(0))) << driver.lastError();
    finishTransition();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}

TEST_F(PromoteTab, ReloadingKeepsOneCopyOfEachCategory) {
    screen->loadNewData();
    ASSERT_TRUE(runUntil([&] { return page(0) && rows(page(0)) == 4; }));
    EXPECT_EQ(screen->titles().size(), 6u);
    EXPECT_EQ(screen->segmentedDataSource()->dataSource().size(), 6u);
}

// The 推广 tab whose first categories and notices fail.
class PromoteTabAfterAFailure : public DemoPromoterFixture {
protected:
    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        relay = std::make_unique<HoldingRelay>(backend->port());
        KXServiceAddress::setBaseURL(relay->baseURL());
        relay->script("fenlei", categoriesAnswer);
        relay->script("news", noticesAnswer);
        screen = make<KXPromoteController>();
        stack = make<KXNavigationController>(screen);
        showInWindow(stack);
        ASSERT_TRUE(runUntil([&] { return !screen->loading(); }));
    }

    // The toast on show on the tab, on its own view or on a page's ("" when
    // none shows); never two at once.
    std::string toast() {
        driver.settle();
        std::vector<std::string> shown;
        for (const auto& view : driver.findAllOfClass("MBProgressHUD"))
            if (auto hud = cast<MBProgressHUD>(view); !hud->hasFinished() && view->isDescendantOfView(screen->view()))
                shown.push_back(hud->detailsLabel()->text());
        EXPECT_LE(shown.size(), 1u) << "two toasts at once";
        return shown.empty() ? std::string() : shown.front();
    }

    std::string categoriesAnswer = HoldingRelay::kHTTPFailure;
    std::string noticesAnswer = HoldingRelay::kHTTPFailure;
    std::unique_ptr<HoldingRelay> relay;
    Ref<KXPromoteController> screen;
    Ref<KXNavigationController> stack;
};

// The 推广 tab whose first categories and notices are refused, each with its
// own message.
class PromoteTabAfterTwoRefusals : public PromoteTabAfterAFailure {
protected:
    static constexpr const char* kCategoriesMessage = "分类暂时无法读取";
    static constexpr const char* kNoticesMessage = "公告暂时无法读取";
    static constexpr const char* kGamesMessage = "游戏暂时无法读取";
    PromoteTabAfterTwoRefusals() {
        categoriesAnswer = std::string(R"({"code":0,"message":")") + kCategoriesMessage + "\"}";
        noticesAnswer = std::string(R"({"code":0,"message":")") + kNoticesMessage + "\"}";
    }
};

// Both messages are shown, one after the other, each for a toast's time;
// so are the notices' and a games page's, which toasts on its own view.
TEST_F(PromoteTabAfterTwoRefusals, BothFailuresAreToastedOneAfterTheOther) {
    const auto expectInTurn = [&](const std::string& one, const std::string& other) {
        const std::string first = toast();
        ASSERT_TRUE(first == one || first == other) << first;
        const std::string second = first == one ? other : one;
        clock.advance(kToastDuration - 0.1);
        EXPECT_EQ(toast(), first) << "the first keeps its time";
        clock.advance(0.1);
        EXPECT_EQ(toast(), second);
        clock.advance(kToastDuration - 0.1);
        EXPECT_EQ(toast(), second) << "the second has its own time";
        clock.advance(0.1);
        EXPECT_EQ(toast(), "");
    };
    expectInTurn(kCategoriesMessage, kNoticesMessage);

    relay->unscript();
    relay->script("news", noticesAnswer);
    relay->script("mygames", std::string(R"({"code":0,"message":")") + kGamesMessage + "\"}");
    ASSERT_TRUE(driver.pullDown(screen->pagingView()->mainTableView())) << driver.lastError();
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    ASSERT_EQ(relay->sent("mygames").size(), 1u) << "the first games page asked once";
    expectInTurn(kNoticesMessage, kGamesMessage);
}

TEST_F(PromoteTabAfterAFailure, OneFailedLoadDoesNotLeaveTheTabEmptyForGood) {
    EXPECT_TRUE(screen->titles().empty());
    EXPECT_EQ(MBProgressHUD::HUDForView(screen->view())->detailsLabel()->text(), "获取数据失败");
    relay->unscript();
    auto page = screen->pagingView()->mainTableView();
    ASSERT_TRUE(driver.pullDown(page)) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !screen->loading(); }));
    EXPECT_EQ(screen->titles().size(), 6u);
    EXPECT_TRUE(screen->topView()->models());
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_header(page)->isRefreshing());

    // Only the part that failed is asked again when the tab shows next.
    relay->script("fenlei", HoldingRelay::kHTTPFailure);
    ASSERT_TRUE(driver.pullDown(page));
    ASSERT_TRUE(runUntil([&] { return !screen->loading(); }));
    EXPECT_EQ(screen->titles().size(), 6u) << "a failed reload keeps the categories";
    relay->unscript();
    const auto categories = relay->sent("fenlei").size();
    const auto notices = relay->sent("news").size();
    stack->pushViewController(make<UIViewController>(), false);
    stack->popViewControllerAnimated(false);
    ASSERT_TRUE(runUntil([&] { return !screen->loading(); }));
    EXPECT_EQ(relay->sent("fenlei").size(), categories + 1);
    EXPECT_EQ(relay->sent("news").size(), notices);
    EXPECT_EQ(screen->titles().size(), 6u);
}
