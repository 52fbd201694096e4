// The parsers of the Ripple app's answers that come back as URLs on the
// host's own scheme, their query read into the response objects.

#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "kits/ripple/NSDictionary_SafeJSON.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPApiNSStringURLArgumentsAdditions.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPCardMessages.h"
#include "kits/ripple/RPPayMessages.h"
#include "kits/ripple/RPWebViewMessages.h"
#include "kits/ripple/WapAuthHandler.h"

namespace {

using SafeJSON = NSDictionary_SafeJSON;
using URLArguments = RPApiNSStringURLArgumentsAdditions;

RPText textOf(const Dictionary& query, std::string_view key) { return SafeJSON::rpApi_stringForKey(query, key); }

// The integer value of a query text; 0 when missing or not a number.
std::int32_t intOf(const Dictionary& query, std::string_view key) {
    return NSString::intValue(textOf(query, key).value_or(""));
}

std::int32_t typedIntOf(const Dictionary& query, std::string_view key) {
    return static_cast<std::int32_t>(SafeJSON::rpApi_integerForKey(query, key));
}

// A typed text of the query, unescaped.
RPText unescapedOf(const Dictionary& query, std::string_view key) {
    auto text = textOf(query, key);
    return text ? URLArguments::rpApi_stringByUnescapingFromURLArgument(*text) : std::nullopt;
}

// The card list under `key`: percent-escaped JSON, an array of dictionaries;
// items without a card id are dropped; anything else gives no cards.
template <class Item>
std::vector<Ref<RPCardItem>> cardsOf(const Dictionary& query, std::string_view key,
                                     void (*fill)(const Dictionary&, Item&)) {
    std::vector<Ref<RPCardItem>> cards;
    RPText text = textOf(query, key);
    if (text && !text->empty()) text = NSString::stringByRemovingPercentEncoding(*text);
    if (!text) return cards;
    Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(*text));
    const Array* items = parsed.array();
    if (!items) return cards;
    for (const Value& element : *items) {
        const Dictionary* fields = element.dictionary();
        if (!fields) continue;
        auto item = make<Item>();
        fill(*fields, *item);
        if (item->cardId() && !item->cardId()->empty()) cards.push_back(item);
    }
    return cards;
}

void fillAddedCard(const Dictionary& fields, RPCardItem& card) {
    card.setCardId(textOf(fields, "card_id"));
    card.setExtMsg(textOf(fields, "card_ext"));
    card.setEncryptCode(textOf(fields, "code"));
    card.setCardState(static_cast<std::uint32_t>(fields["is_succ"].intValue()));
}

template <class Item> void fillChosenCard(const Dictionary& fields, Item& card) {
    card.setCardId(textOf(fields, "card_id"));
    card.setEncryptCode(textOf(fields, "encrypt_code"));
    card.setAppID(textOf(fields, "app_id"));
}

// The answers that carry only "ret" and "notifyStr".
template <class Response> Ref<Response> notifiedResponse(const Dictionary& query) {
    auto response = make<Response>();
    response->setErrCode(intOf(query, "ret"));
    response->setErrStr(textOf(query, "notifyStr"));
    return response;
}

// Whether "rp_internal_resptype" is the text `kind`.
bool isResponseKind(const Dictionary& query, std::string_view kind) {
    auto text = textOf(query, "rp_internal_resptype");
    return text && *text == kind;
}

// An answer of the order page `kind`, delivered when `admit` says it
// answers the request out.
template <class Response>
bool deliverOrderPageAnswer(const std::optional<std::string>& queryText, std::string_view kind,
                            const Ref<RPApiDelegate>& delegate, bool (*admit)(RPApi::Awaited),
                            RPApi::Awaited awaited) {
    Dictionary query = RPApi::parseURLParams(queryText);
    if (!isResponseKind(query, kind)) return false;
    if (!admit(awaited)) return true;
    auto response = make<Response>();
    response->setErrCode(intOf(query, "ret"));
    response->setRpOrderId(textOf(query, "rp_order_id"));
    delegate->onResp(response);
    return true;
}

}  // namespace

bool RPApi::handleAuthOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://oauth", false)) return false;
    Dictionary query = parseURLParams(url->query());
    // The state comes back escaped, as a URL carries it.
    RPText state = textOf(query, "state");
    if (state) state = URLArguments::rpApi_stringByUnescapingFromURLArgument(*state).value_or(*state);
    if (!WapAuthHandler::shareWapAuthHandlerInstance()->admitAuthAnswer(state, false)) return true;
    auto response = make<SendAuthResp>();
    RPText code = textOf(query, "code");
    if (!code) {
        response->setErrCode(BaseResp::kFailed);
    } else if (*code == "authdeny") {
        response->setErrCode(BaseResp::kAuthDenied);
    } else {
        response->setErrCode(BaseResp::kSuccess);
        response->setCode(code);
    }
    if (auto reason = textOf(query, "reason")) response->setErrStr(reason);
    response->setState(textOf(query, "state"));
    response->setLang(textOf(query, "lang"));
    response->setCountry(textOf(query, "country"));
    delegate->onResp(response);
    return true;
}

bool RPApi::handlePayOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://pay/", true)) return false;
    if (!admitAnswer(Awaited::Pay)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = notifiedResponse<PayResp>(query);
    response->setReturnKey(textOf(query, "returnKey"));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleOfflinePayUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://offlinepay/", true)) return false;
    if (!admitAnswer(Awaited::OfflinePay)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = make<RPOfflinePayResp>();
    response->setErrCode(typedIntOf(query, "ret"));
    response->setErrStr(textOf(query, "errStr"));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleHBOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://hb/", true)) return false;
    if (!admitAnswer(Awaited::HB)) return true;
    delegate->onResp(notifiedResponse<HBResp>(parseURLParams(url->query())));
    return true;
}

bool RPApi::handleAddCardOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://cardPackage/", true)) return false;
    if (!admitAnswer(Awaited::AddCard)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = make<AddCardToRPCardPackageResp>();
    response->setErrCode(intOf(query, "errCode"));
    response->setCardAry(cardsOf<RPCardItem>(query, "addCardInfo", fillAddedCard));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleChooseCard(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://choosecard/", true)) return false;
    if (!admitAnswer(Awaited::ChooseCard)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = make<RPChooseCardResp>();
    response->setErrCode(intOf(query, "errCode"));
    response->setCardAry(cardsOf<RPCardItem>(query, "chooseCardInfo", fillChosenCard<RPCardItem>));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleChooseInvoice(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://chooseinvoice/", true)) return false;
    if (!admitAnswer(Awaited::ChooseInvoice)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = make<RPChooseInvoiceResp>();
    response->setErrCode(intOf(query, "errCode"));
    response->setCardAry(cardsOf<RPInvoiceItem>(query, "chooseInvoiceInfo", fillChosenCard<RPInvoiceItem>));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleOpenTempSessionOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://opentempsession/", true)) return false;
    if (!admitAnswer(Awaited::OpenTempSession)) return true;
    delegate->onResp(notifiedResponse<OpenTempSessionResp>(parseURLParams(url->query())));
    return true;
}

bool RPApi::handleOpenWebviewOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://openwebview/", true)) return false;
    if (!admitAnswer(Awaited::OpenWebview)) return true;
    delegate->onResp(notifiedResponse<OpenWebviewResp>(parseURLParams(url->query())));
    return true;
}

bool RPApi::handleOpenBusinessWebviewOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://openbusinesswebview", true)) return false;
    if (!admitAnswer(Awaited::OpenBusinessWebview)) return true;
    Dictionary query = parseURLParams(url->query());
    auto response = make<RPOpenBusinessWebViewResp>();
    response->setErrCode(typedIntOf(query, "ret"));
    response->setErrStr(textOf(query, "errmsg"));
    response->setResult(unescapedOf(query, "resultInfo"));
    response->setBusinessType(static_cast<std::uint32_t>(SafeJSON::rpApi_integerForKey(query, "type")));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleOpenRankList(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://openranklist/", true)) return false;
    if (!admitAnswer(Awaited::OpenRankList)) return true;
    delegate->onResp(notifiedResponse<OpenRankListResp>(parseURLParams(url->query())));
    return true;
}

bool RPApi::handleOpenTypeWebView(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate) {
    if (!matchesAnswerPrefix(url, "://opentypewebview", true)) return false;
    const auto query = url->query();
    return handleOpenTypeWebViewWithSubscribeMsg(query, delegate) ||
           handleOpenTypeWebViewWithInvoiceAuthInsert(query, delegate) ||
           handleOpenTypeWebViewWithNontaxpay(query, delegate) ||
           handleOpenTypeWebViewWithPayInsurance(query, delegate) ||
           handleOpenTypeWebViewWithSubscribeMiniProgramMsg(query, delegate);
}

bool RPApi::handleOpenTypeWebViewWithSubscribeMsg(const std::optional<std::string>& queryText,
                                                  const Ref<RPApiDelegate>& delegate) {
    Dictionary query = parseURLParams(queryText);
    if (!isResponseKind(query, "subscribemessage")) return false;
    if (!admitAnswer(Awaited::SubscribeMsg)) return true;
    auto response = make<RPSubscribeMsgResp>();
    response->setErrCode(intOf(query, "ret"));
    response->setErrStr(textOf(query, "errmsg"));
    response->setOpenId(textOf(query, "openid"));
    response->setTemplateId(textOf(query, "template_id"));
    response->setAction(textOf(query, "action"));
    response->setScene(static_cast<std::uint32_t>(intOf(query, "scene")));
    response->setReserved(textOf(query, "reserved"));
    delegate->onResp(response);
    return true;
}

bool RPApi::handleOpenTypeWebViewWithInvoiceAuthInsert(const std::optional<std::string>& query,
                                                       const Ref<RPApiDelegate>& delegate) {
    return deliverOrderPageAnswer<RPInvoiceAuthInsertResp>(query, "invoice_auth_insert", delegate,
                                                           admitAnswer, Awaited::InvoiceAuthInsert);
}

bool RPApi::handleOpenTypeWebViewWithNontaxpay(const std::optional<std::string>& query,
                                               const Ref<RPApiDelegate>& delegate) {
    return deliverOrderPageAnswer<RPNontaxPayResp>(query, "nontaxpay", delegate, admitAnswer, Awaited::NontaxPay);
}

bool RPApi::handleOpenTypeWebViewWithPayInsurance(const std::optional<std::string>& query,
                                                  const Ref<RPApiDelegate>& delegate) {
    return deliverOrderPageAnswer<RPPayInsuranceResp>(query, "payinsurance", delegate, admitAnswer,
                                                      Awaited::PayInsurance);
}

bool RPApi::handleOpenTypeWebViewWithSubscribeMiniProgramMsg(const std::optional<std::string>& queryText,
                                                             const Ref<RPApiDelegate>& delegate) {
    Dictionary query = parseURLParams(queryText);
    RPText kind = textOf(query, "rp_internal_resptype");
    // A kind that is not a non-empty text is taken as the number 5 (which a
    // parsed query, all texts, never holds).
    const bool accepted = kind && !kind->empty() ? *kind == "subscribeminiprogrammsg"
                                                 : SafeJSON::rpApi_integerForKey(query, "rp_internal_resptype") == 5;
    if (!accepted) return false;
    if (!admitAnswer(Awaited::SubscribeMiniProgramMsg)) return true;
    auto response = make<RPSubscribeMiniProgramMsgResp>();
    response->setErrCode(typedIntOf(query, "ret"));
    response->setOpenId(unescapedOf(query, "openid"));
    response->setUnionId(unescapedOf(query, "unionid"));
    response->setNickName(unescapedOf(query, "nickname"));
    response->setErrStr(textOf(query, "errmsg"));
    delegate->onResp(response);
    return true;
}
