#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "app/shell/KXNavigationController.h"
#include "tests/app/DemoPromoterFixture.h"
#include "tests/support/LoopbackHTTPServer.h"

// Screens of the team folder pushed on a navigation stack in the key window.
// The app reaches the back end through a relay that records every request,
// so a test sees what was sent as well as what the back end did with it,
// and can answer an action in its own way or hold its answers back.
class TeamScreenFixture : public DemoPromoterFixture {
protected:
    using Query = std::map<std::string, std::string>;

    void SetUp() override {
        DemoPromoterFixture::SetUp();
        if (HasFatalFailure()) return;
        relay.route("GET", "/", [this, port = backend->port()](const httplib::Request& request,
                                                               httplib::Response& response) {
            const std::string ac = request.get_param_value("ac");
            {
                std::unique_lock lock(scriptMutex_);
                released_.wait_for(lock, std::chrono::seconds(10), [&] { return !held_.count(ac); });
                if (auto scripted = scripts_.find(ac); scripted != scripts_.end()) {
                    if (scripted->second == kHTTPFailure) response.status = 500;
                    else response.set_content(scripted->second, "application/json");
                    return;
                }
            }
            httplib::Client client("127.0.0.1", port);
            auto answer = client.Get("/", request.params, httplib::Headers{});
            if (!answer) {
                response.status = 502;
                return;
            }
            response.status = answer->status;
            response.set_content(answer->body, answer->get_header_value("Content-Type"));
        });
        KXServiceAddress::setBaseURL(relay.baseURL());
        stack = make<KXNavigationController>(make<UIViewController>());
        showInWindow(stack);
        driver.settle();
    }
    void TearDown() override {
        release();
        DemoPromoterFixture::TearDown();
    }

    // Answers the action with `body` instead of the back end (kHTTPFailure:
    // an HTTP failure).
    static constexpr const char* kHTTPFailure = "HTTP 500";
    void script(const std::string& ac, std::string body) {
        std::lock_guard lock(scriptMutex_);
        scripts_[ac] = std::move(body);
    }
    // Holds the action's answers back until release().
    void hold(const std::string& ac) {
        std::lock_guard lock(scriptMutex_);
        held_.insert(ac);
    }
    void release() {
        std::lock_guard lock(scriptMutex_);
        held_.clear();
        released_.notify_all();
    }

    // Pushes the screen as the menus do and lets the push finish.
    template <class Screen> Ref<Screen> push() {
        auto screen = make<Screen>();
        stack->pushViewController(screen, true);
        finishTransition();
        return screen;
    }
    Ref<UIViewController> top() const { return stack->topViewController(); }

    // Runs the loop until a HUD with this text shows.
    bool waitForHUD(const std::string& text) {
        return runUntil([&] { return hudText() == text; });
    }

    // The queries of the requests sent with action `ac`, in arrival order.
    std::vector<Query> sent(const std::string& ac) const {
        std::vector<Query> queries;
        for (const auto& request : relay.requests()) {
            httplib::Params params;
            httplib::detail::parse_query_text(request.query, params);
            Query query(params.begin(), params.end());
            if (query["ac"] == ac) queries.push_back(std::move(query));
        }
        return queries;
    }

    // Writes what the key window shows to <build>/shots/team/<name>.png.
    void shot(const std::string& name) { DemoPromoterFixture::shot("team", name); }

    // Declared before the relay, whose handlers use them until it stops.
    std::mutex scriptMutex_;
    std::condition_variable released_;
    std::map<std::string, std::string> scripts_;
    std::set<std::string> held_;
    LoopbackHTTPServer relay;
    Ref<KXNavigationController> stack;
};
