#include "kits/ripple/RPApi.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "foundation/NSString.h"
#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RMApiRegister.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RippleApiUtil.h"
#include "kits/ripple/WapAuthHandler.h"

// --- State ---

RPApi::AppID& RPApi::registeredIdentifier() {
    static AppID identifier;
    return identifier;
}

RPText& RPApi::pendingConversationAccount() {
    static RPText account;
    return account;
}

std::uint64_t& RPApi::contentSupportFlag() {
    static std::uint64_t flag = 0;
    return flag;
}

std::set<RPApi::Awaited>& RPApi::awaited() {
    static std::set<Awaited> out;
    return out;
}

bool RPApi::awaitReply(bool sent, Awaited kind) {
    if (sent) awaited().insert(kind);
    return sent;
}

bool RPApi::admitAnswer(Awaited kind) {
    if (awaited().erase(kind) > 0) return true;
    RPLogUtil::log("reply with no request of its kind out: dropped");
    return false;
}

std::vector<RPApi::UntoldFailure>& RPApi::untoldFailures() {
    static std::vector<UntoldFailure> untold;
    return untold;
}

void RPApi::sending(Awaited kind) {
    auto& untold = untoldFailures();
    const auto earlier = std::find_if(untold.begin(), untold.end(), [kind](const auto& f) { return f.kind == kind; });
    if (earlier == untold.end()) return;
    const UntoldFailure failure = *earlier;
    untold.erase(earlier);
    failure.delegate->onResp(failure.answer);
}

void RPApi::forgetRequestsForTesting() {
    awaited().clear();
    untoldFailures().clear();
    WapAuthHandler::shareWapAuthHandlerInstance()->resetForTesting();
}

// --- Registration ---

bool RPApi::registerApp(const AppID& appId) { return registerApp(appId, true); }

bool RPApi::registerApp(const AppID& appId, bool enableUTA) {
    if (!appId) {
        RPLogUtil::logError("appId is nil!");
        return false;
    }
    if (RMApiRegister::isAppRegisterRippleScheme()) {
        RPLogUtil::logError(NSString::stringWithFormat("URL types register ripple scheme(%@)!", "ripple"));
        return false;
    }
    registeredIdentifier() = appId;
    return RMApiRegister::registerApp(appId, 0, enableUTA);
}

RPApi::AppID RPApi::registeredAppId() { return registeredIdentifier(); }

void RPApi::registerAppSupportContentFlag(std::uint64_t flag) { contentSupportFlag() = flag; }

// --- Incoming URLs ---

bool RPApi::handleOpenURL(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!delegate || !url) return false;
    using Parser = bool (*)(const Ref<NSURL>&, const Ref<RPApiDelegate>&);
    // The web authorisation page's return ("<id>://wapoauth?") loads its next page.
    constexpr Parser handleWapAuthReturn = [](const Ref<NSURL>& address, const Ref<RPApiDelegate>&) {
        return WapAuthHandler::shareWapAuthHandlerInstance()->handleWapOAuthOpenUrl(address);
    };
    static constexpr Parser parsers[] = {
        handleAuthOpenUrl,          handlePayOpenUrl,          handleOfflinePayUrl,
        handleHBOpenUrl,            handleWapAuthReturn,       handleAddCardOpenUrl,      handleChooseCard,
        handleChooseInvoice,        handleOpenTempSessionOpenUrl, handleOpenWebviewOpenUrl,
        handleOpenBusinessWebviewOpenUrl, handleOpenRankList,  handleOpenTypeWebView,
    };
    for (Parser parser : parsers) {
        if (parser(url, delegate)) return true;
    }
    return handlePasteboardMessage(url, delegate);
}

namespace {

template <class T> bool kindOf(const Ref<NSObject>& object) { return isKind<T>(object); }

using Awaited = RPApi::Awaited;

// What each command of a message from the Ripple app is delivered as, and
// the request of the host's that a reply answers: an authorisation (kept
// by WapAuthHandler) or one awaited by kind.
struct Delivery {
    std::uint64_t command;
    bool isRequest;
    bool (*expected)(const Ref<NSObject>&);
    bool authorisation = false;
    std::optional<Awaited> answers = std::nullopt;
};
constexpr Delivery kDeliveries[] = {
    {AppCommunicateData::kMediaMessage, true, kindOf<ShowMessageFromRPReq>},
    {AppCommunicateData::kGetMessage, true, kindOf<GetMessageFromRPReq>},
    {AppCommunicateData::kSendResultWithLanguage, false, kindOf<SendMessageToRPResp>, false, Awaited::Share},
    {AppCommunicateData::kSendResult, false, kindOf<SendMessageToRPResp>, false, Awaited::Share},
    {AppCommunicateData::kAuthResult, false, kindOf<SendAuthResp>, true},
    {AppCommunicateData::kLaunchFromRipple, true, kindOf<LaunchFromRPReq>},
    {AppCommunicateData::kCreateChatRoomResult, false, kindOf<CreateChatRoomResp>, false, Awaited::CreateChatRoom},
    {AppCommunicateData::kJoinChatRoomResult, false, kindOf<JoinChatRoomResp>, false, Awaited::JoinChatRoom},
    {AppCommunicateData::kLaunchMiniProgramResult, false, kindOf<RPLaunchMiniProgramResp>, false,
     Awaited::LaunchMiniProgram},
    {AppCommunicateData::kOpenBusinessViewResult, false, kindOf<RPOpenBusinessViewResp>, false,
     Awaited::OpenBusinessView},
};

// The answer told for a request of `kind` answered on the pasteboard when
// the Ripple app came back with no reply the kit can read.
Ref<BaseResp> failedAnswer(Awaited kind) {
    Ref<BaseResp> failed;
    switch (kind) {
    case Awaited::Share: failed = make<SendMessageToRPResp>(); break;
    case Awaited::CreateChatRoom: failed = make<CreateChatRoomResp>(); break;
    case Awaited::JoinChatRoom: failed = make<JoinChatRoomResp>(); break;
    case Awaited::LaunchMiniProgram: failed = make<RPLaunchMiniProgramResp>(); break;
    case Awaited::OpenBusinessView: failed = make<RPOpenBusinessViewResp>(); break;
    default: return nullptr;
    }
    failed->setErrCode(BaseResp::kFailed);
    return failed;
}

}  // namespace

bool RPApi::handlePasteboardMessage(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!RippleApiUtil::isAppOpenUrl(url, registeredIdentifier())) return false;
    auto message = AppCommunicate::appCommunicateDataForAppID(registeredIdentifier());
    if (!message) {
        // The Ripple app came back ("<id>://platformId=ripple") without a
        // reply the kit can read.
        const auto rippleReturn = RippleApiUtil::getAppUrlWithPlatformId(registeredIdentifier());
        if (url->absoluteString().starts_with(rippleReturn->absoluteString())) endRequestsOutAsFailed(delegate);
        return false;
    }
    pendingConversationAccount() = message->conversationAccount();
    for (const Delivery& delivery : kDeliveries) {
        if (delivery.command != message->command()) continue;
        if (delivery.isRequest) {
            auto request = message->DataToReq();
            if (!delivery.expected(request)) return false;
            delegate->onReq(request);
            return true;
        }
        auto response = message->DataToResp();
        if (!delivery.expected(response)) {
            endRequestsOutAsFailed(delegate);
            return false;
        }
        bool admitted = true;
        if (delivery.answers) {
            admitted = admitAnswer(*delivery.answers);
        } else if (delivery.authorisation) {
            const RPText state = cast<SendAuthResp>(response)->state();
            admitted = WapAuthHandler::shareWapAuthHandlerInstance()->admitAuthAnswer(state, true);
        }
        if (admitted) delegate->onResp(response);
        return true;
    }
    // A command the kit does not deliver.
    return true;
}

void RPApi::endRequestsOutAsFailed(const Ref<RPApiDelegate>& delegate) {
    auto& untold = untoldFailures();
    const std::size_t before = untold.size();
    // Only the requests answered on the pasteboard: the others come back by
    // URL.
    for (auto kind = awaited().begin(); kind != awaited().end();) {
        if (*kind > Awaited::OpenBusinessView) {
            ++kind;
            continue;
        }
        untold.push_back({*kind, failedAnswer(*kind), delegate});
        kind = awaited().erase(kind);
    }
    if (auto login = WapAuthHandler::shareWapAuthHandlerInstance()->endRippleAppAuthorisation()) {
        // Its state tells the host which login failed.
        auto failed = make<SendAuthResp>();
        failed->setErrCode(BaseResp::kFailed);
        failed->setState(login->state());
        untold.push_back({Awaited::Authorisation, failed, delegate});
    }
    if (untold.size() == before) return;
    RPLogUtil::log("no readable reply from the Ripple app: the request out failed");
    while (!untold.empty()) {
        const UntoldFailure failure = untold.front();
        untold.erase(untold.begin());
        failure.delegate->onResp(failure.answer);
    }
}

bool RPApi::matchesAnswerPrefix(const Ref<NSURL>& url, const std::string& suffix, bool longer) {
    if (!url || !registeredIdentifier()) return false;
    std::string prefix = *registeredIdentifier() + suffix;
    std::string address = url->absoluteString();
    return address.starts_with(prefix) && (!longer || address.size() > prefix.size());
}

Dictionary RPApi::parseURLParams(const std::optional<std::string>& query) {
    Dictionary parameters;
    if (!query) return parameters;
    for (const std::string& piece : NSString::componentsSeparatedByString(*query, "&")) {
        auto parts = NSString::componentsSeparatedByString(piece, "=");
        if (parts.size() >= 2) parameters.set(parts[0], parts[1]);
    }
    return parameters;
}

// --- Log ---

void RPApi::startLogByLevel(std::int64_t level, RPLogUtil::LogBlock block) {
    RPLogUtil::sharedInstance().configLogBlock(std::move(block), level);
}

void RPApi::startLogByLevel(std::int64_t level, const Ref<RPApiLogDelegate>& delegate) {
    RPLogUtil::sharedInstance().configLogDelegate(delegate, level);
}

void RPApi::stopLog() { RPLogUtil::sharedInstance().removeLog(); }
