#pragma once

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <httplib.h>
#include <nlohmann/json.hpp>

#include "backend/LocalBackend.h"

// Talks real HTTP to a local back end the way the app does, signing on its
// own (independently of the back end's code) with the app's key.
class BackendClient {
public:
    using Fields = std::multimap<std::string, std::string>;
    struct Answer {
        int status = 0;  // 0 when the transport failed
        std::string body;
        nlohmann::json json;  // discarded (is_discarded) when the body is not JSON
    };

    explicit BackendClient(int port);

    static std::string md5(const std::string& text);
    static std::string timeText();
    // A time for one request, a different second at each call, all within
    // the window the back end accepts: two requests with equal fields are
    // then two requests, as the app's are a second or more apart, and not
    // one request sent again (which an action that changes state refuses).
    static std::string requestTimeText();
    // The sign of the app's POST client: MD5(uid + t + key).
    static std::string promoterSign(const std::string& uid, const std::string& t);

    // A form-encoded POST to "/" + query (for example "?ct=app&ac=cps").
    Answer post(const std::string& query, const Fields& fields);
    // A POST signed as the app's POST client signs, for promoter `uid`, with
    // the action's own fields beside `uid`, `t` and `sign`.
    Answer postSigned(const std::string& query, const Fields& extra = {}, const std::string& uid = "1");
    // Fields signed in their order.
    using SignedFields = std::vector<std::pair<std::string, std::string>>;
    // A GET of "/" with the fields as the query.
    Answer get(const Fields& query);
    // A GET as the classic screens send it: `ios`, `ct` "app", `ac`, `t`,
    // `uid` and `sign` = MD5(uid + the signed values in order + t + key),
    // then the signed fields and the unsigned `extra` ones.
    Answer classicGet(const std::string& ac, const SignedFields& signedFields = {},
                      const Fields& extra = {}, const std::string& uid = "1");
    // The sign-in action as the sign-in screen sends it.
    Answer login(const std::string& username, const std::string& password);
    // A raw request, for malformed input.
    Answer raw(const std::string& method, const std::string& path, const std::string& body,
               const std::string& contentType, const httplib::Headers& headers = {});

private:
    static Answer read(const httplib::Result& result);
    httplib::Client client_;
};

// Starts an in-memory back end on a free loopback port for each test.
class BackendTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    BackendClient& client() { return *client_; }
    // The payment provider's notice to `notify` (an absolute notify address
    // of this back end) that `amount` was paid, signed under `secret` (the
    // provider's by default).
    BackendClient::Answer paymentNotice(const std::string& notify, const std::string& amount,
                                        std::optional<std::string> secret = std::nullopt);
    // The notify address and the amount of the page's Ripple Pay link for the
    // order; empty when the page has none.
    static std::pair<std::string, std::string> paymentLink(const std::string& page, const std::string& oid);

    std::unique_ptr<backend::LocalBackend> backend_;
    std::unique_ptr<BackendClient> client_;
};
