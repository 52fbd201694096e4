#include <gtest/gtest.h>

#include "app/shell/KXNavigationController.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/KXWebViewController.h"
#include "app/shell/UIViewExt.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

namespace {

class KXWebViewControllerTest : public DemoPromoterFixture {
protected:
    // Pushes the page on a stack in a key window, as the notice tickers do.
    Ref<KXWebViewController> open(const std::string& address) {
        auto page = make<KXWebViewController>();
        page->urlString = address;
        auto stack = make<KXNavigationController>(make<KXBaseViewController>());
        showInWindow(stack);
        stack->pushViewController(page, true);
        finishTransition();
        return page;
    }
};

TEST_F(KXWebViewControllerTest, TheNoticePageLoadsUnderTheTopBarTitledAnnouncement) {
    auto page = open(KXServiceAddress::baseURL() + "notice/1");
    auto webView = page->webView();
    ASSERT_NE(webView, nullptr);
    EXPECT_EQ(page->navigationView()->titleLabel()->text(), "公告");
    ASSERT_TRUE(runUntil([&] { return !webView->isLoading() && !webView->title().empty(); }));
    EXPECT_EQ(webView->URL()->absoluteString(), KXServiceAddress::baseURL() + "notice/1");
    EXPECT_FALSE(webView->pageContent().text.empty());
    EXPECT_NE(driver.find(webView->title()), nullptr);

    // The page fills the view below the bar.
    EXPECT_EQ(webView->frame().origin.y, UIViewExt::bottom(*page->navigationView()));
    EXPECT_EQ(UIViewExt::bottom(*webView), page->view()->bounds().size.height);
    EXPECT_EQ(webView->frame().size.width, page->view()->bounds().size.width);
    driver.settle();
    EXPECT_TRUE(checkedShot(driver, testShotPath("kxwebview_notice.png"))) << driver.lastError();

    // Its back button returns to the screen below.
    ASSERT_TRUE(driver.tap("#backButton"));
    clock.advance(UIViewController::kTransitionDuration);
    EXPECT_EQ(cast<UINavigationController>(window->rootViewController())->viewControllers().size(), 1u);
}

TEST_F(KXWebViewControllerTest, AGivenTitleShowsAndAnAddressThatIsNoURLLoadsNothing) {
    auto page = make<KXWebViewController>();
    page->titleString = "推广员系统";
    page->urlString = "not a url at all";
    page->loadViewIfNeeded();
    EXPECT_EQ(page->navigationView()->titleLabel()->text(), "推广员系统");
    runUntil([] { return false; }, 0.05);
    EXPECT_FALSE(page->webView()->isLoading());
    EXPECT_EQ(page->webView()->URL(), nullptr);
}

}  // namespace
