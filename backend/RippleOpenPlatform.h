#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "backend/RecentRequests.h"

namespace backend {

class LoopbackIdentity;
class LoopbackTLSServer;
class HeldAnswer;
class HttpServer;
struct HttpRequest;
struct HttpResponse;

// The stand-in for the Ripple open platform's web services, served over TLS
// on 127.0.0.1 (LoopbackTLSServer); the kit is pointed at it with
// RippleOpenPlatformHosts::setHosts(host(), host(), certificateFile()).
//
// QR-code login: "/connect/sdk/qrconnect" opens a login and answers its
// `uuid` and the PNG of a QR code holding the login's address (base64); the
// long poll "/connect/l/qrconnect?uuid=&last=" answers the login's state
// code, holding the request while that code equals `last` (a held poll
// costs no thread: one keeper answers them all when a login changes or
// their time runs out). A phone that
// scans the code visits the address, "/connect/confirm?uuid=<uuid>", whose
// page confirms ("action=allow") or refuses ("action=deny"); "action=expire"
// ends a login as its time running out would.
//
// Web authorisation: "/connect/mobilecheck" is the page that sends the user
// back to the app on "<appid>://wapoauth?ticket=<ticket>", and
// "/connect/smsauthorize" the page whose links answer the app on its
// "<appid>://oauth" redirect with a code or "authdeny".
class RippleOpenPlatform {
public:
    struct Options {
        // How long a long poll is held while nothing changes.
        double longPollSeconds = 20;
        // A login not confirmed within this time expires.
        double loginLifetimeSeconds = 300;
        // An ended login (confirmed, refused, expired) answers its polls
        // this long, then it is forgotten (its polls answer 500).
        double endedLoginSeconds = 60;
    };
    // The logins and the mobile check's tickets kept at once: opening more
    // forgets the oldest. A ticket serves once, within a login's lifetime.
    static constexpr std::size_t kKeptLogins = 256;
    static constexpr std::size_t kKeptTickets = 256;
    // The state codes the long poll answers (`rp_errcode`).
    enum LoginState : int {
        kWaiting = 401,
        kExpired = 402,
        kRefused = 403,
        kScanned = 404,
        kConfirmed = 405,
        kNothingNew = 408,
        kUnknownLogin = 500,
    };
    struct ReceivedRequest {
        std::string path;
        std::map<std::string, std::string> params;  // decoded
    };

    // Nothing when the server cannot start. Presents `identity`, or one of
    // its own.
    static std::unique_ptr<RippleOpenPlatform> start();
    static std::unique_ptr<RippleOpenPlatform> start(Options options,
                                                     std::shared_ptr<const LoopbackIdentity> identity = nullptr);
    ~RippleOpenPlatform();
    RippleOpenPlatform(const RippleOpenPlatform&) = delete;
    RippleOpenPlatform& operator=(const RippleOpenPlatform&) = delete;

    // "127.0.0.1:<port>": both hosts of the kit's setting.
    std::string host() const;
    const std::string& certificateFile() const;
    // Wakes the held polls, stops serving; safe to call twice.
    void stop();

    // What a login's QR code holds.
    std::string loginAddress(const std::string& uuid) const;
    // The logins still waiting for a scan or a confirmation, oldest first.
    std::vector<std::string> pendingLogins() const;
    // The newest requests served (RecentRequests: 256 at most, within their
    // bytes; texts cut after 4 KiB, fields within a record's bytes), in order.
    std::vector<ReceivedRequest> receivedRequests() const;
    // The logins and tickets held (ended ones until they are forgotten).
    std::size_t heldLogins() const;
    std::size_t heldTickets() const;
    // How many times the keeper has looked over the held polls: once a poll
    // is held, a login changes or a hold or lifetime ends, so the count
    // tells a keeper that sleeps from one that spins.
    std::size_t keeperRounds() const;

private:
    struct Login {
        std::string appId;
        int state = kWaiting;
        std::string code;
        std::chrono::steady_clock::time_point expiry;
        // When it was confirmed, refused or expired.
        std::optional<std::chrono::steady_clock::time_point> ended;
        long long openedOrder = 0;
    };
    struct WebTicket {
        std::string appId;
        std::string uid;
        std::chrono::steady_clock::time_point expiry;
    };

    explicit RippleOpenPlatform(Options options);
    struct HeldPoll {
        std::string uuid;
        long last = 0;
        std::chrono::steady_clock::time_point deadline;
        std::shared_ptr<HeldAnswer> answer;
    };

    void installRoutes(HttpServer& server);
    void openLogin(const HttpRequest& request, HttpResponse& response);
    void pollLogin(const HttpRequest& request, std::shared_ptr<HeldAnswer> answer);
    void phoneVisit(const HttpRequest& request, HttpResponse& response);
    void mobileCheckPage(const HttpRequest& request, HttpResponse& response);
    void smsAuthorizePage(const HttpRequest& request, HttpResponse& response);
    // The poll's answer when its login's state is not `last` any more (or
    // there is no such login); nothing while it is. Under `mutex_`.
    bool pollAnswer(const std::string& uuid, long last, nlohmann::json& answer) const;
    // Answers the held polls whose login changed or whose time ran out,
    // waiting for the next change or end of time, until stopped.
    void keepPolls();
    // Still waiting for a scan or a confirmation.
    static bool isOpen(int state);
    // The login's state code, an open login whose time has run out counted
    // as expired.
    static int currentState(const Login& login);
    // Ends the login with `state` (confirmed, refused, expired) now.
    static void endLogin(Login& login, int state);
    // When the login ended (or its time ran out), if it has.
    static std::optional<std::chrono::steady_clock::time_point> endOf(const Login& login);
    // Forgets the logins ended long enough ago and, past kKeptLogins, the
    // oldest; the same for tickets past their time or kKeptTickets. Under
    // `mutex_`.
    void forgetEndedLogins();
    void forgetOldTickets();

    const Options options_;
    std::unique_ptr<LoopbackTLSServer> server_;
    mutable std::mutex mutex_;  // guards the fields below
    std::condition_variable changed_;
    bool stopping_ = false;
    std::vector<HeldPoll> heldPolls_;
    std::thread pollKeeper_;
    std::size_t keeperRounds_ = 0;
    long long loginsOpened_ = 0;
    std::map<std::string, Login> logins_;
    std::map<std::string, WebTicket> tickets_;
    RecentRequests<ReceivedRequest> received_;
};

}  // namespace backend
