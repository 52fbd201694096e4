#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/PalApi/PalApiMessage.h"

class PalApiInterfaceDelegate;

// The share layer's core, class methods only, main thread only: the
// registrations that fill the shared state, the probes of the Pal and
// PalWork apps, and the dispatcher that turns a message into a share URL
// and opens it.
//
// Result codes of sendMessage: 0 sent; -1 the system did not open the URL;
// 1 / 11 Pal / PalWork lacks the share interface (or is missing for the
// special objects); 2 / 12 Pal / PalWork lacks what the content needs;
// 3 bad message type; 4 no object; 5 bad object; 6 no URL scheme
// registered; 7 deferred to a preview download; 8 data line unsupported;
// 10000 / 10001 a text / picture refused by PalSpace; 10002 / 10004 PalSpace
// media unsupported by Pal / PalWork.
class PalApi {
public:
    PalApi() = delete;

    static constexpr const char* kPalInstallURL = "https://apps.apple.example/cn/app/id444934666";
    static constexpr const char* kPalWorkInstallURL = "https://apps.apple.example/cn/app/id1175213887";
    // The error pages' paths on the Pal connect services' host.
    static constexpr const char* kFavoriteErrorPage = "/favorite/favorite_error.html";
    static constexpr const char* kShareErrorPage = "/favorite/share_error.html";

    static void registerPalConnectAppId(std::optional<std::string> appId);
    static void registerPalConnectOpenId(std::optional<std::string> openId);
    static void registerPalUin(std::optional<std::string> uin);
    static void registerAccessToken(std::optional<std::string> token);
    // Writes the host app's plug-in record (scheme, bundle identifier,
    // version, display name, up to two icons) to the registration board and
    // makes `scheme` the callback scheme of every share.
    static void registerPluginWithId(const std::string& scheme);

    static bool isPalInstalled();
    static bool isPalWorkInstalled();
    static bool isPalSupportPalSpaceShare();
    static bool isPalSupportPalSpaceMediaShare();
    static bool isPalWorkSupportPalSpaceMediaShare() { return true; }
    static bool isPalSupportApi();
    static bool isPalWorkSupportApi() { return true; }
    static bool isPalSupportApiForWallet();
    static bool isPalWorkSupportApiForWallet() { return true; }
    static bool isPalSupportAddFriend();
    static bool isPalWorkSupportAddFriend() { return true; }
    static bool isPalSupportApiForWPA();
    static bool isPalWorkSupportApiForWPA() { return true; }
    static bool isPalSupportApiForGameConsortiumBindingGroup();
    static bool isPalWorkSupportApiForGameConsortiumBindingGroup() { return true; }
    static bool isPalSupportApiForDataLine();
    static bool isPalWorkSupportApiForDataLine() { return true; }
    static bool isPalSupportPalGroupTribeShare();
    static bool isPalWorkSupportPalGroupTribeShare() { return true; }
    static std::string getPalInstallURL() { return kPalInstallURL; }
    static std::string getPalWorkInstallURL() { return kPalWorkInstallURL; }

    // The checks a link message must pass (lengths, title, address).
    static bool checkPalApiURLMessage(const Ref<PalApiMessage>& message);
    // Shows the favourites or share error page in the kit's web window.
    static void showErrorWithWebView(const Ref<PalApiMessage>& message);

    // A share sent (0) waits for Pal's answer ("response_from_pal") until it
    // comes; a later share takes its place (PalApiDatastore::takeShareAnswer).
    static std::int32_t sendMessage(const Ref<PalApiMessage>& message);
    static std::int32_t sendMessageWpaAndGroupChat(const Ref<PalApiMessage>& message);
    static std::int32_t sendMessageGameConsortiumBindingGroup(const Ref<PalApiMessage>& message);
    static std::int32_t sendMessageJoinGroup(const Ref<PalApiMessage>& message);
    static std::int32_t sendMessagePalNotInstalledOrOld(const Ref<PalApiMessage>&, bool isOld) { return isOld ? 1 : 2; }
    static std::int32_t sendMessagePalWorkNotInstalledOrOld(const Ref<PalApiMessage>&, bool isOld) {
        return isOld ? 11 : 12;
    }

    // The message a URL from Pal carries; null when none.
    static Ref<PalApiMessage> handleOpenURL(const Ref<NSURL>& url);
    static Value getAdItemArray();
    static void getPalUinOnlineStatues(const std::vector<std::string>& uins,
                                       const Ref<PalApiInterfaceDelegate>& delegate);
    static bool openPalApp();
    static bool openPalWorkApp();
    // Opens a group's card: with the number when there is one.
    static bool joinGroup(const std::string& groupUin, const std::string& key);

    static void cgiShareReportWithMessage(const Ref<PalApiMessage>& message, int actType, int reportType,
                                          int callSource);

    // The object whose share URL is being built on this thread, if any.
    static Ref<PalApiObject> currentShareObject();

private:
    // sendMessage's refusals, checks and sending.
    static std::int32_t dispatchMessage(const Ref<PalApiMessage>& message);
};
