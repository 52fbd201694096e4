#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusLoginDelegate.h"
#include "uikit/UIViewController.h"

class NimbusOAuth;

// The rotation questions of the kit's login page, passed on to the host
// app. Nothing means "not answered": the page then rotates freely.
class NimbusWebViewDelegate {
public:
    virtual ~NimbusWebViewDelegate() = default;
    virtual std::optional<bool> nimbusWebViewShouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) {
        return std::nullopt;
    }
    virtual std::optional<UIInterfaceOrientationMask> nimbusWebViewSupportedInterfaceOrientationsWithWebkit() {
        return std::nullopt;
    }
    virtual std::optional<bool> nimbusWebViewShouldAutorotateWithWebkit() { return std::nullopt; }
};

// The session delegate's optional callbacks that the kit asks about before
// it calls them. Without one, a logout goes to the delegate the logout was
// given, the renewal questions are not asked, a reply goes to the general
// callback and an Open API answer is not told.
enum class NimbusSessionCallback {
    nimbusDidLogout,
    nimbusDidUpdate,
    getUserInfoResponse,
    getListAlbumResponse,
    getListPhotoResponse,
    checkPageFansResponse,
    addShareResponse,
    addAlbumResponse,
    uploadPicResponse,
    addOneBlogResponse,
    addTopicResponse,
    setUserHeadpicResponse,
    getVipInfoResponse,
    getVipRichInfoResponse,
    sendStoryResponse,
    responseDidReceived,
};

// What the Pal kit tells the host app about its session: the login outcomes,
// renewals and logout, the answer of every Open API call, the requests of
// the legacy app-to-app layer and the login page's rotation. Every callback
// is optional; the defaults do nothing, and a question left unanswered
// (nothing) lets the kit go on as if the answer were YES.
class NimbusSessionDelegate : public NimbusLoginDelegate,
                              public NimbusApiInterfaceDelegate,
                              public NimbusWebViewDelegate {
public:
    // Whether this delegate provides the callback: the kit calls the
    // callbacks listed in NimbusSessionCallback only when it does, and a
    // delegate that overrides one of them says so here. None by default.
    virtual bool answers(NimbusSessionCallback) const { return false; }

    // Calls the answer callback `callback` when this delegate provides it;
    // says whether it did.
    bool respond(NimbusSessionCallback callback, const Ref<APIResponse>& response);
    // A reply of a Pal app or of a dialog page: to its own callback when the
    // delegate provides it, else to responseDidReceived with `message` when
    // it provides that.
    void receiveReply(std::optional<NimbusSessionCallback> own, const Ref<APIResponse>& response,
                      const std::string& message);
    // The answer callback named `name` ("sendStoryResponse"), if there is one.
    static std::optional<NimbusSessionCallback> responseCallbackNamed(const std::string& name);

    virtual void nimbusDidLogout() {}
    // Whether a call refused for want of `permissions` may widen the login.
    // Asked only of a delegate that hears of renewals (provides
    // nimbusDidUpdate); for any other the answer is YES.
    virtual std::optional<bool> nimbusNeedPerformIncrAuth(const Ref<NimbusOAuth>&, const std::vector<std::string>&) {
        return std::nullopt;
    }
    virtual std::optional<bool> nimbusNeedPerformReAuth(const Ref<NimbusOAuth>&) { return std::nullopt; }
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
