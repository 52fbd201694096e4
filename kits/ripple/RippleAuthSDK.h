#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/NSURLConnectionDataDelegate.h"
#include "foundation/Value.h"
#include "kits/ripple/RPProperty.h"

class NSTimer;
class NSURL;
class UIImage;

// What a QR-code login tells its delegate, on the thread that started it.
// Every method is optional.
class RippleAuthAPIDelegate {
public:
    virtual ~RippleAuthAPIDelegate() = default;
    // The login's QR code, to be shown for scanning on another device.
    virtual void onAuthGotQrcode(const Ref<UIImage>& /*image*/) {}
    // The code has been scanned (once per login).
    virtual void onQrcodeScanned() {}
    // The login ended: 0 with the authorisation code, or a negative error
    // code (see RippleAuthSDK) and, usually, no code.
    virtual void onAuthFinish(std::int32_t /*errorCode*/, const RPText& /*authCode*/) {}
};

// Login with Ripple when the Ripple app is not on the device: asks the
// Ripple open platform (RippleOpenPlatformHosts) for a login QR code, hands
// its picture to the delegate, then long-polls the platform until the code
// is scanned and confirmed on another device, and hands over the
// authorisation code. The requests and the pause between polls (a timer)
// run on the current run loop; at most one of them is pending at a time.
class RippleAuthSDK : public NSObject, public NSURLConnectionDataDelegate {
public:
    // What ends a login, as handed to onAuthFinish.
    enum ErrorCode : std::int32_t {
        kSuccess = 0,
        kFailed = -1,            // no login id, a short or unreadable answer, an error state, confirmed without a code
        kNetworkFailed = -2,     // the transport failed, or HTTP status neither 200 nor 206
        kNoQrcode = -3,          // the code answer is unreadable or has no picture
        kRefused = -4,           // state 403
        kExpired = -5,           // state 402
    };
    // Phases of `status`.
    enum Phase : std::uint32_t { kWaitingForQrcode = 0, kPolling = 1, kScanned = 2 };
    // The pause before the next poll, and the time-out of a poll.
    static constexpr double kPollPause = 2.0;
    static constexpr double kPollTimeout = 60;

    RippleAuthSDK();
    ~RippleAuthSDK() override;

    Ref<RippleAuthAPIDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<RippleAuthAPIDelegate>& delegate) { delegate_ = delegate; }
    const std::string& sdkVersion() const { return sdkVersion_; }

    // Starts a login; false when one is under way or the request cannot be
    // started.
    bool Auth(const std::string& appId, const std::string& nonceStr, const std::string& timeStamp,
              const std::string& scope, const std::string& signature, const std::string& schemeData);
    // Abandons any login without telling the delegate; always true.
    bool StopAuth();

    // --- State ---
    std::uint32_t status() const { return status_; }
    bool isAuthing() const { return isAuthing_; }
    const RPText& uuid() const { return uuid_; }
    const RPBytes& qrCodeData() const { return qrCodeData_; }
    const RPText& authCode() const { return authCode_; }
    std::int64_t lastState() const { return lastState_; }
    std::int64_t httpRetStatusCode() const { return httpRetStatusCode_; }
    std::uint32_t retContentLength() const { return retContentLength_; }
    const Ref<NSURLConnection>& connection() const { return connection_; }
    const Ref<NSTimer>& timer() const { return timer_; }

    // --- The steps of a login ---
    bool sendAuthRequest(const Ref<NSURL>& url);
    void startPolling();
    void startTimeoutCheck();
    void stopTimeoutCheck();
    void handleResponse(const std::optional<std::string>& text);
    void handleGotQrcode();
    void handleError(std::int32_t code);
    void resetConnection();
    void resetAll();

    // NSURLConnectionDataDelegate
    void didReceiveResponse(const Ref<NSURLConnection>& connection, const Ref<NSURLResponse>& response) override;
    void didReceiveData(const Ref<NSURLConnection>& connection, const NSData& data) override;
    void didFailWithError(const Ref<NSURLConnection>& connection, const Ref<NSError>& error) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>& connection) override;

    std::string className() const override { return "RippleAuthSDK"; }

private:
    // Starts a request for `url`, with this object as its connection's delegate.
    bool connect(const Ref<NSURL>& url, double timeoutInterval);
    void handlePollAnswer(const Dictionary& answer);
    void finish(std::int32_t code, const RPText& authCode);

    WeakRef<RippleAuthAPIDelegate> delegate_;
    std::string sdkVersion_ = "2.0";
    Ref<NSURLConnection> connection_;
    NSData respData_;
    std::uint32_t retContentLength_ = 0;
    std::int64_t httpRetStatusCode_ = 0;
    std::uint32_t status_ = kWaitingForQrcode;
    RPText uuid_;
    RPBytes qrCodeData_;
    RPText authCode_;
    Ref<NSTimer> timer_;
    bool isAuthing_ = false;
    std::int64_t lastState_ = 0;
    // Counts the ends of logins (resetAll), so that a step after a delegate
    // call can tell that the delegate stopped or replaced the login it was
    // told about.
    std::uint64_t login_ = 0;
};
