#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/LoopbackHTTPServer.h"

// A relay in front of a back end on loopback: it forwards every GET and POST,
// whatever its path, to the back end's port and records it, so a test sees what was sent as
// well as what the back end did with it. A test can answer chosen requests
// in its own way, or hold them back (a slow answer, to be let go when the
// test says) while the others pass: before the back end reads them, or
// after (an answer read now that arrives late, older than what the back end
// does meanwhile).
class HoldingRelay {
public:
    // A request's query and form fields together ("ac", "p", "uid"...), and
    // its path under ":path".
    using Fields = std::map<std::string, std::string>;
    using Match = std::function<bool(const Fields&)>;
    // An answer that is an HTTP failure (status 500, no body).
    static constexpr const char* kHTTPFailure = "HTTP 500";
    // The back end acts on the request, then the connection closes before
    // its answer is through (the client has lost it).
    static constexpr const char* kLostAnswer = "lost answer";

    explicit HoldingRelay(int backendPort);
    // Lets every held request go before the server stops.
    ~HoldingRelay();
    HoldingRelay(const HoldingRelay&) = delete;
    HoldingRelay& operator=(const HoldingRelay&) = delete;

    std::string baseURL() const { return server_.baseURL(); }

    // Requests of action `ac`; of action `ac` whose field `key` is `value`
    // (a field not sent counts as ""); of action `ac` asking for page `p`
    // (first pages that send no "p" are page "").
    static Match action(std::string ac);
    static Match field(std::string ac, std::string key, std::string value);
    static Match page(std::string ac, std::string p) { return field(std::move(ac), "p", std::move(p)); }
    // Requests for any path under `prefix` ("/static/": the served pictures).
    static Match pathUnder(std::string prefix);

    // Answers the matching requests with `body` (kHTTPFailure: an HTTP
    // failure; kLostAnswer: the back end's answer, lost) instead of the back
    // end; a later script comes first.
    void script(Match match, std::string body);
    void script(const std::string& ac, std::string body) { script(action(ac), std::move(body)); }
    void unscript();
    // Holds the matching requests back until release() (or the relay's end).
    void hold(Match match);
    void hold(const std::string& ac) { hold(action(ac)); }
    // Hands the matching requests on at once but holds their answers back
    // until release() (or the relay's end); only the next `count` matching
    // requests' answers, when given.
    void holdAnswers(Match match, std::optional<std::size_t> count = std::nullopt);
    // Lets every held request and answer go on and holds no more.
    void release();
    // How many requests or answers are being held now.
    std::size_t held() const;

    // The fields of the requests of action `ac`, in arrival order.
    std::vector<Fields> sent(const std::string& ac) const;

private:
    static Fields fieldsOf(const httplib::Request& request);
    void relay(const httplib::Request& request, httplib::Response& response, int backendPort);
    // Answers the request as the back end does.
    static void forward(const httplib::Request& request, httplib::Response& response, int backendPort);
    // What to hold back: the matching requests, and how many more of them
    // (none: every one).
    struct Hold {
        Match match;
        std::optional<std::size_t> remaining;
    };
    // When one of `holds` matches the fields, counts it and waits, under
    // `lock`, until release().
    void waitWhileHeld(std::unique_lock<std::mutex>& lock, std::vector<Hold>& holds, const Fields& fields);

    mutable std::mutex mutex_;
    std::condition_variable released_;
    std::vector<std::pair<Match, std::string>> scripts_;
    std::vector<Hold> holds_;
    std::vector<Hold> answerHolds_;
    // Raised by every release(): what a held request waits for.
    std::size_t releases_ = 0;
    std::size_t held_ = 0;
    std::vector<Fields> sent_;
    // Declared last: stopped first, while the state above still lives.
    LoopbackHTTPServer server_;
};
