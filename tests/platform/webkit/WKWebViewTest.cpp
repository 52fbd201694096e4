#include <gtest/gtest.h>

#include <cstring>

#include "foundation/NSURLError.h"
#include "tests/platform/webkit/WebViewRecorder.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDriver.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"
#include "webkit/WKWebView.h"
#include "tests/support/TestShots.h"

namespace {

using Events = std::vector<std::string>;

class WKWebViewTest : public AppFixture {
protected:
    void SetUp() override {
        server.respond("GET", "/page", 200,
                       "<html><head><title>公告</title></head><body><p>今日开服</p>"
                       "<a href=\"/next\">下一页</a><a href=\"/popup\" target=\"_blank\">新窗口</a></body></html>",
                       "text/html; charset=utf-8");
        server.respond("GET", "/next", 200, "<title>第二页</title>second", "text/html");
        webView = make<WKWebView>(CGRectMake(0, 0, 320, 480), nullptr);
        webView->setNavigationDelegate(recorder);
        webView->setUIDelegate(recorder);
    }

    Ref<NSURLRequest> request(const std::string& path) {
        return NSURLRequest::requestWithURL(NSURL::URLWithString(server.url(path)));
    }
    bool waitUntilDone() {
        return runUntil([&] { return recorder->finished() && !webView->isLoading(); });
    }
    // Puts the web view, filling a screen, in a new key window.
    void showInWindow() {
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        auto controller = make<UIViewController>();
        window->setRootViewController(controller);
        window->makeKeyAndVisible();
        webView->setFrame(controller->view()->bounds());
        controller->view()->addSubview(webView);
    }
    bool waitForEvents(std::size_t count) {
        return runUntil([&] { return recorder->events.size() >= count; });
    }

    LoopbackHTTPServer server;
    Ref<WebViewRecorder> recorder = make<WebViewRecorder>();
    Ref<WKWebView> webView;
    Ref<UIWindow> window;
};

TEST_F(WKWebViewTest, ALoadIsOfferedToThePolicyThenReportedUnderOneNavigation) {
    auto navigation = webView->loadRequest(request("/page"));
    ASSERT_NE(navigation, nullptr);
    // The policy is asked on a later turn, not inside loadRequest.
    EXPECT_TRUE(recorder->events.empty());
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events, (Events{"policy " + server.url("/page"), "start", "commit", "finish"}));
    for (const auto& reported : recorder->navigations) EXPECT_EQ(reported, navigation);
    const auto& action = recorder->actions[0];
    EXPECT_EQ(action->navigationType(), WKNavigationType::Other);
    ASSERT_NE(action->targetFrame(), nullptr);
    EXPECT_TRUE(action->targetFrame()->isMainFrame());

    EXPECT_EQ(webView->title(), "公告");
    EXPECT_EQ(webView->URL()->absoluteString(), server.url("/page"));
    EXPECT_FALSE(webView->isLoading());
    EXPECT_EQ(webView->estimatedProgress(), 1.0);
    EXPECT_EQ(webView->pageContent().text, "今日开服\n下一页新窗口");
}

TEST_F(WKWebViewTest, ACancelledOrPendingDecisionLoadsNothing) {
    recorder->policy = [](const Ref<WKNavigationAction>&) { return WKNavigationActionPolicy::Cancel; };
    webView->loadRequest(request("/page"));
    ASSERT_TRUE(waitForEvents(1));
    runUntil([] { return false; }, 0.05);
    EXPECT_EQ(recorder->events.size(), 1u);
    EXPECT_EQ(server.requestCount(), 0u);
    EXPECT_EQ(webView->URL(), nullptr);

    // A decision given later still counts, once.
    recorder->policy = nullptr;
    recorder->holdDecisions = true;
    webView->loadRequest(request("/page"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(server.requestCount(), 0u);
    recorder->heldDecisions[0](WKNavigationActionPolicy::Allow);
    recorder->heldDecisions[0](WKNavigationActionPolicy::Allow);
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(webView->title(), "公告");
}

TEST_F(WKWebViewTest, RedirectsAreOfferedToThePolicyBeforeTheyAreFollowed) {
    server.route("GET", "/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/next", 302);
    });
    webView->loadRequest(request("/old"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events, (Events{"policy " + server.url("/old"), "start", "policy " + server.url("/next"),
                                        "redirect", "commit", "finish"}));
    EXPECT_EQ(webView->URL()->absoluteString(), server.url("/next"));
    EXPECT_EQ(webView->title(), "第二页");

    // Refusing the redirect interrupts the load.
    recorder->events.clear();
    recorder->policy = [&](const Ref<WKNavigationAction>& action) {
        return action->request()->URL()->path() == "/next" ? WKNavigationActionPolicy::Cancel
                                                           : WKNavigationActionPolicy::Allow;
    };
    webView->loadRequest(request("/old"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events.back(), "provisional-fail 102");
    EXPECT_EQ(recorder->lastError->domain(), "WebKitErrorDomain");
}

TEST_F(WKWebViewTest, OtherSchemesAreOfferedButNeverLoadedNorHandedToAnotherApp) {
    server.route("GET", "/pay", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("ripple://wap/pay?order=7", 302);
    });
    webView->loadRequest(request("/pay"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events, (Events{"policy " + server.url("/pay"), "start", "policy ripple://wap/pay?order=7",
                                        "provisional-fail " + std::to_string(NSURLErrorUnsupportedURL)}));
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());

    recorder->events.clear();
    webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString("alipay://alipayclient/?x=1")));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events, (Events{"policy alipay://alipayclient/?x=1",
                                        "provisional-fail " + std::to_string(NSURLErrorUnsupportedURL)}));
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());
}

TEST_F(WKWebViewTest, TransportFailuresAndInterruptedLoadsFailProvisionally) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(refusing.url("/none"))));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->events.back(), "provisional-fail " + std::to_string(NSURLErrorCannotConnectToHost));

    server.respondSlowly("GET", "/slow", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    recorder->events.clear();
    recorder->navigations.clear();
    auto first = webView->loadRequest(request("/slow"));
    ASSERT_TRUE(runUntil([&] { return webView->isLoading(); }));
    auto second = webView->loadRequest(request("/next"));
    ASSERT_TRUE(waitForEvents(7));
    EXPECT_EQ(recorder->events, (Events{"policy " + server.url("/slow"), "start",
                                        "provisional-fail " + std::to_string(NSURLErrorCancelled),
                                        "policy " + server.url("/next"), "start", "commit", "finish"}));
    EXPECT_EQ(recorder->navigations, (std::vector<Ref<WKNavigation>>{first, first, second, second, second}));
}

TEST_F(WKWebViewTest, ALoadBegunInsideAReportEndsTheLoadReportedAndShowsItsPageOnce) {
    // Each load begins the next from a report of its own (start, commit,
    // finish); every report keeps the navigation it was handed.
    Ref<WKNavigation> second, third, fourth;
    recorder->onEvent = [&](const std::string& event, const Ref<WKNavigation>& navigation) {
        const Ref<WKNavigation> handed = navigation;
        if (event == "start" && !second) second = webView->loadRequest(request("/next"));
        if (event == "commit" && navigation == second && webView->title() == "第二页")
            third = webView->loadRequest(request("/page"));
        if (event == "finish" && !fourth) fourth = webView->reload();
        EXPECT_EQ(navigation, handed) << event;
    };
    webView->loadHTMLString("<title>草稿</title>", nullptr);
    ASSERT_TRUE(runUntil([&] { return fourth && recorder->finished() && recorder->navigations.back() == fourth; }));
    const std::string cancelled = std::to_string(NSURLErrorCancelled), page = "policy " + server.url("/page");
    EXPECT_EQ(recorder->events, (Events{"policy about:blank", "start", "provisional-fail " + cancelled,
                                        "policy " + server.url("/next"), "start", "commit", "fail " + cancelled,
                                        page, "start", "commit", "finish", page, "start", "commit", "finish"}));

    // Told of the load that the host's new one ends, the delegate lets the
    // view go: the host's call ends on the view it kept.
    server.respondSlowly("GET", "/slow", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    webView->loadRequest(request("/slow"));
    ASSERT_TRUE(runUntil([&] { return webView->isLoading(); }));
    recorder->onEvent = [&](const std::string&, const Ref<WKNavigation>&) { webView = nullptr; };
    webView->loadRequest(request("/page"));
    EXPECT_EQ(webView, nullptr);
}

TEST_F(WKWebViewTest, LinksLoadInTheFrameOrAskTheUIDelegateForANewWindow) {
    webView->loadRequest(request("/page"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_FALSE(webView->followLink("no such link"));

    recorder->events.clear();
    ASSERT_TRUE(webView->followLink("新窗口"));
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_EQ(recorder->events, (Events{"policy " + server.url("/popup"), "new-window " + server.url("/popup")}));
    EXPECT_EQ(recorder->actions.back()->targetFrame(), nullptr);
    EXPECT_EQ(recorder->actions.back()->navigationType(), WKNavigationType::LinkActivated);
    EXPECT_EQ(webView->URL()->absoluteString(), server.url("/page"));

    // With a web view from the UI delegate, the link loads there.
    auto popup = make<WKWebView>(CGRectZero, webView->configuration());
    recorder->newWindow = popup;
    ASSERT_TRUE(webView->followLink("新窗口"));
    ASSERT_TRUE(runUntil([&] { return popup->URL() != nullptr; }));
    EXPECT_EQ(popup->URL()->absoluteString(), server.url("/popup"));

    recorder->events.clear();
    ASSERT_TRUE(webView->followLink("下一页"));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->actions.back()->navigationType(), WKNavigationType::LinkActivated);
    EXPECT_EQ(webView->title(), "第二页");
    EXPECT_TRUE(webView->canGoBack());

    recorder->events.clear();
    webView->goBack();
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->actions.back()->navigationType(), WKNavigationType::BackForward);
    EXPECT_EQ(webView->title(), "公告");
    EXPECT_FALSE(webView->canGoBack());
    EXPECT_TRUE(webView->canGoForward());

    recorder->events.clear();
    webView->reload();
    ASSERT_TRUE(waitForEvents(4));
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(recorder->actions.back()->navigationType(), WKNavigationType::Reload);
    EXPECT_TRUE(webView->canGoForward());
}

TEST_F(WKWebViewTest, ScriptsAreRecordedAndPageMessagesReachTheirHandler) {
    struct Handler : NSObject, WKScriptMessageHandler {
        std::vector<std::string> bodies;
        void didReceiveScriptMessage(const Ref<WKUserContentController>&, const Ref<WKScriptMessage>& message) override {
            bodies.push_back(message->name() + ":" + message->body().description());
        }
    };
    auto handler = make<Handler>();
    auto configuration = make<WKWebViewConfiguration>();
    configuration->userContentController()->addScriptMessageHandler(handler, "gameinfo");
    configuration->userContentController()->addScriptMessageHandler(make<Handler>(), "gameinfo");
    auto view = make<WKWebView>(CGRectZero, configuration);

    EXPECT_TRUE(view->postScriptMessage("gameinfo", Value("paid")));
    EXPECT_FALSE(view->postScriptMessage("other", Value("x")));
    EXPECT_EQ(handler->bodies, (std::vector<std::string>{"gameinfo:paid"}));
    configuration->userContentController()->removeScriptMessageHandlerForName("gameinfo");
    EXPECT_FALSE(view->postScriptMessage("gameinfo", Value("again")));

    bool completed = false;
    view->evaluateJavaScript("document.title", [&](const Value& result, const Ref<NSError>& error) {
        completed = result.isNil() && error == nullptr;
    });
    view->evaluateJavaScript("var a = 1;");
    EXPECT_EQ(view->evaluatedScripts(), (std::vector<std::string>{"document.title", "var a = 1;"}));
    ASSERT_TRUE(runUntil([&] { return completed; }));
}

TEST_F(WKWebViewTest, TheLoadedPageShowsAsItsTitleAndText) {
    showInWindow();
    webView->loadHTMLString("<title>开服通知</title><p>双线一区 10:00 开服</p>", nullptr);
    ASSERT_TRUE(waitUntilDone());
    EXPECT_EQ(webView->URL()->absoluteString(), "about:blank");
    UIDriver driver;
    EXPECT_NE(driver.find("开服通知"), nullptr);
    EXPECT_NE(driver.find("双线一区 10:00 开服"), nullptr);
    EXPECT_TRUE(driver.shot(testShotPath("wkwebview_page.png"))) << driver.lastError();
}

TEST_F(WKWebViewTest, ALongPageScrollsAndShowsOnlyTheLinesInTheWindow) {
    showInWindow();
    std::string text = "FIRSTWORD";
    for (int word = 0; word < 600; ++word) text += " filler";
    webView->loadHTMLString("<title>公告</title><p>" + text + " LASTWORD</p>", nullptr);
    ASSERT_TRUE(waitUntilDone());
    UIDriver driver;
    auto drawn = [&](const std::string& word) {
        driver.settle();
        auto found = driver.sightings(word);
        return found.size() == 1 && found.front().drawn;
    };
    EXPECT_TRUE(drawn("FIRSTWORD"));
    EXPECT_FALSE(drawn("LASTWORD"));
    ASSERT_TRUE(driver.scroll(nullptr, 1e6)) << driver.lastError();
    EXPECT_FALSE(drawn("FIRSTWORD"));
    EXPECT_TRUE(drawn("LASTWORD"));

    // A page of 8 MiB of text lays out no more than a page shows, ending in "…".
    std::string lines;
    while (lines.size() < WebFrameLoader::kLargestPageBytes - 64) lines += "订单 13 已支付，金额 100.00 元\n";
    server.respond("GET", "/long", 200, lines, "text/plain");
    webView->loadRequest(request("/long"));
    ASSERT_TRUE(runUntil([&] { return !webView->isLoading() && webView->pageContent().text.starts_with("订单"); }));
    std::size_t laidOut = 0;
    for (const auto& label : driver.findAllOfClass("UILabel")) laidOut += cast<UILabel>(label)->text().size();
    EXPECT_LE(laidOut, WebPageContent::kMostShownBytes + std::strlen("…"));
    ASSERT_TRUE(driver.scroll(nullptr, 1e6)) << driver.lastError();
    EXPECT_TRUE(drawn("…"));
}

TEST_F(WKWebViewTest, ATapOnALinksTextFollowsIt) {
    showInWindow();
    webView->loadRequest(request("/page"));
    ASSERT_TRUE(waitUntilDone());
    UIDriver driver;
    EXPECT_TRUE(driver.shot(testShotPath("wkwebview_links.png"))) << driver.lastError();
    // Plain text takes no tap; a link's text does, as a link activated.
    EXPECT_FALSE(driver.tap("今日开服"));
    recorder->events.clear();
    ASSERT_TRUE(driver.tap("下一页")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return webView->title() == "第二页" && !webView->isLoading(); }));
    EXPECT_EQ(recorder->actions.back()->navigationType(), WKNavigationType::LinkActivated);
    EXPECT_EQ(recorder->events.front(), "policy " + server.url("/next"));
    EXPECT_EQ(driver.find("下一页"), nullptr) << "the new page replaced the links";
}

}  // namespace
