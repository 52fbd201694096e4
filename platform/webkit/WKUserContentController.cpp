#include "webkit/WKUserContentController.h"

#include <algorithm>

void WKUserContentController::addScriptMessageHandler(const Ref<WKScriptMessageHandler>& handler,
                                                      const std::string& name) {
    if (!handler) return;
    const bool taken = std::any_of(handlers_.begin(), handlers_.end(), [&](const auto& entry) { return entry.first == name; });
    if (!taken) handlers_.emplace_back(name, handler);
}

void WKUserContentController::removeScriptMessageHandlerForName(const std::string& name) {
    std::erase_if(handlers_, [&](const auto& entry) { return entry.first == name; });
}

std::vector<std::string> WKUserContentController::scriptMessageHandlerNames() const {
    std::vector<std::string> names;
    for (const auto& entry : handlers_) names.push_back(entry.first);
    return names;
}

bool WKUserContentController::deliverScriptMessage(const std::string& name, const Value& body,
                                                   const Ref<WKWebView>& webView) {
    auto found = std::find_if(handlers_.begin(), handlers_.end(), [&](const auto& entry) { return entry.first == name; });
    if (found == handlers_.end()) return false;
    auto handler = found->second;  // the handler may remove itself
    handler->didReceiveScriptMessage(self<WKUserContentController>(), make<WKScriptMessage>(name, body, webView));
    return true;
}
