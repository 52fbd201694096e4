#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiMessages.h"

// What the host app hears from the legacy layer. Nothing means the delegate
// does not take that call.
class NimbusApiInterfaceDelegate {
public:
    virtual ~NimbusApiInterfaceDelegate() = default;
    virtual std::optional<bool> onNimbusReq(const Ref<NimbusApiReq>&) { return std::nullopt; }
    virtual std::optional<bool> onNimbusResp(const Ref<NimbusApiResp>&) { return std::nullopt; }
};

// The legacy app-to-app layer: an app of the Pal family sends the host a
// request (URL on a scheme of the URL type "nimbusApiIdentifier", archive on
// the general pasteboard); the host's response goes back to PalSpace only.
class NimbusApiInterface {
public:
    NimbusApiInterface() = delete;

    // -1 no response; 0 sent (or not for PalSpace, so not sent); 1 PalSpace
    // missing; 2 PalSpace without the API; 3 invalid or too large (over
    // 10,485,760 bytes); 4 the system did not open the URL.
    static std::int32_t sendRespMessageToNimbusApp(const Ref<NimbusApiResp>& response);
    static std::int32_t sendRespMessaageToThirdApp(const Ref<NimbusApiResp>&, const std::string&) { return 2; }
    // A request reaches the delegate; when it declines (NO), a response with
    // code -1 goes back. True for everything but no message and responses.
    static bool handleOpenURL(const Ref<NSURL>& url, const Ref<NimbusApiInterfaceDelegate>& delegate);
    static bool canOpenURL(const Ref<NSURL>& url, const Ref<NimbusApiInterfaceDelegate>& delegate = nullptr);
    static bool installIphonePalSpace();
    static bool iphonePalSpaceSupportApi();
    static void openThirdApp(const std::string& appId);
    // Platform 0 Pal, 1 PalSpace, 2 PalWork.
    static bool isNimbusAppInstall(std::int64_t platform);
    static bool isNimbusAppSupportNimbusApi(std::int64_t platform);
};
