#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"

NimbusOAuth::NimbusOAuth(std::optional<std::string> appId, const Ref<NimbusSessionDelegate>& delegate)
    : appId_(std::move(appId)), initialDelegate_(delegate) {}

void NimbusOAuth::didCreate() {
    NSObject::didCreate();
    Ref<NimbusSessionDelegate> delegate = std::move(initialDelegate_);
    setSessionDelegate(delegate);
}

NimbusOAuth::~NimbusOAuth() { OpenApi::unRegisterApp(sessionDelegate_.lock().get(), this); }

bool NimbusOAuth::HandleOpenURL(const Ref<NSURL>& url) { return OpenApi::handleOpenURL(url); }

bool NimbusOAuth::handleOpenURL(const Ref<NSURL>&) { return false; }

void NimbusOAuth::setSessionDelegate(const Ref<NimbusSessionDelegate>& delegate) {
    if (!delegate) {
        OpenApi::unRegisterAppSessionDelegate(sessionDelegate_.lock().get());
        sessionDelegate_.reset();
        return;
    }
    sessionDelegate_ = delegate;
    OpenApi::registerApp(appId_.value_or(""), delegate, self<NimbusOAuth>());
}
