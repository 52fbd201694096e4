#include <gtest/gtest.h>

#include "app/shell/KXNavigationController.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/KXWebViewController.h"
#include "app/shell/UIViewExt.h"
#include "backend/LocalBackend.h"
#include "foundation/NSBundle.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

class KXWebViewControllerTest : public AppFixture {
protected:
    void SetUp() override {
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
    }
    void TearDown() override {
        KXServiceAddress::setBaseURL("");
        NSBundle::setMainBundlePath("");
    }

    // Pushes the page on a stack in a key window, as the notice tickers do.
    Ref<KXWebViewController> open(const std::string& address) {
        auto page = make<KXWebViewController>();
        page->urlString = address;
        auto stack = make<KXNavigationController>(make<KXBaseViewController>());
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        stack->pushViewController(page, true);
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
        return page;
    }

    std::unique_ptr<backend::LocalBackend> backend;
    Ref<UIWindow> window;
    UIDriver driver;
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
    EXPECT_TRUE(driver.shot("kxwebview_notice.png")) << driver.lastError();

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
