#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/RPMediaInternalMessage.h"
#include "peers/PeerApp.h"

// The Ripple app, simulated. Opened with "ripple://app/<host id>/<path>", it
// does what the real app would:
// - "sendreq/?": reads the host's message off the pasteboard; a share (text
//   or media) is answered with a send result (command 2010, the language and
//   country of its user), an authorisation message with its result (2030);
// - "auth/?scope=..&state=..": answers "<host id>://oauth?code=..&state=..";
// - "pay/?...": answers "<host id>://pay/?returnKey=..&ret=..";
// - "sendresp/?": reads the host's answer to one of its own requests.
// A payment link of the shop's payment page ("ripple://wap/pay?oid=..&
// notify=..") is paid as the payer agrees (PaymentNotice).
// Answers go on the pasteboard with the kit's transport, then the host is
// opened on its own scheme. Other URLs are only noted. It can also send the
// host requests of its own (which reach the host's onReq).
class SimulatedRippleApp : public PeerApp {
public:
    static constexpr const char* kSourceApplication = "com.ripple.app";
    // What its messages carry under "rippleVersion", and its SDK version.
    static constexpr std::uint32_t kRippleVersion = 0x28000D30;
    static constexpr const char* kSDKVersion = "1.8.4";

    std::string name() const override { return "Ripple"; }
    // Takes the "ripple" scheme and leaves its SDK version on the pasteboard
    // "ripple_sdk_infomation".
    void install() override;
    void uninstall() override;

    // The outcome its answers report (0 success, -2 the user cancelled).
    void setAnswerCode(std::int32_t code) { answerCode_ = code; }
    // The code an authorisation answer carries.
    void setAuthCode(std::string code) { authCode_ = std::move(code); }

    // Puts a request of its own for the host app `hostAppId` on the
    // pasteboard and opens the host: a GetMessageFromRPReq,
    // ShowMessageFromRPReq (with `message`) or LaunchFromRPReq. False when
    // the request cannot be written.
    bool sendRequest(const std::string& hostAppId, const Ref<BaseReq>& request,
                     const Ref<RPMediaInternalMessage>& message = nullptr);

private:
    void open(const Ref<NSURL>& url);
    void readMessage(const std::string& url, const std::string& hostAppId, const std::string& path);
    void answerAuth(const std::string& url, const std::string& hostAppId, const Dictionary& query);
    void answerPay(const std::string& url, const std::string& hostAppId, const Dictionary& query);
    // Leaves `message` for the host with the kit's transport and opens it.
    bool answerHost(const std::string& hostAppId, Dictionary message);

    std::int32_t answerCode_ = 0;
    std::string authCode_ = "ripple-auth-code";
};
