#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiMessages.h"
#include "kits/pal/PalApi/PalPluginMetadata.h"
#include "peers/PeerApp.h"

// One of the Pal family's apps, simulated: Pal, PalWork or PalSpace (the
// newest, version 5, unless schemes are taken away). It takes
// the URL schemes the real app answers (a test can take one away before
// installing) and does what the real app would with what the host sends:
// - a share ("mpalapi://share/to_fri?..", "timapi://..."): reads the query
//   (Base64 texts) and the share's record from the general pasteboard or the
//   named board "com.nimbus.mpal.api.apiLargeData", keeps both, and answers
//   "<callback_name>://response_from_pal?error=<code>";
// - a login request ("mpalOpensdkSSoLogin://SSoLogin/<host scheme>/<board>?
//   generalpastboard=0|1", PalWork "timOpensdkSSoLogin://..."): reads the
//   request off the board named (or the general pasteboard under that
//   type), answers with a token (or a cancel, when its answer error is
//   "-4") in the same place and opens "<host scheme>://psapp/pal/0?
//   generalpastboard=..";
// - a legacy response ("nimbusapi.palspace.reqContent://kTecentReqContent/
//   kNimbusRespContent?..", PalSpace): reads the archive off the general
//   pasteboard;
// - a PalSpace command ("mpalspaceopensdkapi://psapp/<host scheme>/<board>/
//   <command>?generalpastboard=0|1"): reads the command's fields off the
//   board, keeps them, and answers with an archived response (cancelled
//   when its answer error is "-4") under "response_data" in the same place,
//   opening "<host scheme>://psapp/palspace/<command>?generalpastboard=..";
// - anything else (probes, chats, cards, wallet...): notes the URL.
// It can also send the host a legacy request, or ask it to show a share.
class SimulatedPalApp : public PeerApp {
public:
    enum class Kind { Pal, PalWork, PalSpace };
    // Its own bundle identifier: the legacy pasteboard type is its MD5.
    static constexpr const char* kPalSpaceBundleIdentifier = "com.pal.palspace";

    explicit SimulatedPalApp(Kind kind);

    std::string name() const override;
    void install() override;
    void uninstall() override;

    Kind kind() const { return kind_; }
    const std::vector<std::string>& schemes() const { return schemes_; }
    // Takes a scheme out of those installed next (letter case ignored).
    void removeScheme(const std::string& scheme);
    // What a login it grants carries.
    static constexpr const char* kSignOnOpenId = "pal-sso-open-id";
    static constexpr const char* kSignOnToken = "pal-sso-token";
    static constexpr const char* kSignOnExpiresIn = "7776000";
    // The error code its share answers carry ("0" success, "-4" cancelled);
    // "-4" also cancels the logins it is asked for.
    void setAnswerError(std::string error) { answerError_ = std::move(error); }

    // The apps' registrations on the board "com.nimbus.mpal.api.registerAppPlugin".
    static std::vector<Ref<PalPluginMetadata>> registeredPlugins();

    // Asks the host to show what a share it received carried: opens
    // "<callback_name>://request_from_pal/view?<the share's query>", the
    // share's record staying where it lies. False without a callback name.
    bool askHostToView(const PeerDelivery& share);

    // Puts the request on the general pasteboard and opens the host on its
    // legacy scheme. False when it cannot be archived.
    bool sendLegacyRequest(const std::string& hostScheme, const Ref<NimbusApiReq>& request);

private:
    // "com.pal.<name>", the source application of what it opens in the host.
    std::string bundleIdentifier() const;
    void open(const Ref<NSURL>& url);
    void readShare(const std::string& address, const Ref<NSURL>& url);
    void readLegacyResponse(const std::string& address, const Ref<NSURL>& url);
    void answerSignOn(const std::string& address, const Ref<NSURL>& url);
    void answerPalSpaceCommand(const std::string& address, const Ref<NSURL>& url);

    Kind kind_;
    std::vector<std::string> schemes_;
    std::vector<std::string> installed_;
    std::string answerError_ = "0";
};
