#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

class NimbusOAuth;

// The Pal kit's process-wide login registry: the URL scheme its replies
// arrive on ("nimbus" + the application identifier), the session object that
// takes the app's incoming URLs, the session delegate, the delegate waiting
// for the next single sign-on reply and the authorisation state. It also
// decides which part of the kit gets a URL the app is opened with.
// References are not owned. Main thread only.
class OpenApi {
public:
    OpenApi() = delete;

    // Authorisation states: idle, a single sign-on request is out, a web
    // login is out.
    static constexpr std::int32_t kStateIdle = 0;
    static constexpr std::int32_t kStateSSO = 1;
    static constexpr std::int32_t kStateWebLogin = 2;
    // The pasteboard type of single sign-on requests and replies.
    static constexpr const char* kPasteboardType = "psappDataType";
    static constexpr const char* kReplyHost = "psapp";

    // Sets the registered scheme; always true.
    static bool registerApp(const std::string& appId);
    // The same, and registers the session object, and the delegate as both
    // the session delegate and the pending login delegate.
    static bool registerApp(const std::string& appId, const Ref<NimbusSessionDelegate>& delegate,
                            const Ref<NimbusOAuth>& session);
    // Clears the delegate and the session object where they are the ones
    // given, and the pending login delegate when it is either of them.
    static void unRegisterApp(const NimbusSessionDelegate* delegate, const NimbusOAuth* session);
    static void unRegisterAppSessionDelegate(const NimbusSessionDelegate* delegate);
    // Forgets session object, session delegate, pending login delegate and
    // the PalSpace command waiting for its answer.
    static void clearParam();

    // "" until an application registers.
    static std::string registeredScheme();
    static Ref<NimbusSessionDelegate> registeredSessionDelegate();
    static Ref<NimbusOAuth> registeredSession();
    static Ref<NimbusLoginDelegate> pendingLoginDelegate();
    static void setPendingLoginDelegate(const Ref<NimbusLoginDelegate>& delegate);

    static void setNimbusAuthorizeState(std::int32_t state);
    static std::int32_t nimbusAuhorizeState();

    // The legacy layer first, then replies on the registered scheme with the
    // host "psapp", then the registered session object.
    static bool handleOpenURL(const Ref<NSURL>& url);
    static bool canHandleOpenURL(const Ref<NSURL>& url);
    // A reply "<scheme>://psapp/<any>/<type>?generalpastboard=0|1": type 0
    // a login, 1 a PalSpace story, other numbers ignored, names a response
    // of that name. Other paths go to the session object.
    static bool processMessage(const Ref<NSURL>& url);
    // A reply counts only while its request is out, and ends it: a login
    // reply while a sign-on is out, a share (type 1) or named reply while
    // the PalSpace command of that name is the one sent last. A reply that
    // could not be read (nothing) is a failed login, or a failed answer
    // (retCode 1, detail 7).
    static void processMessage_Auth(const std::optional<Dictionary>& reply);
    static void processMessage_Share(const std::optional<Dictionary>& reply);
    static void processMessage_Other(const std::optional<Dictionary>& reply, const std::string& msgType);

    // Installed app versions, by the URL schemes they answer: Pal 0 to 6,
    // PalSpace 0 to 5; PalWork is taken as present.
    static int palVersion();
    static int palspaceVersion();
    static int timVersion() { return 1; }
    // Pal takes its requests on the general pasteboard.
    static bool isSupportGeneralPastboard();

    static bool isPalSpaceInstalled();
    static bool isPalSpaceSupportGeneralPastboard();
    // Whether the system can open the URL.
    static bool canParseURL(const Ref<NSURL>& url);
    static std::string getApiVersion() { return "1.1"; }
    static std::string getSupportingMaxApiVersion() { return "10.0"; }
    static std::string getPalSpaceInstallUrl() { return ""; }
    // A command to the PalSpace app (version 3 or later, with the host's
    // "nimbus" scheme declared): the dictionary on the general pasteboard
    // when PalSpace reads it there, else on a new named one, then
    // "mpalspaceopensdkapi://psapp/<scheme>/<board>/<command>?generalpastboard=..".
    // A command opened waits for its answer, in place of any sent before.
    static bool openPalSpaceWithCommandStr(const std::string& command, const Dictionary& data);
    static bool openPalSpaceWithCommand(std::uint32_t command, const Dictionary& data);
    static bool sendCommandToPalSpace(const std::string& command, const Dictionary& params) {
        return openPalSpaceWithCommandStr(command, params);
    }
    static bool shareWithPalSpaceWithData(const Dictionary& data) { return openPalSpaceWithCommand(1, data); }
    // Opens the PalSpace app, when installed, at
    // "mpalspaceopensdk://psapp/<scheme>/".
    static bool openPalSpace();

    // Targets of a single sign-on request.
    static constexpr int kCallPal = 1;
    static constexpr int kCallPalWork = 2;
    // Asks the Pal (1) or PalWork (2) app for a login: the request goes on a
    // pasteboard and the app is opened; on YES the delegate waits for the
    // reply. Errors are recorded as the last login error.
    static bool authorizeWithPermission(const std::vector<std::string>& permissions,
                                        const Ref<NimbusLoginDelegate>& delegate, int callApp);
    // Command 0 (login) to the target app; whether the app was opened.
    static bool openPalWithCommand(std::uint32_t command, const Dictionary& data, int callApp);
    // The dictionary archived under "psappDataType" on the named pasteboard
    // (a new uniquely named one for nothing), which becomes the reply board.
    static std::string saveDictionaryToPasteBoard(const Dictionary& data, const std::optional<std::string>& name);
    // The same on the general pasteboard under getGeneralPastboardNameKey().
    static std::string saveDictionaryByGeneralPastboard(const Dictionary& data);

    // Where replies are read from: a named pasteboard, or the general
    // pasteboard under "com.nimbus." + the registered scheme.
    static std::optional<std::string> replyPasteboardName();
    static void setReplyPasteboardName(std::optional<std::string> name);
    static std::string getGeneralPastboardNameKey();
    // The named pasteboard's archived dictionary; nothing when any part is
    // missing. The pasteboard is never created here.
    static std::optional<Dictionary> getDictionaryFromPasteBoard(const std::optional<std::string>& name);
    // The general pasteboard's archived dictionary of that type, which is
    // then emptied.
    static std::optional<Dictionary> getDictionaryFromGeneralPasteBoard(const std::optional<std::string>& type);
};
