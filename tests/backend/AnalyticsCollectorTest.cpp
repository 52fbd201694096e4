// The analytics collector over loopback TCP: what it stores and answers for
// well-formed frames, and that it refuses malformed ones by closing the
// connection without trusting their length fields.
#include <arpa/inet.h>
#include <cerrno>
#include <thread>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "backend/AnalyticsCollector.h"
#include "backend/AnalyticsFrame.h"
#include "backend/Database.h"
#include "backend/LocalBackend.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempSandbox.h"

using backend::AnalyticsCollector;
namespace frame = backend::analytics_frame;

namespace {

// One client connection: sends bytes, reads a reply frame or the close.
class Client {
public:
    explicit Client(int port) {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }

    bool send(const std::string& bytes) {
        return connected_ && ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
    }
    // The decoded JSON of the next reply frame; nothing when the connection
    // closes (or nothing comes before the tests' give-up bound).
    std::optional<nlohmann::json> reply() {
        std::string head;
        if (!read(head, 16)) return std::nullopt;
        std::string body;
        if (!read(body, frame::readBigEndian32(reinterpret_cast<const std::uint8_t*>(head.data()) + 4) - 16)) {
            return std::nullopt;
        }
        const auto coding = static_cast<frame::Coding>(head[13]);
        if (coding == frame::Coding::RC4 || coding == frame::Coding::RC4AndGZip) frame::cipher(body);
        if (coding == frame::Coding::GZip || coding == frame::Coding::RC4AndGZip) {
            body = frame::gunzip(body, 1 << 20).value_or("");
        }
        return nlohmann::json::parse(body, nullptr, false);
    }
    // True when the collector closed the connection without a byte more.
    bool closedWithoutAnswer() {
        std::string byte;
        return !read(byte, 1) && byte.empty() && closed_;
    }

private:
    bool read(std::string& into, std::size_t length) {
        char chunk[4096];
        while (into.size() < length) {
            pollfd watch{fd_, POLLIN, 0};
            if (::poll(&watch, 1, static_cast<int>(kGiveUpAfter.count())) <= 0) return false;
            const ssize_t got = ::recv(fd_, chunk, std::min(sizeof chunk, length - into.size()), 0);
            if (got <= 0) {
                // Unread bytes make the close a reset.
                closed_ = got == 0 || errno == ECONNRESET;
                return false;
            }
            into.append(chunk, static_cast<std::size_t>(got));
        }
        return true;
    }

    int fd_ = -1;
    bool connected_ = false;
    bool closed_ = false;
};

class AnalyticsCollectorTest : public ::testing::Test {
protected:
    // 64 clients, every place, each having sent `bytes` and had its reply;
    // empty when one of them was not answered.
    std::vector<std::unique_ptr<Client>> takeEveryPlace(const std::string& bytes) {
        std::vector<std::unique_ptr<Client>> keepers;
        for (int i = 0; i < 64; ++i) {
            keepers.push_back(std::make_unique<Client>(collector->port()));
            if (!keepers.back()->send(bytes) || !keepers.back()->reply()) return {};
        }
        return keepers;
    }

    std::unique_ptr<AnalyticsCollector> collector = AnalyticsCollector::start();
};

}  // namespace

TEST_F(AnalyticsCollectorTest, StoresEachEventOnceAndAcknowledgesWithTheConfiguration) {
    ASSERT_TRUE(collector);
    ASSERT_TRUE(collector->setConfigRecord(2, "{\"color\":\"red\"}", 3));
    EXPECT_FALSE(collector->setConfigRecord(1, "[1]", 1));
    Client client(collector->port());
    const std::string batch = R"([{"et":1000,"idx":7},{"et":3,"text":"涟信"}])";
    ASSERT_TRUE(client.send(frame::requestFrame(batch)));
    auto answer = client.reply();
    ASSERT_TRUE(answer);
    EXPECT_EQ((*answer)["ret"], 0);
    EXPECT_EQ((*answer)["cfg"]["2"]["c"]["color"], "red");
    EXPECT_EQ((*answer)["cfg"]["2"]["v"], 3);
    EXPECT_EQ((*answer)["cfg"]["2"]["m"].get<std::string>().size(), 32u);
    EXPECT_FALSE((*answer)["cfg"].contains("1"));

    // The same batch again on the kept-alive connection: nothing new.
    collector->setReplyCoding(frame::Coding::Plain);
    ASSERT_TRUE(client.send(frame::requestFrame(batch)));
    ASSERT_TRUE(client.reply());
    EXPECT_EQ(collector->storedEvents(),
              (std::vector<std::string>{R"({"et":1000,"idx":7})", R"({"et":3,"text":"涟信"})"}));
    EXPECT_EQ(collector->acceptedFrames(), 2);
}

TEST_F(AnalyticsCollectorTest, RefusesMalformedFramesByClosingTheConnection) {
    ASSERT_TRUE(collector);
    const std::string good = frame::requestFrame(R"([{"a":1}])");
    auto withTotal = [&](std::uint32_t total) {
        std::string bytes = good;
        std::string field;
        frame::appendBigEndian32(field, total);
        return bytes.replace(4, 4, field);
    };
    // A body whose enciphered length claims more than its gzip stream holds.
    std::string lying = frame::requestFrame(R"([{"a":2}])");
    {
        std::string body = lying.substr(16);
        frame::cipher(body);
        body[3] = static_cast<char>(body[3] + 1);
        frame::cipher(body);
        lying = lying.substr(0, 16) + body;
    }
    const std::vector<std::string> malformed = {
        "GET / HTTP/1.1\r\nHost: x\r\n\r\n",  // not a frame
        withTotal(0xFFFFFFFF),                  // claims 4 GiB: refused from the head
        withTotal(16),                          // shorter than a head and a length
        lying,
        frame::requestFrame(R"({"a":1})"),     // not an array
        frame::requestFrame(R"([1,2])"),        // not objects
        frame::requestFrame(R"([{"a":1},[{}]])"),  // an array among them
        frame::requestFrame("[{\"a\":"),        // not JSON
    };
    for (const auto& bytes : malformed) {
        Client client(collector->port());
        ASSERT_TRUE(client.send(bytes));
        EXPECT_TRUE(client.closedWithoutAnswer()) << bytes.substr(0, 8);
    }
    EXPECT_EQ(collector->refusedFrames(), static_cast<int>(malformed.size()));
    EXPECT_EQ(collector->storedEventCount(), 0);
}

TEST_F(AnalyticsCollectorTest, MisbehavesOnRequestAfterStoring) {
    ASSERT_TRUE(collector);
    collector->setBehaviour(AnalyticsCollector::Behaviour::Refuse);
    {
        Client client(collector->port());
        ASSERT_TRUE(client.send(frame::requestFrame(R"([{"n":1}])")));
        auto answer = client.reply();
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["ret"], 1);
    }
    collector->setBehaviour(AnalyticsCollector::Behaviour::CutConnection);
    {
        Client client(collector->port());
        ASSERT_TRUE(client.send(frame::requestFrame(R"([{"n":2}])")));
        EXPECT_TRUE(client.closedWithoutAnswer());
    }
    EXPECT_EQ(collector->storedEventCount(), 2);
}

TEST_F(AnalyticsCollectorTest, WhenEveryPlaceIsTakenTheConnectionIdleLongestGivesUpItsPlace) {
    ASSERT_TRUE(collector);
    const std::string request = frame::requestFrame(R"([{"e":"kept alive"}])");
    // Every place taken by a client that has had its reply, the first one
    // first: it has waited longest for its next frame.
    const auto keepers = takeEveryPlace(request);
    ASSERT_EQ(keepers.size(), 64u);
    // A reply reaches its client before the connection's thread marks it as
    // waiting again (a connection busy with a frame keeps its place): once
    // all 64 wait, the first one has waited longest, however late the threads
    // got back to waiting.
    ASSERT_TRUE(eventually([&] { return collector->waitingConnections() == 64; }));
    Client honest(collector->port());
    ASSERT_TRUE(honest.send(frame::requestFrame(R"([{"e":"honest"}])")));
    EXPECT_TRUE(honest.reply());
    EXPECT_TRUE(keepers.front()->closedWithoutAnswer());
    // The others keep theirs.
    ASSERT_TRUE(keepers[1]->send(request));
    EXPECT_TRUE(keepers[1]->reply());
    EXPECT_EQ(collector->storedEventCount(), 2);
}

TEST_F(AnalyticsCollectorTest, ClientsThatKeepAFrameBegunGiveUpTheirPlacesAtTheFramesDeadline) {
    ASSERT_TRUE(collector);
    // A short deadline: the test waits for the honest client's answer, not
    // for a margin over the deadline, and sees that it came no sooner.
    constexpr auto kFrameDeadline = std::chrono::milliseconds(300);
    collector->setFrameMilliseconds(kFrameDeadline.count());
    const auto begun = std::chrono::steady_clock::now();
    // Each keeper sends a frame with the next one's first byte: none of them
    // ever waits for a frame, so none makes room for a new client.
    const std::string request = frame::requestFrame(R"([{"e":"kept begun"}])");
    const auto keepers = takeEveryPlace(request + request.substr(0, 1));
    ASSERT_EQ(keepers.size(), 64u);
    // Turned away while every place is held, the honest client sends again
    // (as the library does) and is answered once a begun frame ran out of
    // time.
    std::optional<nlohmann::json> answer;
    ASSERT_TRUE(eventually([&] {
        Client honest(collector->port());
        if (honest.send(frame::requestFrame(R"([{"e":"honest"}])"))) answer = honest.reply();
        return answer.has_value();
    }));
    EXPECT_GE(std::chrono::steady_clock::now() - begun, kFrameDeadline);
    EXPECT_EQ((*answer)["ret"], 0);
    EXPECT_TRUE(keepers.front()->closedWithoutAnswer());
}

TEST(AnalyticsCollectorInBackend, StoresIntoADatabaseOfItsOwnBesideTheBackEndsOnItsOwnPort) {
    const TempFolder temporary("velmaro-collector");
    const std::string& folder = temporary.path();
    {
        auto server = backend::LocalBackend::start({0, folder + "/backend.db", 0});
        ASSERT_TRUE(server);
        AnalyticsCollector& collector = server->analyticsCollector();
        EXPECT_NE(collector.port(), server->port());
        Client client(collector.port());
        ASSERT_TRUE(client.send(frame::requestFrame(R"([{"n":1}])")));
        ASSERT_TRUE(client.reply());
        EXPECT_EQ(collector.storedEventCount(), 1);
    }
    // Its writes take no turn among the back end's.
    EXPECT_EQ(AnalyticsCollector::databasePathBeside(folder + "/backend.db"), folder + "/backend-analytics.db");
    auto own = backend::Database::open(folder + "/backend-analytics.db");
    auto shared = backend::Database::open(folder + "/backend.db");
    ASSERT_TRUE(own && shared);
    EXPECT_EQ(own->scalar("SELECT count(*) FROM analytics_events"), 1);
    EXPECT_EQ(shared->scalar("SELECT count(*) FROM sqlite_master WHERE name = 'analytics_events'"), 0);
}

TEST(AnalyticsCollectorInBackend, StoresIntoTheDatabasesOfAnOlderVersionOrRefusesToStartNamingTheFile) {
    const TempFolder temporary("velmaro-collector");
    const std::string& folder = temporary.path();
    const std::string olderTable =
        "CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, content TEXT NOT NULL UNIQUE, "
        "received_at INTEGER NOT NULL); INSERT INTO analytics_events (content, received_at) VALUES ('{\"n\":0}', 5)";
    // Where the first versions kept the events, and a collector's file of theirs.
    backend::Database::open(folder + "/backend.db")->execute(olderTable);
    backend::Database::open(folder + "/backend-analytics.db")->execute(olderTable);
    {
        auto server = backend::LocalBackend::start({0, folder + "/backend.db", 0});
        ASSERT_TRUE(server);
        Client client(server->analyticsCollector().port());
        ASSERT_TRUE(client.send(frame::requestFrame(R"([{"n":1}])")));
        auto answer = client.reply();
        ASSERT_TRUE(answer);
        EXPECT_EQ((*answer)["ret"], 0);
        EXPECT_EQ(server->analyticsCollector().storedEvents(), (std::vector<std::string>{R"({"n":0})", R"({"n":1})"}));
    }
    backend::Database::open(folder + "/other-analytics.db")->execute("CREATE TABLE analytics_events (name TEXT)");
    std::string failure;
    EXPECT_FALSE(backend::LocalBackend::start({0, folder + "/other.db", 0}, &failure));
    EXPECT_NE(failure.find(folder + "/other-analytics.db"), std::string::npos) << failure;
}

TEST(AnalyticsFrameEvents, AreReadUpToEachBoundAndNoFurther) {
    // Nesting: the array of events, an event, then arrays to the limit.
    const auto nested = [](std::size_t depth) {
        return "[{\"a\":" + std::string(depth - 2, '[') + std::string(depth - 2, ']') + "}]";
    };
    EXPECT_TRUE(frame::requestEvents(nested(frame::kDeepestNesting)));
    EXPECT_FALSE(frame::requestEvents(nested(frame::kDeepestNesting + 1)));
    // Values: the array, the event and its array count too.
    const auto values = [](std::size_t count) {
        std::string text = "[{\"a\":[0";
        for (std::size_t i = 4; i < count; ++i) text += ",0";
        return text + "]}]";
    };
    EXPECT_TRUE(frame::requestEvents(values(frame::kLargestValueCount)));
    EXPECT_FALSE(frame::requestEvents(values(frame::kLargestValueCount + 1)));
    const auto events = [](std::size_t count) {
        std::string text = "[{}";
        for (std::size_t i = 1; i < count; ++i) text += ",{\"n\":" + std::to_string(i) + "}";
        return text + "]";
    };
    const auto read = frame::requestEvents(events(frame::kLargestEventCount));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), frame::kLargestEventCount);
    EXPECT_EQ(read->back(), "{\"n\":1023}");
    EXPECT_FALSE(frame::requestEvents(events(frame::kLargestEventCount + 1)));
}
