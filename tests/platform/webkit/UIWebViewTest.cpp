#include <gtest/gtest.h>

#include "foundation/NSURLError.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIApplication.h"
#include "webkit/UIWebView.h"

namespace {

// Writes down every delegate call and answers shouldStart with `allow`;
// runs `onStart` as a load starts.
class Recorder : public NSObject, public UIWebViewDelegate {
public:
    std::vector<std::string> events;
    std::vector<UIWebViewNavigationType> types;
    std::function<bool(const Ref<NSURLRequest>&)> allow;
    std::function<void()> onStart;

    bool shouldStartLoadWithRequest(const Ref<UIWebView>&, const Ref<NSURLRequest>& request,
                                    UIWebViewNavigationType type) override {
        events.push_back("should " + request->URL()->absoluteString());
        types.push_back(type);
        return !allow || allow(request);
    }
    void webViewDidStartLoad(const Ref<UIWebView>&) override { events.push_back("start"); if (onStart) onStart(); }
    void webViewDidFinishLoad(const Ref<UIWebView>& webView) override {
        events.push_back("finish " + webView->stringByEvaluatingJavaScriptFromString("document.title"));
    }
    void didFailLoadWithError(const Ref<UIWebView>&, const Ref<NSError>& error) override {
        events.push_back("fail " + error->domain() + " " + std::to_string(error->code()));
    }
};

using Events = std::vector<std::string>;

class UIWebViewTest : public AppFixture {
protected:
    void SetUp() override {
        server.respond("GET", "/login", 200, "<title>涟信登录</title><a href=\"/sms\">短信登录</a>", "text/html");
        server.route("GET", "/back", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("rp123://wapoauth?code=1", 302);
        });
        UIApplication::installSimulatedApp("rp123", [this](const Ref<NSURL>& url) { opened.push_back(url->absoluteString()); });
        webView->setDelegate(recorder);
    }
    bool settled() {
        return runUntil([&] {
            return !recorder->events.empty() && !webView->isLoading() && recorder->events.back().rfind("should", 0) != 0;
        });
    }
    void load(const std::string& url) { webView->loadRequest(NSURLRequest::requestWithURL(NSURL::URLWithString(url))); }

    LoopbackHTTPServer server;
    Ref<UIWebView> webView = make<UIWebView>(CGRectMake(0, 0, 320, 480));
    Ref<Recorder> recorder = make<Recorder>();
    std::vector<std::string> opened;
};

TEST_F(UIWebViewTest, LoadsAskTheDelegateFirstAndAnswerTheTitleScript) {
    load(server.url("/login"));
    ASSERT_TRUE(settled());
    EXPECT_EQ(recorder->events, (Events{"should " + server.url("/login"), "start", "finish 涟信登录"}));
    EXPECT_EQ(recorder->types[0], UIWebViewNavigationType::Other);
    EXPECT_EQ(webView->stringByEvaluatingJavaScriptFromString("localStorage['k'] = 1;"), "");
    EXPECT_EQ(webView->evaluatedScripts().size(), 2u);

    recorder->events.clear();
    ASSERT_TRUE(webView->followLink("短信登录"));
    ASSERT_TRUE(settled());
    EXPECT_EQ(recorder->types.back(), UIWebViewNavigationType::LinkClicked);
    EXPECT_EQ(recorder->events.back(), "finish ");  // a 404 page without a title still finishes

    recorder->events.clear();
    recorder->allow = [](const Ref<NSURLRequest>&) { return false; };
    load(server.url("/login"));
    ASSERT_TRUE(runUntil([&] { return recorder->events.size() == 1; }));
    runUntil([] { return false; }, 0.05);
    EXPECT_EQ(recorder->events, (Events{"should " + server.url("/login")}));
}

TEST_F(UIWebViewTest, OtherSchemesGoToTheAppThatOwnsThem) {
    load("rp123://wapoauth?code=2");
    ASSERT_TRUE(runUntil([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened[0], "rp123://wapoauth?code=2");
    EXPECT_EQ(recorder->events, (Events{"should rp123://wapoauth?code=2"}));

    // Reached by a redirect, the hand-over interrupts the load.
    recorder->events.clear();
    load(server.url("/back"));
    ASSERT_TRUE(runUntil([&] { return opened.size() == 2 && recorder->events.size() == 4; }));
    EXPECT_EQ(recorder->events, (Events{"should " + server.url("/back"), "start", "should rp123://wapoauth?code=1",
                                        "fail WebKitErrorDomain 102"}));
}

TEST_F(UIWebViewTest, ANewLoadCancelsTheRunningOneAndAFailedTransportIsReported) {
    server.respondSlowly("GET", "/slow", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    load(server.url("/slow"));
    ASSERT_TRUE(runUntil([&] { return webView->isLoading(); }));
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    load(refusing.url("/"));
    ASSERT_TRUE(runUntil([&] { return recorder->events.size() == 5; }));
    EXPECT_EQ(recorder->events[2], "fail NSURLErrorDomain " + std::to_string(NSURLErrorCancelled));
    EXPECT_EQ(recorder->events[4], "start");
    ASSERT_TRUE(runUntil([&] { return recorder->events.size() == 6; }));
    EXPECT_EQ(recorder->events[5], "fail NSURLErrorDomain " + std::to_string(NSURLErrorCannotConnectToHost));
}

TEST_F(UIWebViewTest, ALoadBegunAsAnotherStartsEndsItAndShowsItsPageOnce) {
    recorder->onStart = [&] { if (recorder->events.size() == 2) load(server.url("/login")); };
    webView->loadHTMLString("<title>草稿</title>", nullptr);
    ASSERT_TRUE(runUntil([&] { return !recorder->events.empty() && recorder->events.back().rfind("finish", 0) == 0; }));
    EXPECT_EQ(recorder->events, (Events{"should about:blank", "start",
                                        "fail NSURLErrorDomain " + std::to_string(NSURLErrorCancelled),
                                        "should " + server.url("/login"), "start", "finish 涟信登录"}));
}

}  // namespace
