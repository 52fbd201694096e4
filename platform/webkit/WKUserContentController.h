#pragma once

#include <string>
#include <utility>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "webkit/WKScriptMessageHandler.h"

class WKWebView;

// The script message handlers of the web views that share a configuration,
// by name. Handlers are held strongly, as the platform does.
class WKUserContentController : public NSObject {
public:
    // A second handler under a name already taken is ignored.
    void addScriptMessageHandler(const Ref<WKScriptMessageHandler>& handler, const std::string& name);
    void removeScriptMessageHandlerForName(const std::string& name);
    std::vector<std::string> scriptMessageHandlerNames() const;

    // A page's window.webkit.messageHandlers.<name>.postMessage(body):
    // delivered to the handler of that name; false when there is none.
    bool deliverScriptMessage(const std::string& name, const Value& body, const Ref<WKWebView>& webView);

private:
    std::vector<std::pair<std::string, Ref<WKScriptMessageHandler>>> handlers_;
};
