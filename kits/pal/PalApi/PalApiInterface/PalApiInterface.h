#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiInterface/PalBaseReq.h"
#include "kits/pal/PalApi/PalApiMessage.h"

// What the host app hears from Pal; every method is optional.
class PalApiInterfaceDelegate {
public:
    virtual ~PalApiInterfaceDelegate() = default;
    virtual void onReq(const Ref<PalBaseReq>&) {}
    virtual void onResp(const Ref<PalBaseResp>&) {}
    // Pal number -> "YES" / "NO".
    virtual void isOnlineResponse(const Dictionary&) {}
};

// The façade through which a host app shares content to Pal, PalWork and
// PalSpace and answers Pal's requests. It keeps no state: each call wraps
// its argument into a message of a fixed type for the dispatcher
// (PalApi::sendMessage), whose result code comes back unchanged; -1 is the
// façade's own refusal. The three send calls also report the outcome.
// Main thread only.
class PalApiInterface {
public:
    PalApiInterface() = delete;

    static void showMessageRequestFromPal(const Ref<PalApiObject>& object, const Ref<PalApiInterfaceDelegate>& delegate);
    static void getMessageRequestFromPal(const Ref<PalApiInterfaceDelegate>& delegate);
    static std::int32_t SendMessageToPalRequest(const Ref<PalApiMessage>& message);
    static std::int32_t responseToGetMessageFromPal(const Ref<PalApiMessage>& message);
    static std::int32_t responseToShowMessageFromPal(const Ref<PalApiMessage>& message);
    // Only for exactly a PalApiResultObject: the delegate hears a
    // SendMessageToPalResp.
    static bool responseToSendMessageToPal(const Ref<PalApiObject>& object, const Ref<PalApiInterfaceDelegate>& delegate);
    // The message a URL from Pal carries, handed to the delegate or answered.
    static bool handleOpenURL(const Ref<NSURL>& url, const Ref<PalApiInterfaceDelegate>& delegate);

    static std::int32_t sendMessageToPalWithReq(const Ref<PalBaseReq>& request);
    // Texts and pictures go to a chat instead when the app may not share
    // them to PalSpace.
    static std::int32_t sendMessageToPalPalSpaceWithReq(const Ref<PalBaseReq>& request);
    static std::int32_t sendMessageToPalGroupTribeWithReq(const Ref<PalBaseReq>& request);
    static std::int32_t sendReq(const Ref<PalBaseReq>& request);
    static std::int32_t SendReqToPalSpace(const Ref<PalBaseReq>& request);
    static std::int32_t SendReqToPalGroupTribe(const Ref<PalBaseReq>& request);
    static std::int32_t sendGetMessageFromPalResp(const Ref<PalBaseResp>& response);
    static std::int32_t sendShowMessageFromPalResp(const Ref<PalBaseResp>& response);
    static std::int32_t sendResp(const Ref<PalBaseResp>& response);

    static bool isPalInstalled();
    static bool isPalWorkInstalled();
    static bool isPalSupportApi();
    static bool isPalWorkSupportApi();
    static bool openPal();
    static bool openPalWork();
    static std::string getPalInstallUrl();
    static std::string getPalWorkInstallUrl();
    static void getPalUinOnlineStatues(const std::vector<std::string>& uins,
                                       const Ref<PalApiInterfaceDelegate>& delegate);
    // The return-code check report of a send ("share_type=4" for PalSpace).
    static void reportSDKCheck(std::int32_t code, const std::string& command, bool isPalspace);
};
