// The Open API calls of the session object: CGI calls answered through the
// session delegate, the head picture, graph requests and request objects.
#include <algorithm>

#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/SetHeadImageViewController.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiLog.h"

namespace {

bool nonEmpty(const std::optional<std::string>& text) { return text && !text->empty(); }

std::string seqKey(std::int32_t seq) { return std::to_string(seq); }

}  // namespace

bool NimbusOAuth::isSessionValid() const {
    if (skey_ && uin_) return true;
    return accessToken_ && TcApiTool::isExpiryAhead(expirationDate_);
}

bool NimbusOAuth::isOpenIdValid() const { return (skey_ && uin_) || openId_.has_value(); }

Ref<APIBase> NimbusOAuth::sendOpenApi(const std::string& path, const std::string& httpMethod, Dictionary params,
                                      ResponseMethod method, bool withProgress, bool reportStatistics) {
    if (!isSessionValid() || !isOpenIdValid()) return nullptr;
    auto call = make<APIBase>(self<NimbusOAuth>(), APIBase::selector(method), httpMethod,
                              withProgress ? self<NimbusOAuth>() : nullptr);
    if (nonEmpty(uin_) && nonEmpty(skey_)) {
        call->openUrlBySkey(NimbusConnectHosts::baseURL() + "/api/" + path, skey_, uin_, appId_, params);
    } else {
        call->openUrl(NimbusConnectHosts::baseURL() + "/" + path, accessToken_, openId_, appId_, params);
    }
    apiRequests_[seqKey(call->seq())] = call;
    if (reportStatistics) NBDataReport::utaReportApi(path);
    return call;
}

bool NimbusOAuth::getUserInfo() {
    const ResponseMethod method = userGetUserInfo_ ? &NimbusOAuth::getUserInfoResponse
                                                   : &NimbusOAuth::getUserInfoNotUserResponse;
    const bool sent = sendOpenApi("user/get_simple_userinfo", "GET", {}, method, false, false) != nullptr;
    if (sent) userGetUserInfo_ = true;
    return sent;
}

bool NimbusOAuth::getListAlbum() {
    return sendOpenApi("photo/list_album", "GET", {}, &NimbusOAuth::getListAlbumResponse, false, false) != nullptr;
}
bool NimbusOAuth::getListPhotoWithParams(const Dictionary& params) {
    return sendOpenApi("photo/list_photo", "GET", params, &NimbusOAuth::getListPhotoResponse, false, false) != nullptr;
}
bool NimbusOAuth::addShareWithParams(const Dictionary& params) {
    return sendOpenApi("share/add_share", "POST", params, &NimbusOAuth::addShareResponse, false, true) != nullptr;
}
bool NimbusOAuth::uploadPicWithParams(const Dictionary& params) {
    return sendOpenApi("photo/upload_pic", "POST", params, &NimbusOAuth::uploadPicResponse, true, true) != nullptr;
}
bool NimbusOAuth::addAlbumWithParams(const Dictionary& params) {
    return sendOpenApi("photo/add_album", "POST", params, &NimbusOAuth::addAlbumResponse, false, false) != nullptr;
}
bool NimbusOAuth::addOneBlogWithParams(const Dictionary& params) {
    return sendOpenApi("blog/add_one_blog", "POST", params, &NimbusOAuth::addOneBlogResponse, false, false) != nullptr;
}
bool NimbusOAuth::checkPageFansWithParams(const Dictionary& params) {
    return sendOpenApi("user/check_page_fans", "GET", params, &NimbusOAuth::checkPageFansResponse, false, false) !=
           nullptr;
}
bool NimbusOAuth::addTopicWithParams(const Dictionary& params) {
    return sendOpenApi("shuoshuo/add_topic", "POST", params, &NimbusOAuth::addTopicResponse, false, true) != nullptr;
}
bool NimbusOAuth::getVipInfo() {
    return sendOpenApi("user/get_vip_info", "GET", {}, &NimbusOAuth::getVipInfoResponse, false, false) != nullptr;
}
bool NimbusOAuth::getVipRichInfo() {
    return sendOpenApi("user/get_vip_rich_info", "GET", {}, &NimbusOAuth::getVipRichInfoResponse, false, false) !=
           nullptr;
}

bool NimbusOAuth::takeAnsweredCall(const Ref<APIResponse>& response) {
    if (!response) return false;
    const std::string key = seqKey(response->seq());
    if (apiRequests_.count(key) == 0) {
        PAL_API_LOG("the answer to call %s comes after the call ended (cancelled, or made before a logout): dropped",
                    key.c_str());
        return false;
    }
    deleteAPIRequestBySeq(key);
    return true;
}

std::function<void()> NimbusOAuth::endCallsOfTheUser() {
    // Taken out first: a cancelled call tells nothing, but its request
    // object's owner may call back into the session.
    const auto calls = std::move(apiRequests_);
    apiRequests_.clear();
    for (const auto& [key, call] : calls) {
        call->releaseCgiRequest();
        call->cancel();
    }
    // A head-image screen of the user closes as its Cancel closes it: its
    // upload is gone, and a later one would go out under the next login.
    if (tcUiKit_)
        if (Ref<UIViewController> screen = tcUiKit_->headImageScreen()) didCancelled(screen, 0);
    // A login still waiting for its open id, or a graph login, had the
    // token that goes now: it ends as cancelled.
    Ref<NimbusLoginDelegate> waitingOpenId;
    if (auto call = std::move(openIdRequest_)) {
        call->cancel();
        if (auto found = loginDict_.find(seqKey(call->seq())); found != loginDict_.end()) {
            waitingOpenId = found->second.lock();
            loginDict_.erase(found);
        }
    }
    bool graphLogin = false;
    if (auto graph = std::move(request_)) {
        graphLogin = graph->delegate().get() == static_cast<NimbusRequestDelegate*>(this);
        graph->cancel();
        graph->setDelegate(nullptr);
    }
    Ref<NimbusLoginDelegate> graphHost = graphLogin ? sessionDelegate() : nullptr;
    return [waitingOpenId, graphHost] {
        if (waitingOpenId) waitingOpenId->nimbusDidNotLogin(true);
        if (graphHost) graphHost->nimbusDidNotLogin(true);
    };
}

void NimbusOAuth::forward(const Ref<APIResponse>& response, NimbusSessionCallback callback) {
    if (auto delegate = sessionDelegate()) delegate->respond(callback, response);
}

void NimbusOAuth::getUserInfoResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    const Value& nickname = response->jsonResponse()["nickname"];
    if (response->retCode() == 0 && nickname.isText())
        userNick_ = stringByNBOSDKReplacingHtmlEscapes(nickname.stringValue());
    forward(response, NimbusSessionCallback::getUserInfoResponse);
}

void NimbusOAuth::getUserInfoNotUserResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    const Value& nickname = response->jsonResponse()["nickname"];
    if (response->retCode() != 0 || !nickname.isText()) return;
    userNick_ = stringByNBOSDKReplacingHtmlEscapes(nickname.stringValue());
    if (tcUiKit_) {
        Dictionary data;
        data.set("nick", userNick_.value_or(""));
        tcUiKit_->setViewControllerData(data);
    }
}

void NimbusOAuth::getListAlbumResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::getListAlbumResponse);
}
void NimbusOAuth::getListPhotoResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::getListPhotoResponse);
}
void NimbusOAuth::addShareResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::addShareResponse);
}
void NimbusOAuth::uploadPicResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::uploadPicResponse);
}
void NimbusOAuth::addAlbumResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::addAlbumResponse);
}
void NimbusOAuth::addOneBlogResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::addOneBlogResponse);
}
void NimbusOAuth::checkPageFansResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::checkPageFansResponse);
}
void NimbusOAuth::addTopicResponse(const Ref<APIResponse>& r) {
    if (takeAnsweredCall(r)) forward(r, NimbusSessionCallback::addTopicResponse);
}

void NimbusOAuth::getVipInfoResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    if (response->retCode() == 0) NBOpenSDKErrorUtil::apiResponseConvert(response);
    forward(response, NimbusSessionCallback::getVipInfoResponse);
}

void NimbusOAuth::getVipRichInfoResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    if (response->retCode() == 0) NBOpenSDKErrorUtil::apiResponseConvert(response);
    forward(response, NimbusSessionCallback::getVipRichInfoResponse);
}

void NimbusOAuth::setUserHeadpicResponse(const Ref<APIResponse>& response) {
    if (!takeAnsweredCall(response)) return;
    if (tcUiKit_) tcUiKit_->setViewControllerResponse(response);
    if (response->retCode() == 0) NBOpenSDKErrorUtil::apiResponseConvert(response);
    forward(response, NimbusSessionCallback::setUserHeadpicResponse);
}

std::optional<std::string> NimbusOAuth::stringByNBOSDKReplacingHtmlEscapes(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    std::string result = *text;
    const std::pair<const char*, const char*> replacements[] = {
        {"\\n", "\n"}, {"&#92;", "\\"}, {"&#39;", "'"}, {"&quot;", "\""}, {"&lt;", "<"}, {"&gt;", ">"}};
    for (const auto& [from, to] : replacements)
        result = NSString::stringByReplacingOccurrencesOfString(result, from, to);
    return result;
}

bool NimbusOAuth::setUserHeadpic(const Dictionary& params) { return startHeadpic(params, nullptr); }

bool NimbusOAuth::setUserHeadpic(const Dictionary& params, Ref<UIViewController>* screen) {
    return startHeadpic(params, screen);
}

bool NimbusOAuth::startHeadpic(const Dictionary& params, Ref<UIViewController>* screen) {
    if (!isSessionValid() || !isOpenIdValid()) return false;
    auto picture = cast<UIImage>(params["pic"].object());
    const CGSize size = picture ? picture->size() : CGSizeZero;
    if (!picture || size.width * size.height > kMaxHeadPicturePixels) {
        NSLog("Image must be small than (3264 * 2448)");
        auto response = make<APIResponse>();
        response->setRetCode(1);
        response->setErrorMsg(std::string("设置头像图片过大, 需要小于(3264 * 2448)"));
        response->setDetailRetCode(0x10000);
        if (auto delegate = sessionDelegate()) delegate->respond(NimbusSessionCallback::setUserHeadpicResponse, response);
        return true;
    }
    if (!tcUiKit_) tcUiKit_ = make<NBUiKit>(appId_);
    if (!nonEmpty(userNick_)) {
        // Answered to the screen, not the delegate; sending sets the flag back.
        userGetUserInfo_ = false;
        getUserInfo();
    }
    const auto fileName = params["filename"].stringValue();
    if (screen) {
        *screen = tcUiKit_->getHeadImageViewController(self<NimbusOAuth>(), picture, fileName, userNick_);
    } else {
        tcUiKit_->popSetHeadImageViewWnd(self<NimbusOAuth>(), picture, fileName, userNick_);
    }
    return true;
}

std::int32_t NimbusOAuth::didFinishedSetUserLocalPic(const Ref<UIViewController>&, const Ref<UIImage>& image,
                                                     const std::optional<std::string>& fileName) {
    if (!image) return -1;
    auto data = UIImagePNGRepresentation(image);
    if (!data || data->empty()) return -1;
    if (data->length() > kMaxPNGBytes) data = UIImageJPEGRepresentation(image, 0.5);
    if (!data) return -1;
    Dictionary params;
    params.set("picture", Value(*data));
    params.set("filename", nonEmpty(fileName) ? *fileName : std::string("palPic"));
    auto call = sendOpenApi("user/set_user_face", "POST", params, &NimbusOAuth::setUserHeadpicResponse, true, true);
    return call ? call->seq() : -1;
}

bool NimbusOAuth::didCancelled(const Ref<UIViewController>& screen, std::int32_t) {
    if (!screen) return false;
    screensToClose_.push_back(screen);
    if (timer_) timer_->invalidate();
    WeakRef<NimbusOAuth> weak = self<NimbusOAuth>();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(0.1, false, [weak](const Ref<NSTimer>&) {
        if (auto session = weak.lock()) session->onTimerCloseTcWindow();
    });
    return true;
}

void NimbusOAuth::onTimerCloseTcWindow() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    const auto screens = std::move(screensToClose_);
    screensToClose_.clear();
    if (!tcUiKit_) return;
    // Each screen closes itself: an earlier handed-out screen's Cancel
    // leaves the newer one the kit holds open. The kit closes before it
    // tells, so a screen the delegate opens from the news stays open.
    for (const auto& screen : screens) {
        if (screen == tcUiKit_->headImageScreen()) tcUiKit_->doClose();
        if (auto delegate = sessionDelegate()) delegate->nimbusOAuthDoCloseViewController(self<NimbusOAuth>(), screen);
    }
}

void NimbusOAuth::apiBaseDidSendBodyData(const Ref<APIBase>& request, std::int64_t bytesWritten,
                                         std::int64_t totalBytesWritten, std::int64_t totalBytesExpected) {
    auto delegate = sessionDelegate();
    if (request && delegate)
        delegate->nimbusOAuthDidSendBodyData(self<NimbusOAuth>(), bytesWritten, totalBytesWritten, totalBytesExpected,
                                             request->userData());
}

Ref<NimbusRequest> NimbusOAuth::openUrl(const std::string& url, Dictionary& params, const std::string& httpMethod,
                                        const Ref<NimbusRequestDelegate>& delegate) {
    params.set("format", "json");
    if (appId_) params.set("oauth_consumer_key", *appId_);
    if (isSessionValid() && accessToken_) params.set("access_token", *accessToken_);
    if (isOpenIdValid() && openId_) params.set("openid", *openId_);
    if (request_) request_->setDelegate(nullptr);
    // The request's delegate may let go of the session while it hears the
    // request is loading.
    Ref<NimbusOAuth> keepAlive = self<NimbusOAuth>();
    request_ = NimbusRequest::getRequestWithParams(params, httpMethod, delegate, url);
    request_->connect();
    return request_;
}

Ref<NimbusRequest> NimbusOAuth::requestWithGraphPath(const std::string& path, Dictionary params,
                                                     const std::string& httpMethod,
                                                     const Ref<NimbusRequestDelegate>& delegate) {
    return openUrl(NimbusConnectHosts::baseURL() + "/oauth2.0/" + path, params, httpMethod, delegate);
}

Ref<NimbusRequest> NimbusOAuth::requestWithMethodName(const std::string& name, Dictionary params,
                                                      const std::string& httpMethod,
                                                      const Ref<NimbusRequestDelegate>& delegate) {
    return openUrl(NimbusConnectHosts::baseURL() + "/" + name, params, httpMethod, delegate);
}

Ref<NimbusRequest> NimbusOAuth::requestWithParams(Dictionary params, const Ref<NimbusRequestDelegate>& delegate) {
    auto method = params["method"].stringValue();
    if (!method) {
        NSLog("API Method must be specified");
        return nullptr;
    }
    params.remove("method");
    return requestWithMethodName(*method, std::move(params), "GET", delegate);
}

Ref<NBAPIRequest> NimbusOAuth::cgiRequestWithURL(const Ref<NSURL>& url, const std::string& method,
                                                 const Dictionary& params, const Ref<NBAPIRequestDelegate>& callback) {
    auto request = make<NBAPIRequest>(url, method);
    for (const auto& [key, value] : params) request->setObject(key, value);
    return sendAPIRequest(request, callback) ? request : nullptr;
}

bool NimbusOAuth::sendAPIRequest(const Ref<NBAPIRequest>& request, const Ref<NBAPIRequestDelegate>& callback) {
    if (!request || !isSessionValid() || !isOpenIdValid() || !request->tryLoad()) return false;
    if (!request->apiURL() || request->apiURL()->absoluteString().empty()) return false;
    std::string method = request->method().value_or("");
    std::transform(method.begin(), method.end(), method.begin(), [](unsigned char c) { return std::toupper(c); });
    if (method != "GET" && method != "POST") return false;
    auto call = make<APIBase>(self<NimbusOAuth>(), APIBase::selector(&NimbusOAuth::onCGIRequestDidResponse), method,
                              nullptr, request->paramUserData());
    Dictionary params = request->params();
    call->openUrl(request->apiURL()->absoluteString(), accessToken_, openId_, appId_, params);
    call->setCgiRequest(request);
    const std::string key = seqKey(call->seq());
    apiRequests_[key] = call;
    request->setRequestKey(key);
    request->setNimbusOAuth(self<NimbusOAuth>());
    request->setCallback(callback);
    return true;
}

void NimbusOAuth::onCGIRequestDidResponse(const Ref<APIResponse>& response) {
    if (!response) return;
    const std::string key = seqKey(response->seq());
    auto found = apiRequests_.find(key);
    if (found == apiRequests_.end()) {
        takeAnsweredCall(response);  // says why it is dropped
        return;
    }
    if (response->retCode() == 0) NBOpenSDKErrorUtil::apiResponseConvert(response);
    auto call = found->second;
    if (auto request = call->cgiRequest()) request->apiBaseDidResponse(call, response);
    deleteAPIRequestBySeq(key);
}

bool NimbusOAuth::cancel(const Value& userData) {
    for (auto it = apiRequests_.begin(); it != apiRequests_.end(); ++it) {
        if (!(it->second->userData() == userData)) continue;
        auto call = it->second;
        call->cancel();
        deleteAPIRequestBySeq(it->first);
        return true;
    }
    return false;
}

void NimbusOAuth::cancelAllAPIRequest() {
    for (const auto& [key, call] : apiRequests_) call->cancel();
}
