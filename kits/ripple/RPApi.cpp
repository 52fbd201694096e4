#include "kits/ripple/RPApi.h"

#include "foundation/NSString.h"
#include "kits/ripple/PayResp.h"
#include "kits/ripple/RMApiRegister.h"

namespace {

std::optional<std::string> registeredIdentifier;

std::optional<std::string> textFor(const Dictionary& parameters, std::string_view key) {
    const std::string* text = parameters[key].text();
    return text ? std::optional<std::string>(*text) : std::nullopt;
}

}  // namespace

bool RPApi::registerApp(const std::optional<std::string>& appId) { return registerApp(appId, true); }

bool RPApi::registerApp(const std::optional<std::string>& appId, bool) {
    auto& log = RPLogUtil::sharedInstance();
    if (!appId) {
        log.printLog(RPLogUtil::errorLine("appId is nil!"), 0);
        return false;
    }
    if (RMApiRegister::isAppRegisterRippleScheme()) {
        log.printLog(RPLogUtil::errorLine("URL types register ripple scheme(ripple)!"), 0);
        return false;
    }
    registeredIdentifier = appId;
    return true;
}

std::optional<std::string> RPApi::registeredAppId() { return registeredIdentifier; }

bool RPApi::sendReq(const Ref<BaseReq>& request) {
    if (!request) return false;
    if (!registeredIdentifier || registeredIdentifier->empty()) {
        RPLogUtil::sharedInstance().printLog(RPLogUtil::errorLine("register appid is nil"), 0);
        return false;
    }
    // Nothing carries a request to the Ripple app yet (see the header).
    return false;
}

bool RPApi::handleOpenURL(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!delegate || !url) return false;
    return handlePayOpenUrl(url, delegate);
}

bool RPApi::matchesAnswerPrefix(const Ref<NSURL>& url, const std::string& suffix, bool longer) {
    if (!registeredIdentifier) return false;
    std::string prefix = *registeredIdentifier + suffix;
    std::string address = url->absoluteString();
    return address.starts_with(prefix) && (!longer || address.size() > prefix.size());
}

bool RPApi::handlePayOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!url || !matchesAnswerPrefix(url, "://pay/", true)) return false;
    Dictionary parameters = parseURLParams(url->query());
    auto response = make<PayResp>();
    response->setReturnKey(textFor(parameters, "returnKey"));
    response->setErrCode(NSString::intValue(textFor(parameters, "ret").value_or("")));
    response->setErrStr(textFor(parameters, "notifyStr"));
    if (delegate) delegate->onResp(response);
    return true;
}

Dictionary RPApi::parseURLParams(const std::optional<std::string>& query) {
    Dictionary parameters;
    if (!query) return parameters;
    for (const std::string& piece : NSString::componentsSeparatedByString(*query, "&")) {
        auto parts = NSString::componentsSeparatedByString(piece, "=");
        if (parts.size() >= 2) parameters.put(parts[0], parts[1]);
    }
    return parameters;
}

void RPApi::startLogByLevel(std::int64_t level, RPLogUtil::LogBlock block) {
    RPLogUtil::sharedInstance().configLogBlock(std::move(block), level);
}

void RPApi::stopLog() { RPLogUtil::sharedInstance().removeLog(); }
