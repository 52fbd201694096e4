#include <gtest/gtest.h>

#include <algorithm>

#include "app/payment/KXWebViewGameViewController.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "app/shell/KXNavigationController.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"
#include "tests/support/TextFitCheck.h"

namespace {

constexpr const char* kPaymentPage =
    "<html><head><title>收银台</title></head><body><p>订单 42</p>"
    "<a href=\"ripple://wap/pay?oid=42\">涟信支付</a>"
    "<a href=\"ripple://share/pay?oid=42\">涟信分享</a>"
    "<a href=\"alipay://alipayclient/?oid=42\">支付宝支付</a>"
    "<a href=\"alipay://platformapi/start\">支付宝首页</a>"
    "<a href=\"/alipay/help\">支付宝帮助</a>"
    "<a href=\"/more\" target=\"_blank\">更多</a>"
    "</body></html>";

class PaymentWebPageTest : public AppFixture {
protected:
    void SetUp() override {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        server.respond("GET", "/pay", 200, kPaymentPage, "text/html; charset=utf-8");
        server.respond("GET", "/alipay/help", 200, "<html><head><title>帮助</title></head><body>说明</body></html>",
                       "text/html; charset=utf-8");
        for (const char* scheme : {"ripple", "alipay"}) {
            UIApplication::installSimulatedApp(scheme, [this](const Ref<NSURL>& url) {
                handedOver.push_back(url->absoluteString());
            });
        }
    }
    void TearDown() override { NSBundle::setMainBundlePath(""); }

    // Pushes the screen on a tab's stack in a key window, as the top-up does.
    Ref<KXWebViewGameViewController> push(const std::string& address, const std::string& title) {
        stack = make<KXNavigationController>(make<UIViewController>());
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(stack);
        window->makeKeyAndVisible();
        auto page = make<KXWebViewGameViewController>();
        page->setUrlString(address);
        page->setGname(title);
        stack->pushViewController(page, true);
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
        return page;
    }
    Ref<WKWebView> loadedWebView(const Ref<KXWebViewGameViewController>& page) {
        auto webView = page->webView1()->webView();
        EXPECT_TRUE(runUntil([&] { return !webView->isLoading() && !webView->title().empty(); }));
        return webView;
    }
    // Taps a link of the page and lets the other app (if any) run and what
    // the tap loads be answered.
    void tapLink(const Ref<WKWebView>& webView, const std::string& text) {
        ASSERT_TRUE(webView->followLink(text)) << text;
        ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    }
    bool opened(const std::string& prefix) const {
        const auto& urls = UIApplication::sharedApplication()->openedURLs();
        return std::any_of(urls.begin(), urls.end(), [&](const std::string& url) { return url.rfind(prefix, 0) == 0; });
    }

    LoopbackHTTPServer server;
    Ref<KXNavigationController> stack;
    Ref<UIWindow> window;
    UIDriver driver;
    std::vector<std::string> handedOver;
};

TEST_F(PaymentWebPageTest, ThePageFillsTheViewUnderABarTitledByTheGivenName) {
    auto page = push(server.url("/pay"), "充值");
    auto webView = loadedWebView(page);
    EXPECT_EQ(webView->URL()->absoluteString(), server.url("/pay"));
    EXPECT_EQ(server.lastRequest()->method, "GET");
    // The page's own title does not replace the screen's.
    EXPECT_EQ(webView->title(), "收银台");
    EXPECT_EQ(stack->navigationBar()->topItem()->title(), "充值");
    EXPECT_TRUE(page->header()->isHidden());
    EXPECT_EQ(page->header()->title()->text(), "充值");
    driver.settle();
    const CGRect area = page->webView1()->frame();
    EXPECT_EQ(area.origin.y, 0);
    EXPECT_EQ(area.size.width, page->view()->bounds().size.width);
    EXPECT_EQ(area.size.height, page->view()->bounds().size.height);
    EXPECT_EQ(webView->frame().size.height, area.size.height);
    EXPECT_NE(driver.find("收银台"), nullptr);
    EXPECT_TRUE(checkedShot(driver, paymentShotPath("payment_web_page.png"))) << driver.lastError();
}

// A page that cannot load says so instead of staying blank; one that loads
// says nothing of the kind, not even when a payment link is handed over.
// Its reload after the payment app failing, the page it showed is stale:
// none of its links is offered or handed over.
TEST_F(PaymentWebPageTest, APageThatCannotLoadSaysSo) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    for (const std::string& address : {refusing.url("/pay"), std::string("not an address")}) {
        auto page = push(address, "充值");
        EXPECT_TRUE(runUntil([&] { return driver.find(KXGameWebView::kLoadFailedText) != nullptr; })) << address;
    }
    auto webView = loadedWebView(push(server.url("/pay"), "充值"));
    tapLink(webView, "涟信支付");
    EXPECT_EQ(driver.find(KXGameWebView::kLoadFailedText), nullptr);

    ASSERT_TRUE(runUntil([&] { return !webView->isLoading() && driver.find("支付宝支付") != nullptr; }));
    server.respondThenDrop("GET", "/pay", kPaymentPage, 0);
    tapLink(webView, "涟信支付");
    EXPECT_TRUE(runUntil([&] { return driver.find(KXGameWebView::kLoadFailedText) != nullptr; }));
    EXPECT_EQ(driver.find("支付宝支付"), nullptr);
    tapLink(webView, "支付宝支付");
    EXPECT_EQ(handedOver.size(), 2u);
}

TEST_F(PaymentWebPageTest, OnlyRippleWapAndAlipayClientLinksGoToThePaymentApps) {
    NSLogCapture log;
    auto page = push(server.url("/pay"), "充值");
    auto webView = loadedWebView(page);

    tapLink(webView, "涟信支付");
    ASSERT_EQ(handedOver.size(), 1u);
    EXPECT_EQ(handedOver[0], "ripple://wap/pay?oid=42");
    EXPECT_TRUE(log.contains("涟信支付"));

    tapLink(webView, "涟信分享");
    tapLink(webView, "支付宝首页");
    EXPECT_FALSE(opened("ripple://share"));
    EXPECT_FALSE(opened("alipay://platformapi"));

    tapLink(webView, "支付宝支付");
    ASSERT_EQ(handedOver.size(), 2u);
    EXPECT_EQ(handedOver[1], "alipay://alipayclient/?oid=42");
    EXPECT_TRUE(log.contains("支付宝支付"));
    // The payment page stays: the web view loads no foreign scheme itself.
    EXPECT_EQ(webView->title(), "收银台");

    // An http page whose address holds "alipay" is an ordinary page.
    tapLink(webView, "支付宝帮助");
    ASSERT_TRUE(runUntil([&] { return webView->title() == "帮助"; }));
    EXPECT_EQ(handedOver.size(), 2u);
    EXPECT_EQ(UIApplication::sharedApplication()->openedURLs().size(), 2u);
}

TEST_F(PaymentWebPageTest, ANewWindowLinkClearsTheLinkTargetsAndOpensNothing) {
    auto page = push(server.url("/pay"), "充值");
    auto webView = loadedWebView(page);
    const std::size_t requestsBefore = server.requestCount();
    tapLink(webView, "更多");
    ASSERT_EQ(webView->evaluatedScripts().size(), 1u);
    EXPECT_EQ(webView->evaluatedScripts()[0], KXGameWebView::kClearLinkTargetsScript);
    EXPECT_EQ(server.requestCount(), requestsBefore);
    EXPECT_EQ(webView->title(), "收银台");
}

TEST_F(PaymentWebPageTest, GameInfoMessagesAreLoggedAndTheScreenGoesAwayWhenPopped) {
    NSLogCapture log;
    WeakRef<KXWebViewGameViewController> gone;
    WeakRef<KXGameWebView> goneWrapper;
    {
        auto page = push("not a url at all", "推广员系统");
        EXPECT_EQ(page->webView1()->webView()->URL(), nullptr);
        EXPECT_EQ(page->webView1()->kongzhiView(), page);
        auto webView = page->webView1()->webView();
        EXPECT_TRUE(webView->postScriptMessage("gameinfo", Dictionary{{"gid", "7"}}));
        EXPECT_FALSE(webView->postScriptMessage("other", "x"));
        gone = page;
        goneWrapper = page->webView1();
    }
    EXPECT_TRUE(log.contains("返回的数据在这里"));
    EXPECT_TRUE(log.contains("gid = 7"));

    ASSERT_TRUE(driver.back());
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    // The message handler does not keep the page alive.
    EXPECT_TRUE(gone.expired());
    EXPECT_TRUE(goneWrapper.expired());
}

TEST_F(PaymentWebPageTest, TheHiddenHeaderPlacesItsButtonAndTitleAndItsBackActionPops) {
    auto page = push(server.url("/pay"), "充值");
    auto header = page->header();
    header->setFrame(CGRectMake(0, 0, 375, 64));
    header->layoutIfNeeded();
    const CGFloat side = 64 / 2.5;
    const CGRect button = header->leftButton()->frame();
    EXPECT_EQ(button.origin.x, 14);
    EXPECT_NEAR(button.size.width, side, 1e-9);
    EXPECT_NEAR(button.size.height, side, 1e-9);
    EXPECT_NEAR(CGRectGetMaxY(button), 64 - 10, 1e-9);
    EXPECT_EQ(header->title()->frame().size.width, 375);
    EXPECT_NEAR(header->title()->frame().size.height, side, 1e-9);
    EXPECT_NEAR(CGRectGetMidY(header->title()->frame()), CGRectGetMidY(button), 1e-9);

    header->leftButton()->sendActionsForControlEvents(UIControlEventTouchUpInside);
    clock.advance(UIViewController::kTransitionDuration);
    driver.settle();
    EXPECT_EQ(stack->viewControllers().size(), 1u);
}

}  // namespace
