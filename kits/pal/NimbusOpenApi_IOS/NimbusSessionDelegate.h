#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusLoginDelegate.h"

class NimbusOAuth;
class UIViewController;

// What the Pal kit tells the host app about its session: the login outcomes,
// renewals and logout, the answer of every Open API call, and the requests
// of the legacy app-to-app layer. Every
// callback is optional; the defaults do nothing (and answer YES where a
// question is asked).
class NimbusSessionDelegate : public NimbusLoginDelegate, public NimbusApiInterfaceDelegate {
public:
    virtual void nimbusDidLogout() {}
    virtual bool nimbusNeedPerformIncrAuth(const Ref<NimbusOAuth>&, const std::vector<std::string>&) { return true; }
    virtual bool nimbusNeedPerformReAuth(const Ref<NimbusOAuth>&) { return true; }
    virtual void nimbusDidUpdate(const Ref<NimbusOAuth>&) {}
    // 1 failed, 2 cancelled, 3 no network.
    virtual void nimbusFailedUpdate(std::int32_t /*reason*/) {}

    virtual void getUserInfoResponse(const Ref<APIResponse>&) {}
    virtual void getListAlbumResponse(const Ref<APIResponse>&) {}
    virtual void getListPhotoResponse(const Ref<APIResponse>&) {}
    virtual void checkPageFansResponse(const Ref<APIResponse>&) {}
    virtual void addShareResponse(const Ref<APIResponse>&) {}
    virtual void addAlbumResponse(const Ref<APIResponse>&) {}
    virtual void uploadPicResponse(const Ref<APIResponse>&) {}
    virtual void addOneBlogResponse(const Ref<APIResponse>&) {}
    virtual void addTopicResponse(const Ref<APIResponse>&) {}
    virtual void setUserHeadpicResponse(const Ref<APIResponse>&) {}
    virtual void getVipInfoResponse(const Ref<APIResponse>&) {}
    virtual void getVipRichInfoResponse(const Ref<APIResponse>&) {}
    virtual void sendStoryResponse(const Ref<APIResponse>&) {}
    virtual void responseDidReceived(const Ref<APIResponse>&, const std::string& /*message*/) {}
    virtual void nimbusOAuthDidSendBodyData(const Ref<NimbusOAuth>&, std::int64_t /*bytesWritten*/,
                                            std::int64_t /*totalBytesWritten*/, std::int64_t /*totalBytesExpected*/,
                                            const Value& /*userData*/) {}
    virtual void nimbusOAuthDoCloseViewController(const Ref<NimbusOAuth>&, const Ref<UIViewController>&) {}
};
