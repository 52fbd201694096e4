#pragma once

#include <functional>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "webkit/WKNavigationDelegate.h"
#include "webkit/WKUIDelegate.h"
#include "webkit/WKWebView.h"

// A navigation and UI delegate that writes down every call as one line
// ("policy http://...", "start", "redirect", "commit", "finish",
// "fail -1002", "provisional-fail -999") and answers the policy question
// with `policy` (allow everything by default). `onEvent` runs after each
// reported call is written down, with the navigation the call was handed.
class WebViewRecorder : public NSObject, public WKNavigationDelegate, public WKUIDelegate {
public:
    std::vector<std::string> events;
    std::vector<Ref<WKNavigationAction>> actions;
    std::vector<Ref<WKNavigation>> navigations;
    Ref<NSError> lastError;
    std::function<WKNavigationActionPolicy(const Ref<WKNavigationAction>&)> policy;
    // Kept instead of answered, when set.
    bool holdDecisions = false;
    std::vector<PolicyDecisionHandler> heldDecisions;
    // What createWebViewWithConfiguration answers.
    Ref<WKWebView> newWindow;
    std::function<void(const std::string& event, const Ref<WKNavigation>& navigation)> onEvent;

    bool finished() const { return !events.empty() && (events.back() == "finish" || events.back().find("fail") == 0 ||
                                                        events.back().find("provisional-fail") == 0); }

    void decidePolicyForNavigationAction(const Ref<WKWebView>&, const Ref<WKNavigationAction>& action,
                                         PolicyDecisionHandler decisionHandler) override {
        events.push_back("policy " + action->request()->URL()->absoluteString());
        actions.push_back(action);
        if (holdDecisions) {
            heldDecisions.push_back(std::move(decisionHandler));
            return;
        }
        decisionHandler(policy ? policy(action) : WKNavigationActionPolicy::Allow);
    }
    void didStartProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>& navigation) override {
        record("start", navigation);
    }
    void didReceiveServerRedirectForProvisionalNavigation(const Ref<WKWebView>&,
                                                          const Ref<WKNavigation>& navigation) override {
        record("redirect", navigation);
    }
    void didCommitNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>& navigation) override {
        record("commit", navigation);
    }
    void didFinishNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>& navigation) override {
        record("finish", navigation);
    }
    void didFailProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>& navigation,
                                      const Ref<NSError>& error) override {
        lastError = error;
        record("provisional-fail " + std::to_string(error->code()), navigation);
    }
    void didFailNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>& navigation,
                           const Ref<NSError>& error) override {
        lastError = error;
        record("fail " + std::to_string(error->code()), navigation);
    }
    Ref<WKWebView> createWebViewWithConfiguration(const Ref<WKWebView>&, const Ref<WKWebViewConfiguration>&,
                                                  const Ref<WKNavigationAction>& action) override {
        events.push_back("new-window " + action->request()->URL()->absoluteString());
        return newWindow;
    }

private:
    void record(const std::string& event, const Ref<WKNavigation>& navigation) {
        events.push_back(event);
        navigations.push_back(navigation);
        if (onEvent) onEvent(event, navigation);
    }
};
