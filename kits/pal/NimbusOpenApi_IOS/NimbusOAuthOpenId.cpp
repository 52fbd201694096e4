// The session's identity requests: the open id that completes a server-side
// web login, the union id, and the graph login with a token obtained
// elsewhere. The services answer either JSON or JSON wrapped as
// "callback( ... );".
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

namespace {

constexpr const char* kCallbackPrefix = "callback";
// "callback( " before the JSON and " );" after it.
constexpr std::size_t kCallbackHead = 10;
constexpr std::size_t kCallbackTail = 3;

// The JSON of an answer body, unwrapped from its callback when it has one.
Value jsonOfAnswerText(const std::string& text) {
    std::string json = text;
    if (json.rfind(kCallbackPrefix, 0) == 0) {
        if (json.size() < kCallbackHead + kCallbackTail) return Value();
        json = json.substr(kCallbackHead, json.size() - kCallbackHead - kCallbackTail);
    }
    return NSJSONSerialization::JSONObjectWithData(NSData::fromString(json));
}

// The response's JSON, read from its raw text when the body was not plain
// JSON (the callback form).
const Value& answerOf(const Ref<APIResponse>& response) {
    const Dictionary* map = response->jsonResponse().dictionary();
    if ((!map || map->empty()) && response->message()) response->setJsonResponse(jsonOfAnswerText(*response->message()));
    return response->jsonResponse();
}

std::optional<std::string> nonEmptyText(const Value& value) {
    auto text = value.stringValue();
    if (!text || text->empty()) return std::nullopt;
    return text;
}

}  // namespace

bool NimbusOAuth::getOpenId(const std::string& serial) {
    std::int32_t number = 0;
    try {
        number = std::stoi(serial);
    } catch (const std::exception&) {
        number = 0;
    }
    if (!isSessionValid() || number == 0 || !userGetUserInfo_) return false;
    Dictionary params{{"format", "json"}, {"oauth_consumer_key", appId_.value_or("")}};
    params.set("access_token", accessToken_.value_or(""));
    if (isOpenIdValid()) params.set("openid", openId_.value_or(""));
    openIdRequest_ = make<APIBase>(self<NimbusOAuth>(), APIBase::selector(&NimbusOAuth::getOpenIdResponse), "GET");
    openIdRequest_->setSeq(number);
    openIdRequest_->openUrl(NimbusConnectHosts::baseURL() + "/oauth2.0/m_me", accessToken_,
                            isOpenIdValid() ? openId_ : std::nullopt, appId_, params);
    return true;
}

void NimbusOAuth::getOpenIdResponse(const Ref<APIResponse>& response) {
    if (!response) return;
    auto finished = std::move(openIdRequest_);
    const Value& answer = answerOf(response);
    auto found = loginDict_.find(std::to_string(response->seq()));
    Ref<NimbusLoginDelegate> delegate;
    if (found != loginDict_.end()) {
        delegate = found->second.lock();
        loginDict_.erase(found);
    }
    if (auto openId = nonEmptyText(answer["openid"])) {
        openId_ = std::move(openId);
        if (delegate) delegate->nimbusDidLogin();
    } else if (delegate) {
        delegate->nimbusDidNotLogin(false);
    }
}

bool NimbusOAuth::RequestUnionId() {
    if (!userGetUserInfo_ || !accessToken_ || accessToken_->empty()) return false;
    auto call = make<APIBase>(self<NimbusOAuth>(), APIBase::selector(&NimbusOAuth::getUnionIdResponse), "GET");
    Dictionary params{{"unionid", "1"}};
    call->openUrl(NimbusConnectHosts::baseURL() + "/oauth2.0/me", accessToken_, std::nullopt, appId_, params);
    apiRequests_[std::to_string(call->seq())] = call;
    return true;
}

void NimbusOAuth::getUnionIdResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    auto unionid = nonEmptyText(answerOf(response)["unionid"]);
    if (!unionid) return;
    unionid_ = std::move(unionid);
    if (auto delegate = sessionDelegate()) delegate->didGetUnionID();
}

void NimbusOAuth::nimbusDialogLogin(std::optional<std::string> token, std::optional<NSDate> expirationDate) {
    setAccessToken(token);
    setExpirationDate(expirationDate);
    requestWithGraphPath("m_me", Dictionary{{"access_token", token.value_or("")}}, "GET", self<NimbusOAuth>());
}

// The graph login's answer. An answer without an open id is a failed
// login: the session could make no call with it.
void NimbusOAuth::didLoad(const Ref<NimbusRequest>&, const Value&, const NSData& data) {
    auto delegate = sessionDelegate();
    if (auto openId = nonEmptyText(jsonOfAnswerText(data.toString())["openid"])) {
        openId_ = std::move(openId);
        if (delegate) delegate->nimbusDidLogin();
        return;
    }
    NSLog("received didLoad error");
    if (delegate) delegate->nimbusDidNotLogin(false);
}

void NimbusOAuth::didFailWithError(const Ref<NimbusRequest>&, const Ref<NSError>&) {
    NSLog("Failed to expire the session");
    if (auto delegate = sessionDelegate()) delegate->nimbusDidNotLogin(false);
}
