#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"

#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

namespace {

struct Registry {
    std::string scheme;
    WeakRef<NimbusSessionDelegate> sessionDelegate;
    WeakRef<NimbusOAuth> session;
};

Registry& registry() {
    static Registry shared;
    return shared;
}

}  // namespace

bool OpenApi::registerApp(const std::string& appId) {
    registry().scheme = "nimbus" + appId;
    return true;
}

bool OpenApi::registerApp(const std::string& appId, const Ref<NimbusSessionDelegate>& delegate,
                          const Ref<NimbusOAuth>& session) {
    registry().session = session;
    registry().sessionDelegate = delegate;
    return registerApp(appId);
}

void OpenApi::unRegisterApp(const NimbusSessionDelegate* delegate, const NimbusOAuth* session) {
    unRegisterAppSessionDelegate(delegate);
    if (session && registry().session.lock().get() == session) registry().session.reset();
}

void OpenApi::unRegisterAppSessionDelegate(const NimbusSessionDelegate* delegate) {
    if (delegate && registry().sessionDelegate.lock().get() == delegate) registry().sessionDelegate.reset();
}

std::string OpenApi::registeredScheme() { return registry().scheme; }

Ref<NimbusSessionDelegate> OpenApi::registeredSessionDelegate() { return registry().sessionDelegate.lock(); }

Ref<NimbusOAuth> OpenApi::registeredSession() { return registry().session.lock(); }

bool OpenApi::handleOpenURL(const Ref<NSURL>& url) {
    if (!url) return false;
    NSLog("handleOpenURL:url=" + url->absoluteString());
    auto session = registeredSession();
    return session && session->handleOpenURL(url);
}
