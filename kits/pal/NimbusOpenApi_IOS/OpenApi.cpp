#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"

#include <charconv>

#include "foundation/NSBundle.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOError.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UIApplication.h"
#include "uikit/UIPasteboard.h"

namespace {

// Session replies last 30 days unless they say otherwise.
constexpr double kDefaultExpirySeconds = 2592000.0;
// The message type of a login reply, and of the answer to a PalSpace share.
constexpr const char* kLoginReply = "0";
constexpr const char* kShareReply = "1";
// The SDK code of an answer that could not be read ("解析数据出错").
constexpr std::int32_t kUnreadableAnswer = 7;

struct Registry {
    std::string scheme;
    WeakRef<NimbusSessionDelegate> sessionDelegate;
    WeakRef<NimbusOAuth> session;
    WeakRef<NimbusLoginDelegate> pendingLoginDelegate;
    std::int32_t authorizeState = OpenApi::kStateIdle;
    // The PalSpace command sent last, until its answer comes.
    std::optional<std::string> commandOut;
    std::optional<std::string> replyPasteboardName;
};

Registry& registry() {
    static Registry shared;
    return shared;
}

// A reply's token or open id: a non-empty text, or nothing.
std::optional<std::string> usableText(const Value& value) {
    if (!value.isText() || value.text()->empty()) return std::nullopt;
    return *value.text();
}

std::optional<Dictionary> unarchiveDictionary(const std::optional<NSData>& data) {
    if (!data) return std::nullopt;
    Value root = NSKeyedUnarchiver::unarchiveObjectWithData(*data);
    if (const Dictionary* dictionary = root.dictionary()) return *dictionary;
    return std::nullopt;
}

std::string applicationStateText() {
    return std::to_string(static_cast<int>(UIApplication::sharedApplication()->applicationState()));
}

// The archived response of a reply, or null when it is missing or is not one.
Ref<APIResponse> unarchiveResponse(const Dictionary& reply) {
    const NSData* data = reply["response_data"].data();
    if (!data) return nullptr;
    Ref<NSError> error;
    Value object = NSKeyedUnarchiver::unarchiveObjectWithData(*data, &error);
    if (error) {
        NSLog("unarchiveObjectWithData failed:\n" + Value(*data).description());
        return nullptr;
    }
    return object.objectAs<APIResponse>();
}

// A reply answers the request that is out, and ends it: a login reply the
// sign-on while one is out (state 1), any other type the PalSpace command of
// that name sent last. With none out (never asked for, or answered already)
// it is no answer of ours: taken, a login reply would sign the host into
// whatever account its sender names, a share reply tell of a share nobody
// made.
bool takesReply(const std::string& msgType) {
    Registry& out = registry();
    const bool login = msgType == kLoginReply;
    if (login ? out.authorizeState != OpenApi::kStateSSO : out.commandOut != msgType) {
        NSLog("processMessage: no request is waiting for the reply " + msgType);
        return false;
    }
    if (login) {
        out.authorizeState = OpenApi::kStateIdle;
    } else {
        out.commandOut.reset();
    }
    return true;
}

// A reply's answer, to the delegate callback named after its message type
// ("%@%@Response:": first letter lower-cased) or to the general one. A reply
// that cannot be read (nothing) or holds no answer is a failure (retCode 1,
// "解析数据出错"): the request it answers has ended.
void deliverResponse(const std::optional<Dictionary>& reply, const std::string& msgType) {
    auto response = reply ? unarchiveResponse(*reply) : nullptr;
    if (!response) {
        response = NBOpenSDKErrorUtil::apiResponseFromErrorCode(kUnreadableAnswer);
        response->setRetCode(1);
    }
    auto delegate = OpenApi::registeredSessionDelegate();
    if (!delegate) return;
    std::string name = msgType;
    name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
    delegate->receiveReply(NimbusSessionDelegate::responseCallbackNamed(name + "Response"), response, msgType);
}

// A message type written as a plain decimal number.
std::optional<int> messageNumber(const std::string& text) {
    int number = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || std::to_string(number) != text) return std::nullopt;
    return number;
}

// The first probe that an installed app answers gives the version.
int versionByProbes(std::initializer_list<std::pair<const char*, int>> probes) {
    for (const auto& [url, version] : probes)
        if (NBOSDKCanOpenURLString(url)) return version;
    return 0;
}

bool signOnRefused(const std::string& reason) {
    NBOError::setLastOAuthError(0, reason);
    NSLog(reason);
    return false;
}

// Percent-escapes the address (UTF-8) and opens it in the app it names.
bool openEscaped(const std::string& address) {
    auto escaped = NSString::stringByAddingPercentEscapesUsingEncoding(address, NSUTF8StringEncoding);
    auto url = escaped ? NSURL::URLWithString(*escaped) : nullptr;
    return url && PalOpenApiUtility::openURL(url);
}

// Saves the data for a Pal app, on the general pasteboard when `general`;
// answers the board's name.
std::string savedBoard(const Dictionary& data, bool general) {
    return general ? OpenApi::saveDictionaryByGeneralPastboard(data)
                   : OpenApi::saveDictionaryToPasteBoard(data, std::nullopt);
}

std::string generalPastboardQuery(bool general) { return std::string("?generalpastboard=") + (general ? "1" : "0"); }

}  // namespace

int OpenApi::palVersion() {
    return versionByProbes({{"ntloginmpal2://psapp", 6},
                            {"mpalopensdkapiV3://psapp", 5},
                            {"mpalwpa://psapp", 4},
                            {"mpalopensdkapiV2://psapp", 3},
                            {"mpalOpensdkSSoLogin://palapp", 2},
                            {"mpal://palapp", 1}});
}

int OpenApi::palspaceVersion() {
    return versionByProbes({{"mpalspaceopensdkapiV2://psapp", 5},
                            {"mpalspaceopensdkapi19://psapp", 4},
                            {"mpalspaceopensdkapi://psapp", 3},
                            {"mpalspaceopensdk://psapp", 2},
                            {"mpalspace://psapp", 1}});
}

bool OpenApi::isSupportGeneralPastboard() { return NBOSDKCanOpenURLString("mpalopensdkapiV2://"); }

bool OpenApi::isPalSpaceInstalled() {
    return NBOSDKCanOpenURLString("mpalspaceopensdk://psapp") || NBOSDKCanOpenURLString("mpalspaceopensdkapi://psapp");
}

bool OpenApi::isPalSpaceSupportGeneralPastboard() { return NBOSDKCanOpenURLString("mpalspaceopensdkapiV2://"); }

bool OpenApi::canParseURL(const Ref<NSURL>& url) { return url && UIApplication::sharedApplication()->canOpenURL(url); }

bool OpenApi::openPalSpaceWithCommandStr(const std::string& command, const Dictionary& data) {
    if (palspaceVersion() < 3 || !TcApiTool::isRegistSchemeInfoPlistFile(registeredScheme())) return false;
    const bool general = isPalSpaceSupportGeneralPastboard();
    if (!openEscaped("mpalspaceopensdkapi://psapp/" + registeredScheme() + "/" + savedBoard(data, general) + "/" +
                     command + generalPastboardQuery(general)))
        return false;
    registry().commandOut = command;
    return true;
}

bool OpenApi::openPalSpaceWithCommand(std::uint32_t command, const Dictionary& data) {
    return openPalSpaceWithCommandStr(std::to_string(command), data);
}

// The address names the app by its scheme, so that PalSpace knows whom to
// come back to.
bool OpenApi::openPalSpace() {
    if (!isPalSpaceInstalled()) return false;
    return PalOpenApiUtility::openURL(NSURL::URLWithString("mpalspaceopensdk://psapp/" + registeredScheme() + "/"));
}

bool OpenApi::authorizeWithPermission(const std::vector<std::string>& permissions,
                                      const Ref<NimbusLoginDelegate>& delegate, int callApp) {
    if (callApp == kCallPal && palVersion() <= 1) return signOnRefused("palversion < kPalVersion4_0");
    if (callApp == kCallPalWork && timVersion() == 0) return signOnRefused("PalWorkversion < kPalWorkVersion1_1");
    if (callApp != kCallPal && callApp != kCallPalWork) return signOnRefused("CallApp not support!");
    if (TcApiTool::systemVersion() >= 7.0 && !isSupportGeneralPastboard())
        return signOnRefused("palversion not suport opensdkapiV2");
    auto session = registeredSession();
    if (!session) {
        signOnRefused("SDK NimbusOAuth实例需要重新初始化");
        return signOnRefused("authorizeWithPermission failed");
    }
    const std::string bundleId = NSBundle::mainBundle()->bundleIdentifier();
    const auto appName = TcApiTool::getAppDisplayName();
    const auto appId = session->appId();
    if (bundleId.empty() || !appName || appName->empty() || !appId || appId->empty()) {
        signOnRefused("SDK错误 拉起Pal登录错误, 请检查appid和appname");
        return signOnRefused("authorizeWithPermission failed");
    }
    std::string scope;
    for (const auto& permission : permissions) scope += (scope.empty() ? "" : ",") + permission;
    Dictionary request{{"scope", scope},       {"app_id", *appId},         {"client_id", *appId},
                       {"app_name", *appName}, {"response_type", "token"}, {"bundleid", bundleId}};
    for (const auto& [key, value] : TcApiTool::SDKInfo()) request.set(key, value);
    if (!openPalWithCommand(0, request, callApp)) return signOnRefused("openPalWithCommand failed");
    setPendingLoginDelegate(delegate);
    return true;
}

bool OpenApi::openPalWithCommand(std::uint32_t command, const Dictionary& data, int callApp) {
    const std::string scheme = callApp == kCallPalWork ? "timOpensdkSSoLogin" : "mpalOpensdkSSoLogin";
    if (callApp == kCallPalWork ? timVersion() == 0 : palVersion() < 2) return false;
    if (command != 0) return false;
    if (!TcApiTool::isRegistSchemeInfoPlistFile(registeredScheme())) return false;
    const bool general = isSupportGeneralPastboard();
    return openEscaped(scheme + "://SSoLogin/" + registeredScheme() + "/" + savedBoard(data, general) +
                       generalPastboardQuery(general));
}

std::string OpenApi::saveDictionaryToPasteBoard(const Dictionary& data, const std::optional<std::string>& name) {
    auto pasteboard = name ? UIPasteboard::pasteboardWithName(*name, true) : UIPasteboard::pasteboardWithUniqueName();
    if (!pasteboard) return "";
    pasteboard->setData(NSKeyedArchiver::archivedDataWithRootObject(Value(data)), kPasteboardType);
    registry().replyPasteboardName = pasteboard->name();
    return pasteboard->name();
}

std::string OpenApi::saveDictionaryByGeneralPastboard(const Dictionary& data) {
    const std::string key = getGeneralPastboardNameKey();
    UIPasteboard::generalPasteboard()->setData(NSKeyedArchiver::archivedDataWithRootObject(Value(data)), key);
    registry().replyPasteboardName = key;
    return key;
}

bool OpenApi::registerApp(const std::string& appId) {
    registry().scheme = "nimbus" + appId;
    return true;
}

bool OpenApi::registerApp(const std::string& appId, const Ref<NimbusSessionDelegate>& delegate,
                          const Ref<NimbusOAuth>& session) {
    registry().session = session;
    registry().sessionDelegate = delegate;
    registry().pendingLoginDelegate = delegate;
    return registerApp(appId);
}

void OpenApi::unRegisterApp(const NimbusSessionDelegate* delegate, const NimbusOAuth* session) {
    unRegisterAppSessionDelegate(delegate);
    if (session && registry().session.lock().get() == session) registry().session.reset();
    auto pending = registry().pendingLoginDelegate.lock();
    if (pending && (pending.get() == static_cast<const NimbusLoginDelegate*>(delegate) ||
                    pending.get() == static_cast<const NimbusLoginDelegate*>(session)))
        registry().pendingLoginDelegate.reset();
}

void OpenApi::unRegisterAppSessionDelegate(const NimbusSessionDelegate* delegate) {
    if (delegate && registry().sessionDelegate.lock().get() == delegate) registry().sessionDelegate.reset();
}

void OpenApi::clearParam() {
    registry().session.reset();
    registry().sessionDelegate.reset();
    registry().pendingLoginDelegate.reset();
    registry().commandOut.reset();
}

std::string OpenApi::registeredScheme() { return registry().scheme; }

Ref<NimbusSessionDelegate> OpenApi::registeredSessionDelegate() { return registry().sessionDelegate.lock(); }

Ref<NimbusOAuth> OpenApi::registeredSession() { return registry().session.lock(); }

Ref<NimbusLoginDelegate> OpenApi::pendingLoginDelegate() { return registry().pendingLoginDelegate.lock(); }

void OpenApi::setPendingLoginDelegate(const Ref<NimbusLoginDelegate>& delegate) {
    registry().pendingLoginDelegate = delegate;
}

void OpenApi::setNimbusAuthorizeState(std::int32_t state) { registry().authorizeState = state; }

std::int32_t OpenApi::nimbusAuhorizeState() { return registry().authorizeState; }

bool OpenApi::handleOpenURL(const Ref<NSURL>& url) {
    if (!url) return false;
    auto delegate = registeredSessionDelegate();
    if (NimbusApiInterface::canOpenURL(url, delegate)) {
        NSLog("canOpenUrl:url=" + url->absoluteString());
        return NimbusApiInterface::handleOpenURL(url, delegate);
    }
    NSLog("handleOpenURL:url=" + url->absoluteString());
    if (url->scheme() == registeredScheme() && url->host() == kReplyHost) return processMessage(url);
    auto session = registeredSession();
    return session && session->handleOpenURL(url);
}

bool OpenApi::canHandleOpenURL(const Ref<NSURL>& url) {
    if (!url) return false;
    if (url->scheme() == registeredScheme() && url->host() == kReplyHost) return true;
    auto session = registeredSession();
    return session && session->oldCanhandleOpenURL(url);
}

bool OpenApi::processMessage(const Ref<NSURL>& url) {
    if (!url || url->scheme() != registeredScheme()) return false;
    const auto components = url->pathComponents();
    if (components.size() != 3) {
        auto session = registeredSession();
        return session && session->handleOpenURL(url);
    }
    const Dictionary query =
        PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(url->absoluteString(), "?");
    if (!registry().replyPasteboardName) registry().replyPasteboardName = getGeneralPastboardNameKey();
    const std::string name = *registry().replyPasteboardName;
    const std::string& msgType = components[2];
    std::optional<Dictionary> reply;
    if (query["generalpastboard"] == Value("1")) {
        reply = getDictionaryFromGeneralPasteBoard(name);
    } else if (!UIPasteboard::pasteboardWithName(name, false)) {
        // The app took its board away: the user cancelled.
        reply = Dictionary{{"user_cancelled", Value("YES")}};
    } else {
        reply = getDictionaryFromPasteBoard(name);
    }
    if (reply) {
        NSLog("processMessage(state=" + applicationStateText() + "):pasteboard(" + name + ") " +
              Value(*reply).description());
    } else {
        NSLog("processMessage(state=" + applicationStateText() + "): access pasteboard(" + name + ") failed");
    }
    // A reply that cannot be read still ends the request it answers.
    const auto number = messageNumber(msgType);
    if (number == 0) processMessage_Auth(reply);
    if (number == 1) processMessage_Share(reply);
    if (!number) processMessage_Other(reply, msgType);
    return reply.has_value();
}

void OpenApi::processMessage_Auth(const std::optional<Dictionary>& received) {
    if (!takesReply(kLoginReply)) return;
    auto session = registeredSession();
    if (!session) return;
    auto delegate = pendingLoginDelegate();
    if (!received) {
        if (delegate) delegate->nimbusDidNotLogin(false);
        return;
    }
    Dictionary reply = *received;
    if (reply["user_cancelled"] == Value("YES")) {
        if (delegate) delegate->nimbusDidNotLogin(true);
        return;
    }
    // Only a non-empty text is a token or an open id: anything else in their
    // place is not stored, and the reply is a failed login.
    const bool hadOpenId = !reply["openid"].isNil();
    const auto openId = usableText(reply["openid"]);
    session->setOpenId(openId);
    reply.remove("openid");
    session->setAccessToken(usableText(reply["access_token"]));
    reply.remove("access_token");
    const Value& expiresIn = reply["expires_in"];
    if (expiresIn.isNil()) {
        session->setExpirationDate(NSDate::date().dateByAddingTimeInterval(kDefaultExpirySeconds));
    } else if (expiresIn.longLongValue() == 0) {
        session->setExpirationDate(NSDate::distantFuture());
    } else {
        session->setExpirationDate(NSDate::date().dateByAddingTimeInterval(expiresIn.doubleValue()));
    }
    reply.remove("expires_in");
    // The encrypted token is applied once, so that it survives the login.
    session->setEncryToken(reply["encrytoken"].stringValue());
    reply.remove("encrytoken");
    session->setPassData(reply);
    if (!delegate) return;
    const bool openIdUsable = hadOpenId ? openId.has_value() : session->authMode() == 1;
    // An expiry already past ("expires_in" below zero) makes no session.
    if (openIdUsable && session->accessToken() && TcApiTool::isExpiryAhead(session->expirationDate())) {
        delegate->nimbusDidLogin();
    } else {
        delegate->nimbusDidNotLogin(false);
    }
}

void OpenApi::processMessage_Share(const std::optional<Dictionary>& reply) {
    if (takesReply(kShareReply)) deliverResponse(reply, "SendStory");
}

void OpenApi::processMessage_Other(const std::optional<Dictionary>& reply, const std::string& msgType) {
    if (!msgType.empty() && takesReply(msgType)) deliverResponse(reply, msgType);
}

std::optional<std::string> OpenApi::replyPasteboardName() { return registry().replyPasteboardName; }

void OpenApi::setReplyPasteboardName(std::optional<std::string> name) { registry().replyPasteboardName = std::move(name); }

std::string OpenApi::getGeneralPastboardNameKey() { return "com.nimbus." + registeredScheme(); }

std::optional<Dictionary> OpenApi::getDictionaryFromPasteBoard(const std::optional<std::string>& name) {
    if (!name) return std::nullopt;
    auto pasteboard = UIPasteboard::pasteboardWithName(*name, false);
    if (!pasteboard) return std::nullopt;
    return unarchiveDictionary(pasteboard->dataForPasteboardType(kPasteboardType));
}

std::optional<Dictionary> OpenApi::getDictionaryFromGeneralPasteBoard(const std::optional<std::string>& type) {
    if (!type) return std::nullopt;
    auto pasteboard = UIPasteboard::generalPasteboard();
    auto reply = unarchiveDictionary(pasteboard->dataForPasteboardType(*type));
    pasteboard->setData(NSData(), *type);
    return reply;
}
