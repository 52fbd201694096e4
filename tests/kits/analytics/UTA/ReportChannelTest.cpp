// The report channel and the store's batch sends against the local back
// end's analytics collector: framing, ordering on one connection, replies in
// every coding, hostile replies, and a collector that is down, answers
// garbage or cuts the connection (events stay stored and are retried, and
// each is sent again only when no answer came for it).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <map>
#include <random>
#include <thread>

#include "backend/AnalyticsCollector.h"
#include "backend/AnalyticsFrame.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "tests/kits/analytics/UTA/CountingProxy.h"
#include "tests/kits/analytics/UTA/SendStored.h"
#include "tests/kits/analytics/UTA/StoreFileRows.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TempSandbox.h"

namespace frame = backend::analytics_frame;

namespace {

// One connection at a time: reads a request frame and answers `reply`; with
// `firstReply`, answers the first request so and serves further requests.
// With `pace`, a collector that reads slowly: through a 4 KiB receive buffer,
// 4 KiB at a time, `pace` called with the bytes read so far before each read;
// only a frame that came whole is answered.
class ScriptedReplyServer {
public:
    explicit ScriptedReplyServer(std::string reply, std::string firstReply = "",
                                 std::function<void(std::size_t)> pace = {})
        : reply_(std::move(reply)), firstReply_(std::move(firstReply)), pace_(std::move(pace)) {
        listener_ = listenOnLoopback(4, port_);
        const int small = 4096;
        if (pace_) ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
        thread_ = std::thread([this] {
            for (int client; (client = ::accept(listener_, nullptr, nullptr)) >= 0; client_ = -1, ::close(client), ++ended_) {
                client_ = client;
                std::size_t read = 0;
                const auto receive = [&](std::string& into) {
                    for (std::size_t done = 0, got = 0; done < into.size(); done += got, read += got) {
                        if (pace_) pace_(read);
                        const ssize_t n = ::recv(client, &into[done], std::min<std::size_t>(into.size() - done, pace_ ? 4096 : SIZE_MAX), 0);
                        if (n <= 0) return false;
                        got = static_cast<std::size_t>(n);
                    }
                    return true;
                };
                std::string head(16, '\0');
                for (bool first = true; receive(head); first = false) {
                    std::string body(frame::requestLength(head).value_or(16) - 16, '\0');
                    if (!receive(body)) break;
                    ++wholeFrames_;
                    const std::string& answer = first && !firstReply_.empty() ? firstReply_ : reply_;
                    ::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
                    if (firstReply_.empty()) break;
                }
            }
        });
    }
    ~ScriptedReplyServer() {
        ::shutdown(listener_, SHUT_RDWR);
        ::shutdown(client_, SHUT_RDWR);  // a connection the channel keeps open
        ::close(listener_);
        thread_.join();
    }
    int port() const { return port_; }
    int wholeFrames() const { return wholeFrames_; }
    int connectionsEnded() const { return ended_; }

private:
    std::string reply_, firstReply_;
    std::function<void(std::size_t)> pace_;
    std::atomic<int> wholeFrames_{0}, ended_{0};
    std::atomic<int> client_{-1};
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

class ReportChannel : public StoreSendingFixture {
protected:
    void SetUp() override {
        UTAResetForTests();
        ASSERT_TRUE(collector);
        pointAt(collector->port());
    }
    void TearDown() override {
        UTAResetForTests();
        RPOUTAReportHost::setHost("");
    }
    static void pointAt(int port) { RPOUTAReportHost::setHost("127.0.0.1", static_cast<std::uint16_t>(port)); }

    static Ref<RPOUTAEvent> event(const std::string& content, std::uint32_t ts = 1) {
        auto event = make<RPOUTACustomEvent>();
        event->content = content;
        event->ts = ts;
        return event;
    }
    static std::vector<RPOUTAStoreEvent> rows(std::initializer_list<std::string> contents) {
        std::vector<RPOUTAStoreEvent> batch;
        for (const auto& content : contents) batch.push_back(RPOUTAStoreEvent{0, 1, 0, content, 1});
        return batch;
    }
    // Sends the units in order and runs the main loop until each has its outcome.
    std::vector<bool> sendAll(std::vector<RPOUTASendItem::Events> units) {
        auto outcomes = std::make_shared<std::vector<bool>>();
        for (auto& events : units) {
            channel->send(make<RPOUTASendItem>(std::move(events), [outcomes](bool ok) { outcomes->push_back(ok); }));
        }
        const std::size_t expected = units.size();
        EXPECT_TRUE(runUntil([&] { return outcomes->size() == expected; }, kGiveUpAfterSeconds));
        return *outcomes;
    }
    bool sendOne(RPOUTASendItem::Events events) {
        auto outcome = sendAll({std::move(events)});
        return !outcome.empty() && outcome.front();
    }

    void storeEvents(int count) {
        for (int i = 1; i <= count; ++i) {
            store->storeEvent(event("{\"n\":" + std::to_string(i) + "}", static_cast<std::uint32_t>(i)), false, [] {});
        }
        store->taskQueue()->sync([] {});
    }
    // (status, send_count) of every stored row, oldest first.
    std::vector<std::pair<int, int>> storedRows() {
        std::vector<std::pair<int, int>> result;
        store->taskQueue()->sync([] {});
        for (const auto& row : storeFileRows(store->getDbPath(), "select status, send_count from events order by ts")) {
            result.emplace_back(std::stoi(row[0]), std::stoi(row[1]));
        }
        return result;
    }
    void sendStored() { sendEverythingStored(store); }

    TempSandbox sandbox;
    std::unique_ptr<backend::AnalyticsCollector> collector = backend::AnalyticsCollector::start();
    Ref<RPOUTASocket> channel = make<RPOUTASocket>();
    Ref<RPOUTAStore> store = make<RPOUTAStore>(channel);
};

// A reply head claiming `total` bytes, its body coded as `coding` says.
std::string replyHead(std::uint32_t total, char coding = 0) {
    std::string head(frame::kMagic.begin(), frame::kMagic.end());
    frame::appendBigEndian32(head, total);
    return head + std::string("\0\0\0\1\1", 5) + coding + std::string("\0\0", 2);
}
std::string reply(const std::string& body) { return replyHead(static_cast<std::uint32_t>(16 + body.size())) + body; }

}  // namespace

TEST_F(ReportChannel, TheRequestFrameCarriesTheJSONCompressedAndEnciphered) {
    const std::string json = "[{\"a\":1},{\"b\":\"涟\"}]";
    auto built = channel->getSendData(NSData::fromString(json));
    ASSERT_TRUE(built);
    const std::string bytes = built->toString();
    EXPECT_EQ(bytes.substr(0, 4), std::string("\0\0\x95\x27", 4));
    EXPECT_EQ(frame::readBigEndian32(built->bytes() + 4), bytes.size());
    EXPECT_EQ(bytes.substr(8, 8), std::string("\0\0\0\1\1\3\0\0", 8));
    EXPECT_EQ(frame::requestText(bytes), json);
    EXPECT_TRUE(RPOUTASocket::isEqualToMagic(NSData("\0\0\x95\x27", 4)));
    EXPECT_FALSE(RPOUTASocket::isEqualToMagic(NSData("\0\0\x95\x27\0", 5)));
    EXPECT_FALSE(channel->getSendData(NSData()));

    // Reply bodies by the configuration's second byte.
    std::string enciphered = "{\"ret\":0}";
    frame::cipher(enciphered);
    const NSData rc4Only("\1\2\0\0", 4), gzipOnly("\1\1\0\0", 4);
    EXPECT_EQ(channel->filterBodyData(NSData::fromString(enciphered), rc4Only), NSData::fromString("{\"ret\":0}"));
    EXPECT_EQ(channel->filterBodyData(NSData::fromString("{}"), NSData("\1\7\0\0", 4)), NSData::fromString("{}"));
    EXPECT_FALSE(channel->filterBodyData(NSData::fromString("not gzip"), gzipOnly));
    EXPECT_FALSE(channel->filterBodyData(std::nullopt, gzipOnly));
}

TEST_F(ReportChannel, UnitsGoOutInOrderOnOneConnection) {
    auto outcomes = sendAll({rows({"{\"n\":1}", "{\"n\":2}"}), event("{\"n\":3}"), rows({}), rows({"{\"n\":4}"})});
    EXPECT_EQ(outcomes, (std::vector<bool>{true, true, true, true})) << "an empty unit is skipped as done";
    EXPECT_EQ(collector->storedEvents(), (std::vector<std::string>{"{\"n\":1}", "{\"n\":2}", "{\"n\":3}", "{\"n\":4}"}));
    EXPECT_EQ(collector->acceptedFrames(), 3);
    EXPECT_EQ(collector->connections(), 1);
}

TEST_F(ReportChannel, RepliesAreReadInEveryCodingAndCarryTheOnlineConfiguration) {
    std::vector<Value> answers;
    channel->setOnlineConfigHandler([&](const Value& answer) { answers.push_back(answer); });
    ASSERT_TRUE(collector->setConfigRecord(1, "{\"rs\":7}", 4));
    for (auto coding : {frame::Coding::Plain, frame::Coding::GZip, frame::Coding::RC4, frame::Coding::RC4AndGZip}) {
        collector->setReplyCoding(coding);
        EXPECT_TRUE(sendOne(event("{\"coding\":" + std::to_string(static_cast<int>(coding)) + "}")));
    }
    channel->taskQueue()->sync([] {});
    ASSERT_EQ(answers.size(), 4u);
    EXPECT_EQ(answers[3]["cfg"]["1"]["v"].longLongValue(), 4);
    EXPECT_EQ(answers[3]["cfg"]["1"]["c"]["rs"].longLongValue(), 7);

    collector->setBehaviour(backend::AnalyticsCollector::Behaviour::Refuse);
    EXPECT_FALSE(sendOne(event("{\"refused\":1}"))) << "\"ret\" other than 0";
    collector->setBehaviour(backend::AnalyticsCollector::Behaviour::Acknowledge);
    EXPECT_TRUE(sendOne(event("{\"after\":1}"))) << "the connection stays usable";
    channel->taskQueue()->sync([] {});
    EXPECT_EQ(answers.size(), 5u);
    EXPECT_EQ(collector->connections(), 1);
}

TEST_F(ReportChannel, HostileRepliesFailTheUnitWithoutTrustingTheirLength) {
    const std::string oversized = replyHead(16 + RPOUTASocket::kLargestReplyBody + 1);
    const std::string huge = replyHead(0xFFFFFFFF);
    const std::string tooShort = replyHead(16);
    const std::string notMagic = "HTTP/1.1 200 OK\r\n\r\n";
    // A small body that would inflate to 5 MiB.
    const std::string bomb = frame::gzip("{\"ret\":0,\"pad\":\"" + std::string(5 << 20, ' ') + "\"}");
    const std::string inflatesTooFar = replyHead(static_cast<std::uint32_t>(16 + bomb.size()), 1) + bomb;
    for (const std::string& hostile : {oversized, huge, tooShort, notMagic, inflatesTooFar, reply("hello"),
                                       reply("{\"a\":0}"), reply("{\"ret\":1}"), reply("[0]")}) {
        ScriptedReplyServer server(hostile);
        pointAt(server.port());
        channel = make<RPOUTASocket>();
        EXPECT_FALSE(sendOne(event("{\"x\":1}"))) << hostile.substr(0, 20);
    }
    for (const std::string& acknowledgement : {reply("{\"ret\":0}"), reply("{\"ret\":\"0\"}")}) {
        ScriptedReplyServer server(acknowledgement);
        pointAt(server.port());
        channel = make<RPOUTASocket>();
        EXPECT_TRUE(sendOne(event("{\"x\":2}"))) << acknowledgement.substr(16);
    }
}

TEST_F(ReportChannel, AReplyAnswersOnlyTheRequestItFollows) {
    // The first request acknowledged twice: the second is no answer to the next.
    ScriptedReplyServer server(reply("{\"ret\":1}"), reply("{\"ret\":0}") + reply("{\"ret\":0}"));
    pointAt(server.port());
    EXPECT_EQ(sendAll({event("{\"n\":1}"), event("{\"n\":2}")}), (std::vector<bool>{true, false}));
}

TEST_F(ReportChannel, EventsThatCannotBeSentFailWithoutBeingWritten) {
    RPOUTAConfig::getInstance()->setMaxReportEventLength(10);
    std::optional<bool> delivered;
    auto tooLong = make<RPOUTACustomEvent>();
    tooLong->eventID = "a_rather_long_event_id";
    channel->sendEvent(make<RPOUTASendItem>(tooLong, [&](bool ok) { delivered = ok; }));
    EXPECT_TRUE(runUntil([&] { return delivered.has_value(); }));
    EXPECT_EQ(delivered, false) << "too long to report is not reported delivered";
    RPOUTAConfig::getInstance()->setMaxReportEventLength(4096);
    EXPECT_EQ(sendAll({event("{}"), Ref<RPOUTAEvent>(), RPOUTASendItem::Events{}, event("{\"n\":1}")}),
              (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(collector->acceptedFrames(), 1);
}

TEST_F(ReportChannel, NoHostOrACollectorThatIsDownFailsEveryWaitingUnit) {
    RPOUTAReportHost::setHost("");
    EXPECT_EQ(sendAll({rows({"{\"n\":1}"}), rows({"{\"n\":2}"})}), (std::vector<bool>{false, false}));
    const int port = collector->port();
    collector->stop();
    pointAt(port);
    EXPECT_EQ(sendAll({rows({"{\"n\":1}"}), rows({"{\"n\":2}"})}), (std::vector<bool>{false, false}));
}

TEST_F(ReportChannel, StoredEventsGoOutInBatchesAndLeaveTheStore) {
    RPOUTAConfig::getInstance()->setMaxLoadEventCount(30);
    storeEvents(70);
    store->sendCachedEvents(-1);
    ASSERT_TRUE(runUntil([&] { return collector->storedEventCount() == 70 && storedRows().empty(); }, kGiveUpAfterSeconds));
    sendStored();
    EXPECT_EQ(collector->acceptedFrames(), 3) << "30, 30 and 10";
    EXPECT_TRUE(storedRows().empty());
    EXPECT_EQ(store->storedEventCount(), 0u);
}

TEST_F(ReportChannel, FailedSendsKeepTheEventsAndALaterSendDeliversEachOnce) {
    using Behaviour = backend::AnalyticsCollector::Behaviour;
    const std::vector<std::string> texts{R"({"n":1})", R"({"n":2})", R"({"n":3})", R"({"n":4})", R"({"n":5})"};
    storeEvents(5);
    const int port = collector->port();
    CountingProxy proxy(port);
    pointAt(proxy.port());
    collector->stop();
    sendStored();  // down: a batch of several rows costs none of them a try
    EXPECT_EQ(storedRows(), (std::vector<std::pair<int, int>>(5, {1, 0})));
    EXPECT_EQ(proxy.timesSent(texts), (std::vector<int>{0, 0, 0, 0, 0}));

    collector = backend::AnalyticsCollector::start(port);
    ASSERT_TRUE(collector);
    collector->setBehaviour(Behaviour::AnswerGarbage);
    sendStored();  // half as many
    EXPECT_EQ(storedRows(), (std::vector<std::pair<int, int>>(5, {1, 0})));
    EXPECT_EQ(proxy.timesSent(texts), (std::vector<int>{1, 1, 0, 0, 0}));

    // A dropped connection while a row goes alone: its try counts.
    collector->setBehaviour(Behaviour::CutConnection);
    sendStored();
    EXPECT_EQ(storedRows().front(), (std::pair<int, int>{1, 1}));
    EXPECT_EQ(proxy.timesSent(texts), (std::vector<int>{2, 1, 0, 0, 0}));

    // Sent again only after tries whose answer never came: once answered,
    // each goes exactly once more.
    collector->setBehaviour(Behaviour::Acknowledge);
    sendStored();
    EXPECT_TRUE(storedRows().empty());
    EXPECT_EQ(proxy.timesSent(texts), (std::vector<int>{3, 2, 1, 1, 1}));
    EXPECT_EQ(proxy.sent().size(), 5u);
}

TEST_F(ReportChannel, EventsWaitingInAFileOutOfIdsReachTheCollectorOnce) {
    const std::string beforeLast = std::to_string(std::numeric_limits<std::int64_t>::max() - 1);
    CountingProxy proxy(collector->port());
    pointAt(proxy.port());
    storeFileRows(store->getDbPath(), "insert into events values(100, '{\"n\":1}', 1, 0, 1)");
    storeFileRows(store->getDbPath(), "insert into events values(" + beforeLast + ", '{\"n\":2}', 1, 0, 2)");
    store->storeEvent(event(R"({"n":3})", 3), false, [] {});  // the last id
    store->storeEvent(event(R"({"n":4})", 4), false, [] {});  // none left
    sendStored();
    EXPECT_EQ(proxy.sent(), (std::map<std::string, int>{{R"({"n":1})", 1}, {R"({"n":2})", 1}, {R"({"n":3})", 1},
                                                         {R"({"n":4})", 1}}));
    EXPECT_TRUE(storedRows().empty());
}

TEST_F(ReportChannel, AnEventTheCollectorRefusesCostsOnlyItsOwnTries) {
    // Stored by an earlier version: nested deeper than the collector reads.
    const std::string tooDeep = "{\"kv\":" + std::string(40, '[') + std::string(40, ']') + "}";
    for (std::uint32_t ts = 1; ts <= 7; ++ts) {
        store->storeEvent(event(ts == 4 ? tooDeep : "{\"n\":" + std::to_string(ts) + "}", ts), false, [] {});
    }
    int sends = 0;
    for (; sends < 12 && !storedRows().empty(); ++sends) sendStored();
    EXPECT_TRUE(storedRows().empty());
    EXPECT_LE(sends, 8);
    EXPECT_GE(collector->refusedFrames(), 3);
    std::vector<std::string> received = collector->storedEvents();
    std::sort(received.begin(), received.end());
    EXPECT_EQ(received, (std::vector<std::string>{R"({"n":1})", R"({"n":2})", R"({"n":3})", R"({"n":5})", R"({"n":6})",
                                                  R"({"n":7})"}));
}

TEST_F(ReportChannel, AHostThatNeverAnswersTimesOutAndTheNextSendReconnects) {
    channel->setTimeoutForTests(0.5);
    collector->setBehaviour(backend::AnalyticsCollector::Behaviour::Silent);
    storeEvents(3);
    store->sendCachedEvents(-1);
    ASSERT_TRUE(runUntil([&] { return collector->acceptedFrames() == 1; }));
    // One stored batch at a time: a second send while it waits does nothing.
    // Rows in flight are not charged a try until the try fails.
    store->sendCachedEvents(-1);
    EXPECT_EQ(storedRows(), (std::vector<std::pair<int, int>>(3, {2, 0})));

    ASSERT_TRUE(runUntil([&] { return storedRows().front().first == 1; }, kGiveUpAfterSeconds)) << "no reply in time";
    collector->setBehaviour(backend::AnalyticsCollector::Behaviour::Acknowledge);
    sendStored();
    EXPECT_TRUE(storedRows().empty());
    EXPECT_EQ(collector->storedEventCount(), 3);
    EXPECT_EQ(collector->acceptedFrames(), 3) << "after the failed batch of three: one row, then two";
    EXPECT_EQ(collector->connections(), 2);
}

TEST_F(ReportChannel, ASlowCollectorGetsTheRequestWholeOnceOrNotAtAll) {
    // Random letters: the frame is far more than the collector's buffers
    // hold, and draining it at its pace takes several time-outs.
    std::minstd_rand random(7);
    std::vector<RPOUTAStoreEvent> batch(120, RPOUTAStoreEvent{0, 1, 0, "", 1});
    for (auto& row : batch) {
        while (row.content.size() < 4000) row.content += static_cast<char>('a' + random() % 26);
        row.content = "{\"r\":\"" + row.content + "\"}";
    }
    // A collector that reads 4 KiB every 10 ms, and one that stops reading until the unit failed.
    for (bool stalls : {false, true}) {
        std::atomic<bool> unitEnded{false};
        ScriptedReplyServer server(reply("{\"ret\":0}"), "", [&](std::size_t read) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stalls ? 0 : 10));
            while (stalls && read >= 16384 && !unitEnded) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        pointAt(server.port());
        channel = make<RPOUTASocket>();
        channel->setTimeoutForTests(0.25);
        EXPECT_EQ(sendOne(batch), !stalls);
        unitEnded = true;
        ASSERT_TRUE(eventually([&] { return server.connectionsEnded() == 1; }));
        EXPECT_EQ(server.wholeFrames(), stalls ? 0 : 1) << "told failed, the rest of the frame never arrives";
    }
}

TEST_F(ReportChannel, InMemoryEventsGoOutInBatchesAndAFailedBatchIsStored) {
    auto sendMemory = [&](int count) {
        for (int i = 1; i <= count; ++i) store->enqueueMemEvent(event("{\"m\":" + std::to_string(i) + "}"));
        store->sendMemCachedEvents(-1);
        store->taskQueue()->sync([] {});
        return runUntil(
            [&] {
                bool idle = false;
                store->taskQueue()->sync([&] { idle = !store->isSendingMemCacheEvent() && store->memCachedEventCount() == 0; });
                return idle;
            },
            20);
    };
    ASSERT_TRUE(sendMemory(35));
    EXPECT_EQ(collector->storedEventCount(), 35);
    EXPECT_EQ(collector->acceptedFrames(), 2) << "30, then 5";
    EXPECT_EQ(collector->storedEvents().front(), "{\"m\":1}");

    // With the collector down the batches go into the file, in order.
    collector->stop();
    ASSERT_TRUE(sendMemory(35));
    const auto rows = storeFileRows(store->getDbPath(), "select content from events order by event_id");
    ASSERT_EQ(rows.size(), 35u);
    EXPECT_EQ(rows.front()[0], "{\"m\":1}");
    EXPECT_EQ(rows.back()[0], "{\"m\":35}");
    EXPECT_EQ(store->storedEventCount(), 35u);
}

TEST_F(ReportChannel, TheLibrarysChannelOutlivesTheTest) {
    // Still connected when the process ends.
    channel = RPOUTASocket::getInstance();
    EXPECT_TRUE(sendOne(event("{\"n\":1}")));
    EXPECT_EQ(channel, RPOUTASocket::getInstance());
}

TEST_F(ReportChannel, AResetStartsWithoutAReportHostAsANewProcessDoes) {
    UTAResetForTests();
    EXPECT_EQ(RPOUTAReportHost::host(), "");
    EXPECT_EQ(RPOUTAReportHost::port(), RPOUTAReportHost::kDefaultPort);
    EXPECT_FALSE(sendOne(event("{\"n\":1}"))) << "nowhere to deliver";
    EXPECT_EQ(collector->connections(), 0);
}
