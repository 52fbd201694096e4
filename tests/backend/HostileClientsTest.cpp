// What a hostile client on the loopback can do to the back end's listeners
// (the app's API, the TLS stand-ins, the analytics collector): each attack
// is refused or outlived, and afterwards the back end still signs in.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "BackendClient.h"
#include "RawClient.h"
#include "RawTLSClient.h"
#include "backend/AnalyticsCollector.h"
#include "backend/AnalyticsFrame.h"
#include "backend/Digest.h"
#include "backend/PalConnectServices.h"
#include "backend/RippleOpenPlatform.h"
#include "tests/support/Eventually.h"

namespace {

using namespace std::chrono_literals;
namespace frame = backend::analytics_frame;

int portOf(const std::string& host) { return std::stoi(host.substr(host.find(':') + 1)); }

class HostileClients : public BackendTest {
protected:
    void expectSignsIn() { EXPECT_EQ(client().login("demo", "123456").json["code"], 1); }

    std::unique_ptr<httplib::SSLClient> tls(const std::string& host, const std::string& certificate) {
        auto client = std::make_unique<httplib::SSLClient>("127.0.0.1", portOf(host));
        client->set_ca_cert_path(certificate);
        client->enable_server_certificate_verification(true);
        waitingForAnswers(*client);
        return client;
    }
    std::unique_ptr<httplib::SSLClient> ripple() {
        auto& platform = backend_->rippleOpenPlatform();
        return tls(platform.host(), platform.certificateFile());
    }
    std::unique_ptr<httplib::SSLClient> pal() {
        auto& services = backend_->palConnect();
        return tls(services.host(), services.certificateFile());
    }
};

}  // namespace

TEST_F(HostileClients, FramesPastTheCollectorsBoundsAreRefusedWithoutHarm) {
    auto& collector = backend_->analyticsCollector();
    // JSON nested 100 000 deep, in a frame of a few hundred bytes.
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    // A few KiB that inflate to 4 MiB of empty events.
    std::string bomb = "[{}";
    while (bomb.size() + 4 < frame::kLargestText) bomb += ",{}";
    bomb += "]";
    for (const std::string& text : {deep, bomb}) {
        const std::string bytes = frame::requestFrame(text);
        EXPECT_LT(bytes.size(), 64u * 1024);
        RawClient sender(collector.port());
        ASSERT_TRUE(sender.send(bytes));
        EXPECT_EQ(sender.receive(), "");
        EXPECT_TRUE(sender.closedByServer());
    }
    EXPECT_EQ(collector.refusedFrames(), 2);
    EXPECT_EQ(collector.storedEventCount(), 0);
    expectSignsIn();
}

TEST_F(HostileClients, CollectorClientsThatReadNoReplyAreCutOffAtTheReplyDeadline) {
    auto& collector = backend_->analyticsCollector();
    collector.setFrameMilliseconds(300);
    collector.setIdleMilliseconds(300);
    // Replies of 64 KiB that do not shrink: a few dozen fill the queues of
    // a client that reads nothing.
    ASSERT_TRUE(collector.setConfigRecord(2, "{\"k\":\"" + backend::randomHex(32 * 1024) + "\"}", 1));
    collector.setReplyCoding(frame::Coding::RC4);
    const std::string request = frame::requestFrame(R"([{"e":"held"}])");
    std::vector<std::unique_ptr<RawClient>> held;
    for (int i = 0; i < 8; ++i) {
        held.push_back(std::make_unique<RawClient>(collector.port(), 4096));
        sendUntilStalled(*held.back(), request);
    }
    for (auto& client : held) EXPECT_TRUE(hungUpWithin(client->socket(), kGiveUpAfter));
    RawClient honest(collector.port());
    ASSERT_TRUE(honest.send(request));
    EXPECT_NE(honest.receive(kGiveUpAfter), "");
    EXPECT_EQ(collector.storedEventCount(), 1);
    expectSignsIn();
}

TEST_F(HostileClients, IdleSocketsAtEveryListenerAreDroppedAndServingGoesOn) {
    auto& collector = backend_->analyticsCollector();
    collector.setIdleMilliseconds(300);
    const int ports[] = {backend_->port(), portOf(backend_->palConnect().host()),
                         portOf(backend_->rippleOpenPlatform().host()), collector.port()};
    // More than the API and the collector serve (256 and 64), a few dozen at
    // the TLS stand-ins (both ends are in this process: fewer than 1024
    // descriptors in all).
    const int counts[] = {270, 40, 40, 80};
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int listener = 0; listener < 4; ++listener)
        for (int i = 0; i < counts[listener]; ++i) idle.push_back(std::make_unique<RawClient>(ports[listener]));
    // Nothing is answered but a TLS listener's closing alert.
    for (auto& socket : idle) {
        EXPECT_LT(socket->receive(kGiveUpAfter).size(), 16u);
        EXPECT_TRUE(socket->closedByServer());
    }
    expectSignsIn();
    auto answer = ripple()->Get("/connect/mobilecheck?appid=rpapp&uid=1");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    auto policy = pal()->Get("/palconnectopen/openapi/policy_conf?appid=1&oauth_consumer_key=1");
    ASSERT_TRUE(policy);
    EXPECT_EQ(policy->status, 200);
    RawClient sender(collector.port());
    ASSERT_TRUE(sender.send(frame::requestFrame(R"([{"a":1}])")));
    EXPECT_NE(sender.receive(kGiveUpAfter), "");
    EXPECT_EQ(collector.storedEventCount(), 1);
}

TEST_F(HostileClients, HeldPollsLeaveEveryOtherRequestAnsweringAtOnce) {
    auto& platform = backend_->rippleOpenPlatform();
    auto opened = ripple()->Get("/connect/sdk/qrconnect?appid=rpapp&noncestr=n&timestamp=1&scope=s&signature=s");
    ASSERT_TRUE(opened);
    const std::string uuid = nlohmann::json::parse(opened->body).value("uuid", "");
    ASSERT_FALSE(uuid.empty());

    constexpr int kPolls = 100;
    std::atomic<int> scanned{0};
    std::vector<std::thread> polls;
    for (int i = 0; i < kPolls; ++i) {
        polls.emplace_back([&, client = ripple()] {
            auto answer = client->Get("/connect/l/qrconnect?uuid=" + uuid + "&last=401&f=json");
            if (answer && nlohmann::json::parse(answer->body).value("rp_errcode", 0) == 404) ++scanned;
        });
    }
    const auto heldPolls = [&] {
        int held = 0;
        for (const auto& request : platform.receivedRequests()) held += request.path == "/connect/l/qrconnect";
        return held;
    };
    ASSERT_TRUE(eventually([&] { return heldPolls() == kPolls; }));

    // The phone's scan is answered while every poll is held, and wakes them
    // all: a scan kept waiting behind the polls would come only once their
    // hold ran out and they had answered that nothing was new.
    auto scan = ripple()->Get("/connect/confirm?uuid=" + uuid);
    ASSERT_TRUE(scan);
    EXPECT_EQ(scan->status, 200);
    for (auto& poll : polls) poll.join();
    EXPECT_EQ(scanned, kPolls);
    expectSignsIn();
}

TEST_F(HostileClients, OversizedUploadsAndDuplicateLengthsAreRefused) {
    auto& services = backend_->palConnect();
    const std::string boundary = "b0undary";
    const auto upload = [&](const std::string& picture) {
        const std::string body = "--" + boundary +
                                 "\r\nContent-Disposition: form-data; name=\"share_image\"; filename=\"a.jpg\"\r\n"
                                 "Content-Type: image/jpeg\r\n\r\n" +
                                 picture + "\r\n--" + boundary + "--\r\n";
        return pal()->Post(backend::PalConnectServices::kShareImageUploadPath, body,
                           "multipart/form-data; boundary=" + boundary);
    };
    auto huge = upload(std::string(2 * backend::PalConnectServices::kLargestShareImageUpload, 'x'));
    if (huge) {
        EXPECT_EQ(huge->status, 413);  // or cut off while it was still sending
    }
    EXPECT_TRUE(services.shareImages().empty());

    // Only the newest pictures are kept; older addresses are gone.
    const std::size_t kept = backend::PalConnectServices::kKeptShareImages;
    for (std::size_t i = 1; i <= kept + 2; ++i) {
        auto answer = upload("picture " + std::to_string(i));
        ASSERT_TRUE(answer);
        ASSERT_EQ(answer->status, 200) << answer->body;
    }
    ASSERT_EQ(services.shareImages().size(), kept);
    EXPECT_EQ(services.shareImages().front(), "picture 3");
    EXPECT_EQ(pal()->Get("/share_image/2.jpg")->status, 404);
    EXPECT_EQ(pal()->Get("/share_image/" + std::to_string(kept + 2) + ".jpg")->body,
              "picture " + std::to_string(kept + 2));

    // Two lengths: which one a proxy would have read is unknown, so neither is.
    RawClient smuggler(backend_->port());
    ASSERT_TRUE(smuggler.send("POST /?ct=app&ac=kefu HTTP/1.1\r\nHost: x\r\nContent-Length: 0\r\nContent-Length: 44\r\n"
                              "Content-Type: application/x-www-form-urlencoded\r\n\r\n"
                              "GET /?ct=app&ac=kefu HTTP/1.1\r\nHost: x\r\n\r\n"));
    const std::string refused = smuggler.receive();
    EXPECT_EQ(refused.substr(0, refused.find("\r\n")), "HTTP/1.1 400 Bad Request");
    EXPECT_EQ(refused.find("HTTP/1.1", 1), std::string::npos) << refused;  // the hidden request is not served
    expectSignsIn();
}

TEST_F(HostileClients, TheAuthorisationPageKeepsItsRedirectInsideTheLinkAndOnTheFlowsSchemes) {
    const auto page = [&](const std::string& redirect, const std::string& clientId = "101") {
        return pal()->Get("/oauth2.0/m_authorize?client_id=" + clientId +
                          "&redirect_uri=" + httplib::detail::encode_query_param(redirect));
    };
    auto escaped = page("auth://x\"><script>alert(1)</script>");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->body.find("<script>"), std::string::npos) << escaped->body;
    EXPECT_NE(escaped->body.find("auth://x%22%3E%3Cscript%3Ealert(1)%3C/script%3E#access_token="), std::string::npos)
        << escaped->body;
    // Every attribute escaped: the address a browser reads is the one sent.
    auto query = page("https://x/?a=1&amp;b=2");
    ASSERT_TRUE(query);
    EXPECT_NE(query->body.find("href=\"https://x/?a=1&amp;amp;b=2#access_token="), std::string::npos) << query->body;
    // Read as a browser reads them (character references decoded), these
    // are scripts, also as the only link of an app that is not a number.
    for (const char* redirect : {"javascript:alert(1)//", " \tJava\nScript:alert(1)", "data:text/html,x",
                                 "javascript&colon;alert(1)", "&#106;avascript:alert(1)",
                                 "jav&#x09;ascript:alert(1)", "javascript&#58;alert(1)", "&#1javascript&#x3A;x"}) {
        for (const char* clientId : {"101", "abc"}) {
            auto refused = page(redirect, clientId);
            ASSERT_TRUE(refused);
            EXPECT_EQ(refused->status, 400) << redirect;
            EXPECT_EQ(refused->body.find("href"), std::string::npos) << refused->body;
        }
    }
    // With a browser key the answers go to "nimbus<client_id>", as the
    // PalSpace dialog's go to "nimbus<oauth_consumer_key>": an id that is no
    // number makes a scheme of no flow, and no link.
    for (const char* appId : {"abc", "javascript:alert(1)//"}) {
        const std::string id = httplib::detail::encode_query_param(appId);
        for (const std::string& address : {"/oauth2.0/m_authorize?browser=1&token_key=k&client_id=" + id,
                                           "/?iface=SendStory&oauth_consumer_key=" + id}) {
            auto refused = pal()->Get(address);
            ASSERT_TRUE(refused);
            EXPECT_EQ(refused->status, 400) << address;
            EXPECT_EQ(refused->body.find("href"), std::string::npos) << refused->body;
        }
    }
}

TEST_F(HostileClients, TheTlsStandInsKeepTheNewestRecordsCutAndSayWhyTheyRefuse) {
    auto& services = backend_->palConnect();
    auto client = pal();
    client->set_keep_alive(true);
    const std::string longValue(10'000, 'v');
    for (std::size_t i = 0; i < backend::RecentRequests<backend::PalConnectServices::ReceivedRequest>::kKept + 10; ++i)
        ASSERT_TRUE(client->Get("/report/report?n=" + std::to_string(i), {{"X-Long", longValue}}));
    const auto records = services.receivedRequests();
    ASSERT_EQ(records.size(), 256u);
    EXPECT_EQ(records.front().params.at("n"), "10");
    EXPECT_EQ(records.back().headers.at("X-Long").size(), 4096u);

    auto missing = client->Get("/share_image/999.jpg");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->status, 404);
    EXPECT_EQ(nlohmann::json::parse(missing->body, nullptr, false).value("msg", ""), "请求的地址不存在") << missing->body;
}

// The variants of such heads are in HttpServerTest; every listener refuses them.
TEST_F(HostileClients, HeadsTheLibraryWouldMisreadAreAnsweredOnce400AtEveryListener) {
    const auto refusedOnce = [](const std::string& answer) {
        std::size_t answers = 0;
        for (std::size_t at = answer.find("HTTP/1.1 "); at != std::string::npos; at = answer.find("HTTP/1.1 ", at + 1))
            ++answers;
        return answers == 1 && answer.rfind("HTTP/1.1 400 ", 0) == 0 && answer.find("application/json") != std::string::npos;
    };
    const std::vector<std::pair<int, std::string>> listeners{
        {-1, "/?ct=app&ac=kefu&ios=1"},
        {portOf(backend_->palConnect().host()), "/report/report"},
        {portOf(backend_->rippleOpenPlatform().host()), "/connect/mobilecheck?appid=rpapp&uid=1"}};
    for (const auto& [port, target] : listeners) {
        const std::string line = "GET " + target + " HTTP/1.1\r\nHost: x\r\n";
        // An empty name, a length with a blank after it, a line with no colon.
        for (const std::string& head : {line + ": b\r\n" + line + "\r\n", line + ": \n" + line + "\r\n",
                                        line + ":\t\n" + line + "\r\n", line + "Content-Length: 3 \r\n\r\nabc",
                                        line + "Content-Length\r\n\r\n"}) {
            std::string answer;
            if (port < 0) {
                RawClient client(backend_->port());
                ASSERT_TRUE(client.send(head));
                answer = client.receive();
            } else {
                RawTLSClient client(port);
                ASSERT_TRUE(client.send(head));
                answer = client.receive();
            }
            EXPECT_TRUE(refusedOnce(answer)) << target << "\n" << answer;
        }
    }
    expectSignsIn();
}

TEST_F(HostileClients, ConcurrentUploadsEachKeepTheirOwnPartsInTheirRecords) {
    constexpr int kClients = 6, kUploads = 40;
    std::vector<std::thread> clients;
    std::atomic<int> answered{0};
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            auto client = pal();
            client->set_keep_alive(true);
            for (int i = 0; i < kUploads; ++i) {
                const std::string n = std::to_string(c) + "-" + std::to_string(i);
                auto answer = client->Post("/user/set_user_face?oauth_consumer_key=1&access_token=t&openid=o&n=" + n,
                                           httplib::MultipartFormDataItems{{"picture", "picture " + n, "p.jpg", "image/jpeg"}});
                answered += answer && answer->status == 200;
            }
        });
    }
    for (auto& client : clients) client.join();
    EXPECT_EQ(answered, kClients * kUploads);
    const auto records = backend_->palConnect().receivedRequestsTo("/user/set_user_face");
    ASSERT_EQ(records.size(), std::size_t(kClients * kUploads));
    for (const auto& record : records) {
        ASSERT_EQ(record.files.count("picture"), 1u) << record.query;
        EXPECT_EQ(record.files.at("picture"), "picture " + record.params.at("n"));
    }
}

TEST_F(HostileClients, EveryPartOfAManyPartsUploadCountsInItsRecord) {
    // The picture, one part too large for a record, and thousands of empty
    // parts of distinct names.
    httplib::MultipartFormDataItems parts{{"picture", "JPEG", "p.jpg", "image/jpeg"},
                                          {"large", std::string(backend::kRecordBytes, 'x'), "l.jpg", "image/jpeg"}};
    constexpr std::size_t kEmptyParts = 8'000;
    for (std::size_t i = 0; i < kEmptyParts; ++i) parts.push_back({"e" + std::to_string(i), "", "", ""});
    auto answer = pal()->Post("/user/set_user_face?oauth_consumer_key=1&access_token=t&openid=o", parts);
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200) << answer->body;
    const auto records = backend_->palConnect().receivedRequestsTo("/user/set_user_face");
    ASSERT_EQ(records.size(), 1u);
    const auto& record = records.front();
    EXPECT_EQ(record.files.at("picture"), "JPEG");
    EXPECT_EQ(record.files.count("large"), 0u);
    EXPECT_LE(record.files.size() * backend::kRecordFieldBytes, backend::kRecordBytes);
    // The record says how many were not kept.
    EXPECT_EQ(record.files.size() + record.partsLeftOut, parts.size());
}
