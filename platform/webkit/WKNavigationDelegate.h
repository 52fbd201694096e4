#pragma once

#include <functional>

#include "foundation/NSError.h"
#include "webkit/WKNavigation.h"
#include "webkit/WKNavigationAction.h"

class WKWebView;

// What a web view asks and tells about its navigations. Every method is
// optional: the default policy allows every navigation.
class WKNavigationDelegate {
public:
    using PolicyDecisionHandler = std::function<void(WKNavigationActionPolicy)>;

    virtual ~WKNavigationDelegate() = default;
    // Asked for every navigation (loads, links, redirects, back, reload);
    // the handler may be called later.
    virtual void decidePolicyForNavigationAction(const Ref<WKWebView>&, const Ref<WKNavigationAction>&,
                                                 PolicyDecisionHandler decisionHandler) {
        decisionHandler(WKNavigationActionPolicy::Allow);
    }
    virtual void didStartProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&) {}
    virtual void didReceiveServerRedirectForProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&) {}
    virtual void didFailProvisionalNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&, const Ref<NSError>&) {}
    virtual void didCommitNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&) {}
    virtual void didFinishNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&) {}
    virtual void didFailNavigation(const Ref<WKWebView>&, const Ref<WKNavigation>&, const Ref<NSError>&) {}
};
