#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"

#include <algorithm>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"

namespace {

constexpr const char* kUnusableAnswer = "服务器返回内容不正确";
constexpr std::int64_t kNeedsIncrementalAuthorisation = 100030;

std::atomic<std::int32_t>& sequence() {
    static std::atomic<std::int32_t> counter{1000};
    return counter;
}

std::optional<std::string> textOfBody(const NSData& data) {
    auto text = NSString::initWithData(data, NSUTF8StringEncoding);
    return text ? text : NSString::initWithData(data, NSGB18030StringEncoding);
}

}  // namespace

APIBase::APIBase(const Ref<NSObject>& target, Selector selector, std::string httpMethod,
                 const Ref<APIBaseDelegate>& delegate, Value userData)
    : target_(target), selector_(std::move(selector)), httpMethod_(std::move(httpMethod)), seq_(getApiBaseSeq()),
      delegate_(delegate), userData_(std::move(userData)) {}

APIBase::~APIBase() {
    if (request_) request_->setDelegate(nullptr);
    releaseCgiRequest();
}

void APIBase::releaseCgiRequest() {
    if (!cgiRequest_) return;
    cgiRequest_->setRequestKey(Value());
    cgiRequest_->setNimbusOAuth(nullptr);
}

std::int32_t APIBase::getApiBaseSeq() { return ++sequence(); }

std::optional<std::string> APIBase::parsePermissionFromURL(const std::string& address) {
    const std::string trimmed =
        NSString::stringByTrimmingCharactersInSet(address, NSCharacterSet::characterSetWithCharactersInString("/ \t\r\n"));
    const std::size_t slash = trimmed.rfind('/');
    if (trimmed.empty() || slash == std::string::npos) return std::nullopt;
    return trimmed.substr(slash + 1);
}

Ref<NimbusRequest> APIBase::openUrl(const std::string& address, const std::optional<std::string>& token,
                                    const std::optional<std::string>& openid, const std::optional<std::string>& appid,
                                    Dictionary& params) {
    prepareCommonParams(params, appid);
    if (token) params.set("access_token", *token);
    if (openid) params.set("openid", *openid);
    if (cgiRequest_) cgiRequest_->cancel();
    return send(address, params);
}

Ref<NimbusRequest> APIBase::openUrlBySkey(const std::string& address, const std::optional<std::string>& skey,
                                          const std::optional<std::string>& uin, const std::optional<std::string>& appid,
                                          Dictionary& params) {
    prepareCommonParams(params, appid);
    if (skey) params.set("skey", *skey);
    if (uin) params.set("uin", *uin);
    if (cgiRequest_) {
        cgiRequest_->reset();
        cgiRequest_.reset();
    }
    return send(address, params);
}

void APIBase::prepareCommonParams(Dictionary& params, const std::optional<std::string>& appid) {
    if (const Value* data = params.find("userData")) {
        userData_ = *data;
        params.remove("userData");
    }
    for (const auto& [key, value] : TcApiTool::SDKInfo()) params.set(key, value);
    params.set("format", "json");
    if (appid) params.set("oauth_consumer_key", *appid);
}

Ref<NimbusRequest> APIBase::send(const std::string& address, Dictionary& params) {
    if (request_) request_->setDelegate(nullptr);
    request_ = NimbusRequest::getRequestWithParams(params, httpMethod_, self<APIBase>(), address);
    request_->connect();
    ++hasTriedCounts_;
    return request_;
}

void APIBase::cancel() {
    if (request_) request_->cancel();
    if (cgiRequest_) {
        cgiRequest_->reset();
        cgiRequest_.reset();
    }
}

bool APIBase::retry() {
    if (hasTriedCounts_ >= needTriedCounts_ || !request_) return false;
    request_->connect();
    ++hasTriedCounts_;
    return true;
}

void APIBase::didLoad(const Ref<NimbusRequest>& request, const Value& result, const NSData& data) {
    auto response = make<APIResponse>();
    response->setSeq(seq_);
    response->setMessage(textOfBody(data));
    response->setUserData(userData_);
    const Dictionary* answer = result.dictionary();
    if (answer && !answer->empty()) {
        response->setRetCode(0);
        response->setJsonResponse(result);
    } else if (answer) {
        NSLog("received didLoad error");
        response->setRetCode(1);
        response->setErrorMsg(std::string(kUnusableAnswer));
    } else {
        if (retry()) return;
        response->setRetCode(1);
        response->setErrorMsg(std::string(kUnusableAnswer));
    }

    auto target = target_.lock();
    auto session = cast<NimbusOAuth>(target);
    const auto permission = parsePermissionFromURL(request ? request->url() : std::string());
    if (permission && session &&
        NBOpenSDKErrorUtil::retValue(response->jsonResponse()) == kNeedsIncrementalAuthorisation &&
        !session->nimbusNeedPerformIncrAuth(nullptr, {*permission})) {
        session->deleteAPIRequestBySeq(std::to_string(seq_));
        return;
    }
    if (selector_) {
        deliver(response);
    } else if (session) {
        session->deleteAPIRequestBySeq(std::to_string(seq_));
    }
}

void APIBase::didFailWithError(const Ref<NimbusRequest>&, const Ref<NSError>& error) {
    NSLog("APIBase request didFailWithError");
    if (retry()) return;
    auto response = make<APIResponse>();
    response->setRetCode(1);
    response->setErrorMsg(error ? std::optional(error->localizedDescription()) : std::nullopt);
    response->setSeq(seq_);
    response->setUserData(userData_);
    if (selector_) deliver(response);
}

void APIBase::didSendBodyData(const Ref<NimbusRequest>&, std::int64_t sent, std::int64_t total, std::int64_t expected) {
    if (auto delegate = delegate_.lock()) delegate->apiBaseDidSendBodyData(self<APIBase>(), sent, total, expected);
}

void APIBase::didWriteData(const Ref<NimbusRequest>&, std::int64_t written, std::int64_t total, std::int64_t expected) {
    if (auto delegate = delegate_.lock()) delegate->apiBaseDidWriteData(self<APIBase>(), written, total, expected);
}

void APIBase::deliver(const Ref<APIResponse>& response) {
    auto keep = self<APIBase>();  // the result method may drop the caller's reference
    if (auto target = target_.lock()) selector_(target, response);
}
