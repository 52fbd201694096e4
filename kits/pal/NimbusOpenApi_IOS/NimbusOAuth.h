#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

// The Pal connect kit's login session object: made once by the host app
// with its Pal application identifier, it holds the session (in memory
// only) and takes the URLs the app is opened with. A session delegate, when
// given, is registered with the kit's login registry; without one nothing is
// registered for login replies.
class APIBase;

class NimbusOAuth : public NSObject {
public:
    // The redirect address a new session starts with.
    static constexpr const char* kPalWebSiteHost = NimbusConnectHosts::kPalWebSiteHost;

    NimbusOAuth(std::optional<std::string> appId, const Ref<NimbusSessionDelegate>& delegate);
    ~NimbusOAuth() override;

    // The URL callbacks' entry: whether the kit recognised the URL.
    static bool HandleOpenURL(const Ref<NSURL>& url);
    // A URL handed on by the login registry. The kit's web login and its
    // older app-to-app layer take URLs here; neither is part of this build,
    // so no URL is taken.
    bool handleOpenURL(const Ref<NSURL>& url);

    // The decimal identifier after conversion; nothing when it was refused.
    const std::optional<std::string>& appId() const { return appId_; }
    // Held in memory only: a new process starts logged out.
    const std::optional<std::string>& accessToken() const { return accessToken_; }
    void setAccessToken(std::optional<std::string> token) { accessToken_ = std::move(token); }
    const std::string& redirectURI() const { return redirectURI_; }
    void setRedirectURI(std::string address) { redirectURI_ = std::move(address); }
    Ref<NimbusSessionDelegate> sessionDelegate() const { return sessionDelegate_.lock(); }
    // A delegate registers the session with the login registry; null takes
    // the old delegate out of it.
    void setSessionDelegate(const Ref<NimbusSessionDelegate>& delegate);

    // Web-API calls in flight, by their sequence number ("%d").
    const std::map<std::string, Ref<APIBase>>& apiRequests() const { return apiRequests_; }
    void deleteAPIRequestBySeq(const std::string& seq);
    // Cancels and forgets the call kept under a request object's key.
    void cancelWithRequestKey(const Value& requestKey);
    // Asked when an answer says the call needs more permissions. The
    // incremental authorisation is not built: the answer goes on to its
    // caller.
    bool nimbusNeedPerformIncrAuth(const Value& delegate, const std::vector<std::string>& permissions);

protected:
    void didCreate() override;

private:
    std::optional<std::string> requestedAppId_;
    std::optional<std::string> appId_;
    std::map<std::string, Ref<APIBase>> apiRequests_;
    std::optional<std::string> accessToken_;
    std::string redirectURI_ = kPalWebSiteHost;
    WeakRef<NimbusSessionDelegate> sessionDelegate_;
    Ref<NimbusSessionDelegate> initialDelegate_;
};
