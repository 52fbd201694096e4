#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

class NimbusOAuth;

// The Pal kit's process-wide login registry: the URL scheme its replies
// arrive on ("nimbus" + the application identifier), the session object that
// takes the app's incoming URLs, and the session delegate. References are not
// owned. Main thread only.
class OpenApi {
public:
    OpenApi() = delete;

    // Sets the registered scheme; always true.
    static bool registerApp(const std::string& appId);
    // The same, and registers the session object and its delegate.
    static bool registerApp(const std::string& appId, const Ref<NimbusSessionDelegate>& delegate,
                            const Ref<NimbusOAuth>& session);
    // Clears the delegate and the session object where they are the ones given.
    static void unRegisterApp(const NimbusSessionDelegate* delegate, const NimbusOAuth* session);
    static void unRegisterAppSessionDelegate(const NimbusSessionDelegate* delegate);

    // "" until an application registers.
    static std::string registeredScheme();
    static Ref<NimbusSessionDelegate> registeredSessionDelegate();
    static Ref<NimbusOAuth> registeredSession();

    // Logs "handleOpenURL:url=<url>" and hands the URL to the registered
    // session object; false when there is none or it does not take the URL.
    static bool handleOpenURL(const Ref<NSURL>& url);
};
