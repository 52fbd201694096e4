// The sending half of the facade: requests to the Ripple app, as URLs that
// carry them whole or as messages on the pasteboard, answers to its
// requests, and the probes.

#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPApiNSStringURLArgumentsAdditions.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPCardMessages.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPPayMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RPWebViewMessages.h"
#include "kits/ripple/RippleApiUtil.h"
#include "kits/ripple/WapAuthHandler.h"
#include "uikit/UIApplication.h"

namespace {

using URLArguments = RPApiNSStringURLArgumentsAdditions;

// The escapings of the senders' fields; a missing text counts as empty.
std::string E(const RPText& text) { return URLArguments::rpApi_stringByEscapingForURLArgument(text.value_or("")); }
std::string EO(const RPText& text) {
    return URLArguments::rpApi_stringByEscapingForURLArgumentOnly(text.value_or(""));
}
std::string U(const RPText& text) { return URLArguments::rpApi_stringByEncodeUrl(text.value_or("")); }
// Escapes what may not stand in a URL, the whole path at once.
std::string P(const std::string& path) {
    return NSString::stringByAddingPercentEscapesUsingEncoding(path, NSUTF8StringEncoding).value_or("");
}
std::string asIs(const RPText& text) { return text.value_or(""); }

std::size_t lengthOf(const RPText& text) { return text ? NSString::length(*text) : 0; }
bool isEmpty(const RPText& text) { return lengthOf(text) == 0; }
// Non-empty and at most `limit` long.
bool fills(const RPText& text, std::size_t limit) { return !isEmpty(text) && lengthOf(text) <= limit; }

// The pretty JSON text of a dictionary, or nothing when it cannot be written.
std::optional<std::string> jsonText(const Dictionary& dictionary) {
    if (!NSJSONSerialization::isValidJSONObject(Value(dictionary))) return std::nullopt;
    auto data = NSJSONSerialization::dataWithJSONObject(Value(dictionary), true);
    return data ? std::optional<std::string>(data->toString()) : std::nullopt;
}

void putWhenFilled(Dictionary& dictionary, std::string_view key, const RPText& text) {
    if (!isEmpty(text)) dictionary.set(key, *text);
}

bool open(const Ref<NSURL>& url) { return url && UIApplication::sharedApplication()->openURL(url); }

}  // namespace

bool RPApi::openRippleUrl(const std::string& path) {
    return open(RippleApiUtil::getRippleUrl(registeredIdentifier(), static_cast<std::int64_t>(contentSupportFlag()), path));
}

// --- Requests and answers ---

bool RPApi::sendReq(const Ref<BaseReq>& request) {
    if (!request) return false;
    if (auto r = cast<SendAuthReq>(request)) return auth(r);
    if (auto r = cast<PayReq>(request)) return pay(r);
    if (auto r = cast<RPOfflinePayReq>(request)) return handleOffileOfflinePayReq(r);
    if (auto r = cast<HBReq>(request)) return sendHBReq(r);
    if (auto r = cast<JumpToBizProfileReq>(request)) return openProfile(r);
    if (auto r = cast<JumpToBizWebviewReq>(request)) return jumpToBizWebview(r);
    if (auto r = cast<AddCardToRPCardPackageReq>(request)) return addCardToRPCardPackageReq(r);
    if (auto r = cast<RPChooseCardReq>(request)) return chooseCardReq(r);
    if (auto r = cast<RPChooseInvoiceReq>(request)) return chooseInvoiceReq(r);
    if (auto r = cast<OpenTempSessionReq>(request)) return openTempSession(r);
    if (auto r = cast<OpenWebviewReq>(request)) return openWebview(r);
    if (auto r = cast<RPOpenBusinessWebViewReq>(request)) return openBusinessWebview(r);
    if (auto r = cast<OpenRankListReq>(request)) return openRankList(r);
    if (auto r = cast<CreateChatRoomReq>(request)) return createChatRoom(r);
    if (auto r = cast<JoinChatRoomReq>(request)) return joinChatRoom(r);
    if (auto r = cast<RPHandleScanResultReq>(request)) return handleScanResult(r);
    if (auto r = cast<RPSubscribeMsgReq>(request)) return subscribeMsg(r);
    if (auto r = cast<RPLaunchMiniProgramReq>(request)) return handleLaunchMiniProgram(r);
    if (auto r = cast<RPInvoiceAuthInsertReq>(request)) return invoiceAuthInsertReq(r);
    if (auto r = cast<RPNontaxPayReq>(request)) return handleNontaxPayReq(r);
    if (auto r = cast<RPPayInsuranceReq>(request)) return handlePayInsuranceReq(r);
    if (auto r = cast<RPSubscribeMiniProgramMsgReq>(request)) return handleSubscribeMiniProgramMsgReq(r);
    if (auto r = cast<RPOpenBusinessViewReq>(request)) return handleOpenBusinessView(r);
    // A share awaits its reply once it has been handed over.
    const bool share = isKind<SendMessageToRPReq>(request);
    if (share) sending(Awaited::Share);
    auto url = packReq(request);
    if (!url) return false;
    RPLogUtil::log("has call system function");
    return share ? awaitReply(open(url), Awaited::Share) : open(url);
}

bool RPApi::sendResp(const Ref<BaseResp>& response) { return response && open(packResp(response)); }

Ref<NSURL> RPApi::packReq(const Ref<BaseReq>& request) {
    if (!request) return nullptr;
    const AppID& appId = registeredIdentifier();
    if (!appId || appId->empty()) {
        RPLogUtil::logError("register appid is nil");
        return nullptr;
    }
    auto message = make<AppCommunicateData>();
    message->setConversationAccount(pendingConversationAccount());
    if (!message->ReqToData(request) || !AppCommunicate::setAppCommunicateData(message, appId)) return nullptr;
    pendingConversationAccount().reset();
    return RippleApiUtil::getRippleUrl(appId, static_cast<std::int64_t>(contentSupportFlag()), "sendreq/?");
}

Ref<NSURL> RPApi::packResp(const Ref<BaseResp>& response) {
    if (!response) return nullptr;
    auto message = make<AppCommunicateData>();
    message->setConversationAccount(pendingConversationAccount());
    message->setReturnFromApp(true);
    message->setResult(response->errCode());
    if (!message->RespToData(response) || !AppCommunicate::setAppCommunicateData(message, registeredIdentifier()))
        return nullptr;
    pendingConversationAccount().reset();
    return RippleApiUtil::getRippleUrl(registeredIdentifier(), static_cast<std::int64_t>(contentSupportFlag()),
                                       "sendresp/?");
}

bool RPApi::sendAuthReq(const Ref<SendAuthReq>& request, const Ref<UIViewController>& viewController,
                        const Ref<RPApiDelegate>& delegate) {
    if (!request) return false;
    sending(Awaited::Authorisation);
    if (isRPAppInstalled()) return sendReq(request);
    RPLogUtil::log("rpapp not installed");
    return WapAuthHandler::shareWapAuthHandlerInstance()->beginWapAuth(
        request, viewController, registeredIdentifier().value_or(""), delegate);
}

// --- The senders of the requests that travel in a URL ---

bool RPApi::auth(const Ref<SendAuthReq>& request) {
    if (!request) return false;
    sending(Awaited::Authorisation);
    bool sent = false;
    if (!RippleApiUtil::isiOS7plus()) {
        sent = open(packReq(request));
    } else {
        if (isEmpty(request->scope())) return false;
        pendingConversationAccount().reset();
        sent = openRippleUrl("auth/?scope=" + E(request->scope()) + "&state=" + E(request->state()));
    }
    // Only an authorisation handed over is out (and replaces a login left
    // open); a refused one leaves everything as it was.
    if (sent) WapAuthHandler::shareWapAuthHandlerInstance()->authorisationRequested(request);
    return sent;
}

bool RPApi::pay(const Ref<PayReq>& request) {
    if (!request) return false;
    const std::pair<const RPText*, const char*> required[] = {{&request->package(), "package is nil"},
                                                              {&request->partnerId(), "partnerId is nil"},
                                                              {&request->prepayId(), "prepayId is nil"},
                                                              {&request->sign(), "sign is nil"},
                                                              {&request->nonceStr(), "nonceStr is nil"}};
    for (const auto& [field, complaint] : required) {
        if (isEmpty(*field)) {
            RPLogUtil::logError(complaint);
            return false;
        }
    }
    pendingConversationAccount().reset();
    auto url = RippleApiUtil::getRippleUrl(
        registeredIdentifier(), static_cast<std::int64_t>(contentSupportFlag()),
        NSString::stringWithFormat("pay/?nonceStr=%@&package=%@&partnerId=%@&prepayId=%@&timeStamp=%u&sign=%@&signType=%@",
                                   E(request->nonceStr()), E(request->package()), E(request->partnerId()),
                                   E(request->prepayId()), request->timeStamp(), E(request->sign()), "SHA1"));
    RPLogUtil::log(NSString::stringWithFormat("url : %@", url ? Value(url->absoluteString()) : Value()));
    if (!url) return false;
    RPLogUtil::log("has call system function");
    return awaitReply(open(url), Awaited::Pay);
}

bool RPApi::handleOffileOfflinePayReq(const Ref<RPOfflinePayReq>& request) {
    return request && awaitReply(openRippleUrl("offlinepay/"), Awaited::OfflinePay);
}

bool RPApi::sendHBReq(const Ref<HBReq>& request) {
    if (!request || isEmpty(request->package()) || isEmpty(request->sign()) || isEmpty(request->nonceStr()))
        return false;
    pendingConversationAccount().reset();
    return awaitReply(
        openRippleUrl(NSString::stringWithFormat("hb/?nonceStr=%@&package=%@&timeStamp=%u&sign=%@&signType=%@",
                                                 E(request->nonceStr()), E(request->package()),
                                                 request->timeStamp(), E(request->sign()), "SHA1")),
        Awaited::HB);
}

bool RPApi::openTempSession(const Ref<OpenTempSessionReq>& request) {
    if (!request || lengthOf(request->username()) > 1024) return false;
    return awaitReply(openRippleUrl("opentempsession/?username=" + asIs(request->username()) +
                                    "&sessionFrom=" + EO(request->sessionFrom())),
                      Awaited::OpenTempSession);
}

bool RPApi::openWebview(const Ref<OpenWebviewReq>& request) {
    if (!request || lengthOf(request->url()) > 10240) return false;
    return awaitReply(openRippleUrl("openwebview/?url=" + U(request->url())), Awaited::OpenWebview);
}

bool RPApi::openBusinessWebview(const Ref<RPOpenBusinessWebViewReq>& request) {
    if (!request) return false;
    std::string path = NSString::stringWithFormat("openbusinesswebview/?type=%u", request->businessType());
    if (!request->queryInfoDic().empty()) {
        auto json = jsonText(request->queryInfoDic());
        if (!json) return false;
        path += "&query=" + U(json);
    }
    return awaitReply(openRippleUrl(path), Awaited::OpenBusinessWebview);
}

bool RPApi::openRankList(const Ref<OpenRankListReq>& request) {
    return request && awaitReply(openRippleUrl("openranklist/"), Awaited::OpenRankList);
}

bool RPApi::handleLaunchMiniProgram(const Ref<RPLaunchMiniProgramReq>& request) {
    sending(Awaited::LaunchMiniProgram);
    if (!request || isEmpty(request->userName()) || request->miniProgramType() > 2) return false;
    return awaitReply(openRippleUrl("jumpRpa/?userName=" + asIs(request->userName()) + "&path=" + E(request->path()) +
                                    "&miniProgramType=" + std::to_string(request->miniProgramType()) +
                                    "&extMsg=" + E(request->extMsg())),
                      Awaited::LaunchMiniProgram);
}

bool RPApi::handleOpenBusinessView(const Ref<RPOpenBusinessViewReq>& request) {
    sending(Awaited::OpenBusinessView);
    if (!request || isEmpty(request->businessType())) return false;
    return awaitReply(openRippleUrl("jumpFakeNativeRpa/?businessType=" + asIs(request->businessType()) +
                                    "&query=" + E(request->query()) + "&extInfo=" + E(request->extInfo())),
                      Awaited::OpenBusinessView);
}

bool RPApi::createChatRoom(const Ref<CreateChatRoomReq>& request) {
    sending(Awaited::CreateChatRoom);
    if (!request || !fills(request->groupId(), 1024) || lengthOf(request->chatRoomName()) > 512 ||
        lengthOf(request->chatRoomNickName()) > 512 || lengthOf(request->extMsg()) > 2048)
        return false;
    std::string path = "createchatroom/?groupid=" + asIs(request->groupId());
    if (!isEmpty(request->chatRoomName())) path += "&chatroomname=" + E(request->chatRoomName());
    if (!isEmpty(request->chatRoomNickName())) path += "&chatroomnickname=" + E(request->chatRoomNickName());
    if (!isEmpty(request->extMsg())) path += "&extmsg=" + asIs(request->extMsg());
    return awaitReply(openRippleUrl(path), Awaited::CreateChatRoom);
}

bool RPApi::joinChatRoom(const Ref<JoinChatRoomReq>& request) {
    sending(Awaited::JoinChatRoom);
    if (!request || !fills(request->groupId(), 1024) || lengthOf(request->chatRoomNickName()) > 1024 ||
        lengthOf(request->extMsg()) > 2048)
        return false;
    std::string path = "joinchatroom/?groupid=" + asIs(request->groupId());
    if (!isEmpty(request->chatRoomNickName())) path += "&chatroomnickname=" + E(request->chatRoomNickName());
    if (!isEmpty(request->extMsg())) path += "&extmsg=" + asIs(request->extMsg());
    return awaitReply(openRippleUrl(path), Awaited::JoinChatRoom);
}

bool RPApi::openProfile(const Ref<JumpToBizProfileReq>& request) {
    if (!request || lengthOf(request->username()) > 1024 || lengthOf(request->extMsg()) > 2048 ||
        isEmpty(request->username()))
        return false;
    std::string path = NSString::stringWithFormat("openprofile/?username=%@&profiletype=%d", asIs(request->username()),
                                                  request->profileType());
    if (!isEmpty(request->extMsg())) path += "&extmsg=" + asIs(request->extMsg());
    return openRippleUrl(path);
}

bool RPApi::jumpToBizWebview(const Ref<JumpToBizWebviewReq>& request) {
    if (!request || request->webType() != 0 || lengthOf(request->tousrname()) > 1024 ||
        lengthOf(request->extMsg()) > 2048 || isEmpty(request->tousrname()))
        return false;
    std::string path = NSString::stringWithFormat("jumptobizwebview/?webtype=%d&tousername=%@", request->webType(),
                                                  asIs(request->tousrname()));
    if (!isEmpty(request->extMsg())) path += "&extmsg=" + asIs(request->extMsg());
    return openRippleUrl(path);
}

bool RPApi::addCardToRPCardPackageReq(const Ref<AddCardToRPCardPackageReq>& request) {
    if (!request || request->cardAry().empty() || request->cardAry().size() > 40) return false;
    for (const auto& card : request->cardAry()) {
        if (!card || !fills(card->cardId(), 1024) || lengthOf(card->extMsg()) > 2048) return false;
    }
    Dictionary cards;
    int number = 0;
    for (const auto& card : request->cardAry()) {
        if (isEmpty(card->extMsg())) card->setExtMsg(std::string());
        cards.set("id" + std::to_string(number), *card->cardId());
        cards.set("ext" + std::to_string(number), *card->extMsg());
        ++number;
    }
    auto json = jsonText(cards);
    return json && awaitReply(openRippleUrl(P("cardpackage/?" + *json)), Awaited::AddCard);
}

bool RPApi::chooseCardReq(const Ref<RPChooseCardReq>& request) {
    if (!request) return false;
    Dictionary choice;
    putWhenFilled(choice, "appID", request->appID());
    choice.set("shopID", request->shopID());
    choice.set("canMultiSelect", request->canMultiSelect());
    putWhenFilled(choice, "cardType", request->cardType());
    putWhenFilled(choice, "cardTpID", request->cardTpID());
    putWhenFilled(choice, "signType", request->signType());
    putWhenFilled(choice, "cardSign", request->cardSign());
    choice.set("timeStamp", request->timeStamp());
    putWhenFilled(choice, "nonceStr", request->nonceStr());
    auto json = jsonText(choice);
    return json && awaitReply(openRippleUrl(P("choosecard/?" + *json)), Awaited::ChooseCard);
}

bool RPApi::chooseInvoiceReq(const Ref<RPChooseInvoiceReq>& request) {
    if (!request) return false;
    Dictionary choice;
    putWhenFilled(choice, "appID", request->appID());
    choice.set("shopID", request->shopID());
    choice.set("canMultiSelect", 1u);
    choice.set("cardType", "INVOICE");
    putWhenFilled(choice, "signType", request->signType());
    putWhenFilled(choice, "cardSign", request->cardSign());
    choice.set("timeStamp", request->timeStamp());
    putWhenFilled(choice, "nonceStr", request->nonceStr());
    auto json = jsonText(choice);
    return json && awaitReply(openRippleUrl(P("chooseinvoice/?" + *json)), Awaited::ChooseInvoice);
}

bool RPApi::handleScanResult(const Ref<RPHandleScanResultReq>& request) {
    std::string path = "handlescanresult/";
    if (request && !isEmpty(request->scanResult())) path += "?result=" + E(request->scanResult());
    return openRippleUrl(path);
}

// --- The requests that go through the typed web view ---

namespace {

Ref<RPOpenTypeWebViewReq> typedWebView(std::int32_t type, std::string query) {
    auto request = make<RPOpenTypeWebViewReq>();
    request->setType(type);
    request->setQuery(std::move(query));
    return request;
}

}  // namespace

bool RPApi::subscribeMsg(const Ref<RPSubscribeMsgReq>& request) {
    if (!request) return false;
    if (lengthOf(request->templateId()) > 10240) {
        RPLogUtil::logError(NSString::stringWithFormat("templateId length(%ld) is max than:%d",
                                                       static_cast<long>(lengthOf(request->templateId())), 10240));
        return false;
    }
    std::string query = NSString::stringWithFormat("scene=%d&template_id=%@&reserved=%@", request->scene(),
                                                   asIs(request->templateId()), asIs(request->reserved()));
    return handleOpenTypeWebView(typedWebView(1, U(query)));
}

bool RPApi::openOrderPage(const Ref<RPOrderPageReq>& request, std::int32_t type) {
    if (!request || isEmpty(request->urlString())) return false;
    return handleOpenTypeWebView(typedWebView(type, U("url=" + U(request->urlString()))));
}

bool RPApi::invoiceAuthInsertReq(const Ref<RPInvoiceAuthInsertReq>& request) { return openOrderPage(request, 2); }

bool RPApi::handleNontaxPayReq(const Ref<RPNontaxPayReq>& request) { return openOrderPage(request, 3); }

bool RPApi::handlePayInsuranceReq(const Ref<RPPayInsuranceReq>& request) { return openOrderPage(request, 4); }

bool RPApi::handleSubscribeMiniProgramMsgReq(const Ref<RPSubscribeMiniProgramMsgReq>& request) {
    if (!request) return false;
    if (isEmpty(request->miniProgramAppid())) {
        RPLogUtil::logError("miniprogram appid is nil");
        return false;
    }
    return handleOpenTypeWebView(typedWebView(5, U("miniProgramAppid=" + asIs(request->miniProgramAppid()))));
}

bool RPApi::handleOpenTypeWebView(const Ref<RPOpenTypeWebViewReq>& request) {
    if (!request) return false;
    auto url = RippleApiUtil::getRippleUrl(
        registeredIdentifier(), static_cast<std::int64_t>(contentSupportFlag()),
        NSString::stringWithFormat("%@?type=%d&query=%@", "opentypewebview/", request->type(), asIs(request->query())));
    if (!url) {
        RPLogUtil::logError("url is nil");
        return false;
    }
    if (!UIApplication::sharedApplication()->canOpenURL(url))
        RPLogUtil::logError(NSString::stringWithFormat("can not open url:%@", url->absoluteString()));
    // The kinds of page answered on "opentypewebview", by type (1 to 5).
    constexpr Awaited kPages[] = {Awaited::SubscribeMsg, Awaited::InvoiceAuthInsert, Awaited::NontaxPay,
                                  Awaited::PayInsurance, Awaited::SubscribeMiniProgramMsg};
    const bool sent = open(url);
    if (request->type() >= 1 && request->type() <= 5) awaitReply(sent, kPages[request->type() - 1]);
    return sent;
}

// --- Probes ---

bool RPApi::isRPAppInstalled() {
    auto url = RippleApiUtil::getRippleUrl(registeredIdentifier(), static_cast<std::int64_t>(contentSupportFlag()));
    return url && UIApplication::sharedApplication()->canOpenURL(url);
}

bool RPApi::isRPAppSupportApi() { return RippleApiUtil::isRPAppSupportApi(); }

std::string RPApi::getRPAppInstallUrl() { return "https://apps.apple.com/app/ripple/id1498216000"; }

std::string RPApi::getApiVersion() { return AppCommunicateData::kSDKVersion; }

std::uint32_t RPApi::tryGetRippleVersion() {
    Value version = NSUserDefaults::standardUserDefaults()->objectForKey(AppCommunicateData::kRippleVersionDefaultsKey);
    return static_cast<std::uint32_t>(version.longLongValue());
}

bool RPApi::openRPApp() {
    pendingConversationAccount().reset();
    return openRippleUrl("");
}
