#include "kits/ripple/RippleAuthSDK.h"

#include <algorithm>

#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "foundation/NSTimer.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLConnection.h"
#include "foundation/NSURLRequest.h"
#include "kits/ripple/NSDictionary_SafeJSON.h"
#include "kits/ripple/RPBase64.h"
#include "kits/ripple/RPLogUtil.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "graphics/ImageLimits.h"
#include "graphics/UIImage.h"

namespace {

using SafeJSON = NSDictionary_SafeJSON;

// What a poll answer without a state reads as.
constexpr long kMissingState = -999999;

// The poll states of the platform (`rp_errcode`).
enum PollState : long {
    kStateWaiting = 401,
    kStateExpired = 402,
    kStateRefused = 403,
    kStateScanned = 404,
    kStateConfirmed = 405,
    kStateScannedWaiting = 406,
    kStateFailed = 407,
    kStateNothingNew = 408,
};

template <class... Args> void log(std::string_view format, const Args&... args) {
    RPLogUtil::log(NSString::stringWithFormat(format, args...));
}

template <class... Args> void logError(std::string_view format, const Args&... args) {
    RPLogUtil::logError(NSString::stringWithFormat(format, args...));
}

Value describedData(const RPBytes& data) { return data ? Value(*data) : Value(); }

// The poll state as the platform sends it: a whole number, or its decimal
// text. Anything else (405.9, "405x", a list) is no state at all, so that a
// fraction of the success state never reads as a success.
long pollStateOf(const Value& value) {
    if (value.isInteger()) return static_cast<long>(*value.integer());
    if (value.isReal()) {
        const double real = *value.real();
        const bool whole = real == static_cast<double>(static_cast<long>(real)) && real > -1e15 && real < 1e15;
        return whole ? static_cast<long>(real) : kMissingState;
    }
    if (value.isText()) {
        const std::string& text = *value.text();
        const std::size_t digits = text.starts_with('-') ? 1 : 0;
        const bool whole = text.size() > digits && text.size() <= digits + 15 &&
                           std::all_of(text.begin() + static_cast<long>(digits), text.end(),
                                       [](char c) { return c >= '0' && c <= '9'; });
        return whole ? std::stol(text) : kMissingState;
    }
    return kMissingState;
}

}  // namespace

RippleAuthSDK::RippleAuthSDK() = default;

RippleAuthSDK::~RippleAuthSDK() {
    log("dealloc");
    resetAll();
    respData_ = NSData();
}

bool RippleAuthSDK::Auth(const std::string& appId, const std::string& nonceStr, const std::string& timeStamp,
                         const std::string& scope, const std::string& signature, const std::string& schemeData) {
    if (isAuthing_) return false;
    log("Auth: appId:%@", appId);
    const std::string query = NSString::stringWithFormat(
        "appid=%@&noncestr=%@&timestamp=%@&scope=%@&signature=%@&scheme_data=%@", appId, nonceStr, timeStamp, scope,
        signature, schemeData);
    auto escaped = NSString::stringByAddingPercentEscapesUsingEncoding(
        RippleOpenPlatformHosts::webBaseURL() + "/connect/sdk/qrconnect?" + query, NSUTF8StringEncoding);
    return sendAuthRequest(escaped ? NSURL::URLWithString(*escaped) : nullptr);
}

bool RippleAuthSDK::StopAuth() {
    log("StopAuth");
    resetAll();
    return true;
}

bool RippleAuthSDK::sendAuthRequest(const Ref<NSURL>& url) {
    if (!url) return false;
    resetAll();
    log("sendAuthRequest：%@", url->absoluteString());
    if (!connect(url, NSURLRequest::defaultTimeoutInterval)) {
        logError("connection is nil");
        return false;
    }
    isAuthing_ = true;
    return true;
}

bool RippleAuthSDK::connect(const Ref<NSURL>& url, double timeoutInterval) {
    auto request = NSURLRequest::requestWithURL(url, NSURLRequestReloadIgnoringLocalCacheData, timeoutInterval);
    connection_ = NSURLConnection::connectionWithRequest(request, self<RippleAuthSDK>());
    return connection_ != nullptr;
}

void RippleAuthSDK::startPolling() {
    resetConnection();
    if (!uuid_ || uuid_->empty()) {
        logError("startPolling uuid is nil");
        handleError(kFailed);
        return;
    }
    log("startPolling");
    const std::string query =
        NSString::stringWithFormat("uuid=%@&last=%ld&f=json", *uuid_, static_cast<long>(lastState_));
    auto url = NSURL::URLWithString(RippleOpenPlatformHosts::longPollBaseURL() + "/connect/l/qrconnect?" + query);
    if (!connect(url, kPollTimeout)) logError("connection is nil");
}

void RippleAuthSDK::startTimeoutCheck() {
    stopTimeoutCheck();
    WeakRef<RippleAuthSDK> weak = self<RippleAuthSDK>();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(kPollPause, false, [weak](const Ref<NSTimer>&) {
        if (auto sdk = weak.lock()) sdk->startPolling();
    });
}

void RippleAuthSDK::stopTimeoutCheck() {
    if (timer_) timer_->invalidate();
    timer_ = nullptr;
}

// --- Answers ---

void RippleAuthSDK::didReceiveResponse(const Ref<NSURLConnection>&, const Ref<NSURLResponse>& response) {
    auto http = cast<NSHTTPURLResponse>(response);
    Dictionary headers;
    if (http) headers = http->allHeaderFields();
    const long long expected = response ? response->expectedContentLength() : -1;
    if (expected >= 1) {
        retContentLength_ = static_cast<std::uint32_t>(expected);
    } else {
        auto length = http ? http->valueForHTTPHeaderField("Content-Length") : std::nullopt;
        retContentLength_ = static_cast<std::uint32_t>(std::max(0, NSString::intValue(length.value_or(""))));
    }
    httpRetStatusCode_ = http ? http->statusCode() : 0;
    log("didReceiveResponse resp dicResp:%@", Value(headers));
}

void RippleAuthSDK::didReceiveData(const Ref<NSURLConnection>&, const NSData& data) {
    respData_.append(data);
    log("didReceiveData data length:%ld", static_cast<long>(data.length()));
}

void RippleAuthSDK::connectionDidFinishLoading(const Ref<NSURLConnection>&) {
    auto text = NSString::initWithData(respData_, NSUTF8StringEncoding);
    log("connectionDidFinishLoading, code:%d", static_cast<int>(httpRetStatusCode_));
    if (httpRetStatusCode_ != 200 && httpRetStatusCode_ != 206) {
        handleError(kNetworkFailed);
    } else if (respData_.length() >= retContentLength_) {
        resetConnection();
        handleResponse(text);
    } else {
        handleError(kFailed);
    }
}

void RippleAuthSDK::didFailWithError(const Ref<NSURLConnection>&, const Ref<NSError>& error) {
    logError("connection fail, error:%@", error);
    finish(kNetworkFailed, std::nullopt);
}

void RippleAuthSDK::handleResponse(const std::optional<std::string>& text) {
    if (!text || text->empty()) {
        logError("resp is nil");
        handleError(kFailed);
        return;
    }
    const Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(*text));
    log("status:%d, dictResponse:%@", status_, parsed);
    const Dictionary* answer = parsed.dictionary();
    if (status_ == kWaitingForQrcode) {
        if (!answer) {
            handleError(kNoQrcode);
            return;
        }
        if (auto uuid = SafeJSON::rpApi_stringForKey(*answer, "uuid")) uuid_ = uuid;
        const Dictionary* qrcode = SafeJSON::rpApi_dictionaryForKey(*answer, "qrcode");
        auto picture = qrcode ? SafeJSON::rpApi_stringForKey(*qrcode, "qrcodebase64") : std::nullopt;
        if (picture) {
            // The announced length counts the characters to decode; it cannot
            // reach past the text.
            const long length = std::clamp<long>(SafeJSON::rpApi_integerForKey(*qrcode, "qrcodelength"), 0,
                                                 static_cast<long>(picture->size()));
            std::optional<NSData> bytes;
            RPBase64DecodeAlloc(std::string_view(*picture).substr(0, static_cast<std::size_t>(length)), bytes);
            qrCodeData_ = bytes;
        }
        handleGotQrcode();
        return;
    }
    if (!answer) {
        handleError(kFailed);
        return;
    }
    handlePollAnswer(*answer);
}

void RippleAuthSDK::handlePollAnswer(const Dictionary& answer) {
    // The delegate may let go of this object while it is told of the scan.
    Ref<RippleAuthSDK> keepAlive = self<RippleAuthSDK>();
    // An empty code is no code: it leaves one kept from an earlier poll.
    auto code = SafeJSON::rpApi_stringForKey(answer, "rp_code");
    if (code && !code->empty()) authCode_ = code;
    const long state = pollStateOf(answer["rp_errcode"]);
    switch (state) {
        case kStateExpired: handleError(kExpired); return;
        case kStateRefused: handleError(kRefused); return;
        case kStateConfirmed:
            // Confirmed without a code leaves nothing to exchange: a failure.
            if (!authCode_ || authCode_->empty()) handleError(kFailed);
            else finish(kSuccess, authCode_);
            return;
        case kStateScanned:
            if (status_ != kScanned) {
                status_ = kScanned;
                const std::uint64_t login = login_;
                if (auto delegate = this->delegate()) delegate->onQrcodeScanned();
                // The delegate stopped this login, or began another: nothing
                // of this one goes on.
                if (login != login_) return;
            }
            [[fallthrough]];
        case kStateWaiting:
        case kStateScannedWaiting:
        case kStateNothingNew:
            lastState_ = state;
            startTimeoutCheck();
            return;
        default: handleError(kFailed); return;
    }
}

void RippleAuthSDK::handleGotQrcode() {
    auto delegate = this->delegate();
    auto delegateObject = std::dynamic_pointer_cast<NSObject>(delegate);
    log("_delegate:%@, self.qrCodeData:%@", delegateObject, describedData(qrCodeData_));
    // Bytes that are no picture count as no picture: there is no code to
    // show. The code is a picture a server sends, held to the web pictures'
    // pixels (its bytes came in an answer, well within a picture file's).
    static_assert(URLLoadingEngine::kDefaultLargestBody <= kLargestImageFileBytes);
    Ref<UIImage> image = qrCodeData_ && qrCodeData_->length() > 0
                             ? UIImage::imageWithData(*qrCodeData_, 1, nullptr, kLargestWebImagePixels)
                             : nullptr;
    if (!image) {
        handleError(kNoQrcode);
        return;
    }
    log("_delegate:%@, qrCodeImg:%@", delegateObject, image);
    // The delegate may let go of this object while it is told.
    Ref<RippleAuthSDK> keepAlive = self<RippleAuthSDK>();
    const std::uint64_t login = login_;
    if (delegate) delegate->onAuthGotQrcode(image);
    if (login != login_) return;
    status_ = kPolling;
    startPolling();
}

void RippleAuthSDK::handleError(std::int32_t code) {
    logError("_delegate:%@, errCode:%d", std::dynamic_pointer_cast<NSObject>(delegate()), code);
    finish(code, authCode_);
}

void RippleAuthSDK::finish(std::int32_t code, const RPText& authCode) {
    // The delegate may let go of this object while it is told.
    auto keep = self<RippleAuthSDK>();
    const RPText handedCode = authCode;
    // The login ends before it is told, so that the delegate may start the
    // next one from its answer.
    resetAll();
    if (auto delegate = this->delegate()) delegate->onAuthFinish(code, handedCode);
}

void RippleAuthSDK::resetConnection() {
    log("resetConnection");
    if (connection_) connection_->cancel();
    connection_ = nullptr;
    stopTimeoutCheck();
    retContentLength_ = 0;
    respData_ = NSData();
    httpRetStatusCode_ = 0;
}

void RippleAuthSDK::resetAll() {
    log("resetAll");
    resetConnection();
    status_ = kWaitingForQrcode;
    uuid_.reset();
    qrCodeData_.reset();
    authCode_.reset();
    isAuthing_ = false;
    lastState_ = 0;
    ++login_;
}
