// The Ripple open platform's stand-in, spoken to over TLS as the kit and a
// phone would.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include <httplib.h>
#include <nlohmann/json.hpp>

#include "RawTLSClient.h"
#include "backend/RippleOpenPlatform.h"
#include "tests/support/Eventually.h"

namespace {

using Platform = backend::RippleOpenPlatform;

class RippleOpenPlatformTest : public ::testing::Test {
protected:
    void startPlatform(Platform::Options options = {}) {
        platform = Platform::start(options);
        ASSERT_TRUE(platform);
    }
    httplib::Result get(const std::string& target) {
        httplib::SSLClient client("127.0.0.1", std::stoi(platform->host().substr(platform->host().find(':') + 1)));
        client.set_ca_cert_path(platform->certificateFile());
        client.enable_server_certificate_verification(true);
        return waitingForAnswers(client).Get(target);
    }
    nlohmann::json json(const std::string& target) {
        auto answer = get(target);
        return answer ? nlohmann::json::parse(answer->body, nullptr, false) : nlohmann::json();
    }
    std::string openLogin() {
        auto answer = json("/connect/sdk/qrconnect?appid=rpapp&noncestr=n&timestamp=1&scope=snsapi_login&signature=s");
        return answer.value("uuid", "");
    }
    int poll(const std::string& uuid, int last) {
        return json("/connect/l/qrconnect?uuid=" + uuid + "&last=" + std::to_string(last) + "&f=json")
            .value("rp_errcode", 0);
    }
    // The first link of a page.
    static std::string firstLink(const std::string& page) {
        std::smatch found;
        return std::regex_search(page, found, std::regex("href=\"([^\"]*)\"")) ? found[1].str() : "";
    }

    std::unique_ptr<Platform> platform;
};

TEST_F(RippleOpenPlatformTest, HeldPollsAnswerWhenThePhoneActsOrTheServerStops) {
    // Polls held for longer than the test waits: only the phone or the stop can answer them.
    startPlatform({.longPollSeconds = 2 * kGiveUpAfterSeconds});
    auto refused = json("/connect/sdk/qrconnect?appid=rpapp");
    EXPECT_FALSE(refused.contains("uuid"));
    EXPECT_FALSE(refused.contains("qrcode"));
    const std::string uuid = openLogin();
    ASSERT_EQ(uuid.size(), 32u);
    EXPECT_EQ(poll("nobody", 0), Platform::kUnknownLogin);
    EXPECT_EQ(poll(uuid, 0), Platform::kWaiting);
    for (const char* action : {"allow", "deny"})
        EXPECT_EQ(get("/connect/confirm?uuid=" + uuid + "&action=" + action)->status, 409) << action << " needs a scan";

    auto held = std::async(std::launch::async, [&] { return poll(uuid, Platform::kWaiting); });
    EXPECT_EQ(held.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    EXPECT_EQ(get("/connect/confirm?uuid=" + uuid)->status, 200);
    EXPECT_EQ(held.get(), Platform::kScanned);
    EXPECT_EQ(platform->pendingLogins(), std::vector<std::string>{uuid});

    auto stopped = std::async(std::launch::async, [&] { return poll(uuid, Platform::kScanned); });
    EXPECT_EQ(stopped.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    // Stopping ends the held poll, long before its hold would run out.
    platform->stop();
    EXPECT_EQ(stopped.wait_for(kGiveUpAfter), std::future_status::ready);
}

TEST_F(RippleOpenPlatformTest, ALoginExpiresWhenItsTimeRunsOutAndAPollSaysNothingNewAfterItsHold) {
    // While the login lives (longer than the test waits), a poll that finds
    // nothing new is answered so once its hold ends.
    startPlatform({.longPollSeconds = 0.2, .loginLifetimeSeconds = 2 * kGiveUpAfterSeconds});
    const std::string living = openLogin();
    EXPECT_EQ(poll(living, Platform::kWaiting), Platform::kNothingNew);
    EXPECT_EQ(poll(living, Platform::kNothingNew), Platform::kWaiting);

    // A login that lives a moment expires, whenever its polls come.
    startPlatform({.longPollSeconds = 0.2, .loginLifetimeSeconds = 0.2});
    const std::string expiring = openLogin();
    EXPECT_TRUE(eventually([&] { return poll(expiring, Platform::kWaiting) == Platform::kExpired; }));
    EXPECT_TRUE(platform->pendingLogins().empty());
    EXPECT_EQ(get("/connect/confirm?uuid=" + expiring)->status, 409);
}

TEST_F(RippleOpenPlatformTest, APollOfAnExpiredLoginIsHeldQuietlyAndEndedLoginsAreForgotten) {
    startPlatform({.longPollSeconds = 1, .loginLifetimeSeconds = 0.2, .endedLoginSeconds = 0.3});
    const std::string expiring = openLogin();
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    // Held for its whole second while the keeper sleeps: it looks when the
    // poll comes and when the hold ends (a spurious wake-up aside), where
    // one that woke for the lifetime already over would spin all along.
    const std::size_t before = platform->keeperRounds();
    EXPECT_EQ(poll(expiring, Platform::kExpired), Platform::kNothingNew);
    EXPECT_LE(platform->keeperRounds() - before, 4u);

    EXPECT_EQ(poll(expiring, 0), Platform::kExpired);  // until it is forgotten

    // Ended long enough ago: the next login opened forgets it.
    openLogin();
    EXPECT_EQ(poll(expiring, 0), Platform::kUnknownLogin);
    EXPECT_EQ(platform->heldLogins(), 1u);
}

TEST_F(RippleOpenPlatformTest, PagesLinkBackOnlyToTheAppsOwnSchemes) {
    startPlatform();
    for (const char* appId : {"javascript", "data", "rp%3A", "x%0Ajavascript", "nimbus1", "http", "auth", "rp"}) {
        auto refused = get(std::string("/connect/mobilecheck?uid=1&appid=") + appId);
        EXPECT_EQ(refused->status, 400) << appId;
        EXPECT_EQ(refused->body.find("href"), std::string::npos) << refused->body;
    }
    auto sms = get("/connect/smsauthorize?appid=javascript&redirect_uri=javascript%3A%2F%2Foauth%0Aalert(1)"
                   "&response_type=code&uid=1&ticket=t");
    EXPECT_EQ(sms->status, 400);
    EXPECT_EQ(sms->body.find("href"), std::string::npos) << sms->body;
}

TEST_F(RippleOpenPlatformTest, TicketsAndRecordsKeepOnlyTheNewest) {
    startPlatform();
    httplib::SSLClient client("127.0.0.1", std::stoi(platform->host().substr(platform->host().find(':') + 1)));
    client.set_ca_cert_path(platform->certificateFile());
    client.enable_server_certificate_verification(true);
    waitingForAnswers(client).set_keep_alive(true);
    const std::size_t asked = Platform::kKeptTickets + 20;
    const std::string longUid(10'000, '7');
    for (std::size_t i = 0; i < asked; ++i) {
        auto check = client.Get("/connect/mobilecheck?appid=rpapp&uid=" + (i + 1 == asked ? longUid : "1"));
        ASSERT_TRUE(check && check->status == 200);
    }
    EXPECT_EQ(platform->heldTickets(), Platform::kKeptTickets);
    const auto records = platform->receivedRequests();
    ASSERT_EQ(records.size(), backend::RecentRequests<Platform::ReceivedRequest>::kKept);
    EXPECT_EQ(records.back().params.at("uid").size(), backend::kRecordTextBytes);
}

TEST_F(RippleOpenPlatformTest, TheSmsPageNeedsTheMobileCheckTicketOfItsAppAndPageOnce) {
    startPlatform();
    EXPECT_EQ(get("/connect/mobilecheck?appid=rpapp")->status, 400);
    auto check = get("/connect/mobilecheck?appid=rpapp&uid=77");
    ASSERT_EQ(check->status, 200);
    const std::string back = firstLink(check->body);
    ASSERT_TRUE(back.starts_with("rpapp://wapoauth?ticket=")) << back;
    const std::string ticket = back.substr(back.find('=') + 1);
    const std::string page = "/connect/smsauthorize?appid=rpapp&redirect_uri=rpapp%3A%2F%2Foauth"
                             "&response_type=code&scope=snsapi_userinfo&state=a%26b&uid=";
    EXPECT_EQ(get(page + "78&ticket=" + ticket)->status, 403) << "another page's uid";
    auto authorize = get(page + "77&ticket=" + ticket);
    ASSERT_EQ(authorize->status, 200);
    EXPECT_TRUE(std::regex_search(firstLink(authorize->body),
                                  std::regex("^rpapp://oauth\\?code=[0-9a-f]{32}&amp;state=a%26b$")))
        << firstLink(authorize->body);
    EXPECT_NE(authorize->body.find("rpapp://oauth?code=authdeny&amp;state=a%26b"), std::string::npos);
    EXPECT_EQ(get(page + "77&ticket=" + ticket)->status, 403) << "a ticket serves once";
}

}  // namespace

TEST_F(RippleOpenPlatformTest, APollWhoseClientStopsSendingIsAnsweredAsAHeldPoll) {
    startPlatform();
    const std::string uuid = openLogin();
    RawTLSClient poller(std::stoi(platform->host().substr(platform->host().find(':') + 1)));
    ASSERT_TRUE(poller.connected());
    ASSERT_TRUE(poller.send("GET /connect/l/qrconnect?uuid=" + uuid + "&last=401&f=json HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
    // Held once it is recorded.
    const auto held = [&] {
        for (const auto& request : platform->receivedRequests())
            if (request.path == "/connect/l/qrconnect") return true;
        return false;
    };
    ASSERT_TRUE(eventually(held));
    poller.shutdownSending();
    ASSERT_EQ(get("/connect/confirm?uuid=" + uuid)->status, 200);  // scanned
    const std::string answer = poller.receive();
    EXPECT_EQ(answer.substr(0, answer.find("\r\n")), "HTTP/1.1 200 OK") << answer;
    EXPECT_NE(answer.find("{\"rp_errcode\":404}"), std::string::npos) << answer;
}
