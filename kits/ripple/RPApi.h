#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/RPApiDelegate.h"
#include "kits/ripple/RPLogUtil.h"

// The Ripple messaging kit's facade: the host app registers once with its
// Ripple application identifier, then hands it every URL the app is opened
// with. Class methods over process-wide state, main thread only.
class RPApi {
public:
    RPApi() = delete;

    // Registers with analytics on.
    static bool registerApp(const std::optional<std::string>& appId);
    // Stores `appId` as the registered identifier and answers true; refuses
    // (false, an error line in the log, state unchanged) a missing identifier
    // or a host bundle that claims the "ripple" scheme itself. The identifier
    // is otherwise taken as it is, the empty one included. There is no
    // analytics library in this kit yet, so `enableUTA` starts nothing.
    static bool registerApp(const std::optional<std::string>& appId, bool enableUTA);
    // The identifier of the last successful registration.
    static std::optional<std::string> registeredAppId();

    // Recognises the Ripple app's answers on the host's own scheme and
    // delivers them to `delegate` (onResp) before answering true. Without a
    // delegate, a registration or a matching answer: false.
    static bool handleOpenURL(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    // A payment answer "<appId>://pay/..." (something must follow the
    // prefix): a PayResp from "returnKey", "ret" (its integer value, 0 when
    // missing) and "notifyStr".
    static bool handlePayOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);

    // Hands a request to the Ripple app; whether it was handed over. A null
    // request answers false; so does a send before a registration (no or an
    // empty identifier), after the error line "register appid is nil".
    // Carrying a request over (the URL-only requests' addresses, and the
    // message packed onto the pasteboard behind a "sendreq" address for the
    // others, shares included) is not part of this build yet: every
    // registered request also answers false and nothing leaves the app. The
    // senders go after the registration check.
    static bool sendReq(const Ref<BaseReq>& request);

    // The query's "name=value" pieces, split at "&" and "=" and taken as they
    // stand (no unescaping): a piece without "=" adds nothing, text after a
    // second "=" is dropped, a later name wins. Empty for no query.
    static Dictionary parseURLParams(const std::optional<std::string>& query);

    // The host's log receiver for the kit's lines.
    static void startLogByLevel(std::int64_t level, RPLogUtil::LogBlock block);
    static void stopLog();

private:
    // Whether `url` begins with the registered identifier followed by
    // `suffix` and, when `longer`, goes on after that.
    static bool matchesAnswerPrefix(const Ref<NSURL>& url, const std::string& suffix, bool longer);
};
