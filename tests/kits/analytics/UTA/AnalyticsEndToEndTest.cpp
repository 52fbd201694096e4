// The analytics library end to end against the local back end's collector:
// an app starts it, records, and the collector receives exactly the events,
// in batches, at once for real-time events, after the store's cap, after an
// online configuration changed the strategy, and after a restart.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "backend/AnalyticsCollector.h"
#include "foundation/AppSandbox.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "tests/kits/analytics/UTA/AnalyticsServiceFixture.h"
#include "tests/support/Eventually.h"

extern char** environ;

namespace {

constexpr const char* kRestartFolder = "VELMARO_UTA_RESTART_SANDBOX";

// The events the collector holds, as JSON objects, in arrival order.
std::vector<Dictionary> collected(backend::AnalyticsCollector& collector) {
    std::vector<Dictionary> events;
    for (const auto& text : collector.storedEvents()) {
        const Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(text));
        if (const Dictionary* event = parsed.dictionary()) events.push_back(*event);
    }
    return events;
}

// "et" with the page or event id of each event, sorted: batches go out
// oldest first, in no particular order among events of the same second.
std::vector<std::string> summary(const std::vector<Dictionary>& events) {
    std::vector<std::string> lines;
    for (const auto& event : events) {
        std::string line = event["et"].description();
        if (auto page = event["pi"].stringValue()) line += " " + *page;
        if (auto id = event["ei"].stringValue()) line += " " + *id;
        lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

class AnalyticsEndToEnd : public AnalyticsServiceFixture {
protected:
    void SetUp() override {
        AnalyticsServiceFixture::SetUp();
        ASSERT_TRUE(collector);
        RPOUTAReportHost::setHost(backend::AnalyticsCollector::kHost, static_cast<std::uint16_t>(collector->port()));
    }
    void TearDown() override {
        RPOUTAReportHost::setHost("");
        // The channel keeps its connection open: it has to see the collector
        // go while the process still runs, not during its exit.
        if (collector && collector->connections() > 0) {
            collector->stop();
            EXPECT_TRUE(runUntil([&] { return log.contains("DidDisconnect:withError:"); }));
        }
        AnalyticsServiceFixture::TearDown();
    }

    // Waits until the collector holds `count` events, then a moment more to
    // see that no others follow.
    std::vector<Dictionary> collectedWhenThereAre(std::size_t count) {
        EXPECT_TRUE(runUntil([&] { return collector->storedEventCount() >= static_cast<long long>(count); }, kGiveUpAfterSeconds));
        runUntil([] { return false; }, 0.2);
        return collected(*collector);
    }

    std::unique_ptr<backend::AnalyticsCollector> collector = backend::AnalyticsCollector::start();
};

}  // namespace

TEST_F(AnalyticsEndToEnd, AStartedAppReportsItsSessionPageViewsAndCustomEventsInABatch) {
    RPOUTAConfig::getInstance()->setReportStrategy(2);
    RPOUTAConfig::getInstance()->setMinBatchReportCount(6);
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    RPOUTA::trackPageViewBegin(std::string("home"));
    now += 2;
    RPOUTA::trackPageViewEnd(std::string("home"));
    Dictionary sku;
    sku.set("sku", "gift-7");
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("buy"), sku), 0);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("share"), Array{Value("qr")}), 0);
    RPOUTA::trackPageViewBegin(std::string("list"));
    RPOUTA::trackPageViewEnd(std::string("list"));
    settle();
    EXPECT_EQ(collector->storedEventCount(), 0);  // five stored, the batch needs six
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("pay"), std::nullopt), 0);

    auto events = collectedWhenThereAre(6);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1 home", "1 list", "1000 buy", "1000 pay", "1000 share", "2"}));
    EXPECT_EQ(collector->acceptedFrames(), 1);
    EXPECT_EQ(events[0]["et"].intValue(), 2);  // the oldest
    for (auto& event : events) {
        EXPECT_EQ(event["ky"].stringValue(), "velmaro-app");
        EXPECT_EQ(event["si"].longLongValue(), events[0]["si"].longLongValue());
        if (event["pi"].stringValue() == "home") {
            EXPECT_EQ(event["du"].doubleValue(), 2.0);
        }
        if (event["pi"].stringValue() == "list") {
            EXPECT_EQ(event["rf"].stringValue(), "home");
        }
        if (event["ei"].stringValue() == "buy") {
            EXPECT_EQ(event["kv"]["sku"].stringValue(), "gift-7");
        }
    }
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));
}

TEST_F(AnalyticsEndToEnd, TheCapErasesTheOldestEventsBeforeTheyAreReported) {
    RPOUTAConfig::getInstance()->setMaxStoreEventCount(4);
    RPOUTA::startWithAppkey(std::string("velmaro-app"));  // the session event, at t0
    const auto track = [&](const char* id) {
        RPOUTA::trackCustomEvent(std::string(id), std::nullopt);
        settle();
    };
    now += 1;
    track("a1");
    track("a2");  // the same second as a1
    now += 1;
    track("b");
    now += 1;
    track("c");  // the session event goes
    now += 1;
    track("d");  // a1 and a2, which share the oldest time, go together
    EXPECT_TRUE(log.contains("[UTA] Too many events stored in db, erase oldest event"));

    RPOUTA::commitCachedStats(-1);
    auto events = collectedWhenThereAre(3);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1000 b", "1000 c", "1000 d"}));
    EXPECT_EQ(collected(*collector)[0]["ei"].stringValue(), "b");
}

TEST_F(AnalyticsEndToEnd, AnOnlineConfigurationAnswerChangesTheReportStrategy) {
    ASSERT_TRUE(collector->setConfigRecord(1, R"({"rs":1,"__DONT_REPORT_EI_LIST__":"noise"})", 1));
    int updates = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        "RPOUTA_CONFIG_UPDATED", nullptr, [&](const Ref<NSNotification>&) { ++updates; });
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    RPOUTA::trackCustomEvent(std::string("stored"), std::nullopt);
    settle();
    EXPECT_EQ(collector->storedEventCount(), 0);  // strategy 6 only stores

    RPOUTA::commitCachedStats(-1);
    collectedWhenThereAre(2);
    EXPECT_TRUE(runUntil([] { return RPOUTAConfig::getInstance()->reportStrategy() == 1; }));
    EXPECT_TRUE(runUntil([&] { return updates == 1; }));
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));

    // From now on every event goes at once, and the ignored one not at all.
    RPOUTA::trackCustomEvent(std::string("noise"), std::nullopt);
    RPOUTA::trackCustomEvent(std::string("direct"), std::nullopt);
    auto events = collectedWhenThereAre(3);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1000 direct", "1000 stored", "2"}));
    EXPECT_EQ(collected(*collector).back()["ei"].stringValue(), "direct");

    // The record was stored and is announced by the next session.
    now += 60;
    RPOUTA::startNewSession();
    events = collectedWhenThereAre(4);
    EXPECT_EQ(events.back()["et"].intValue(), 2);
    EXPECT_EQ(events.back()["cfg"]["1"]["v"].intValue(), 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(AnalyticsEndToEnd, RealTimeEventsGoAtOnceWhateverTheStrategy) {
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    settle();
    RPOUTA::commitCachedStats(-1);
    collectedWhenThereAre(1);
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));

    RPOUTA::trackCustomEvent(std::string("later"), std::nullopt);
    settle();
    Dictionary props;
    props.set("screen", "promote");
    RPOUTA::trackCustomKeyValueEvent(std::string("now"), props, std::nullopt, true);
    // A stored event goes first, and the real-time one right behind it.
    auto events = collectedWhenThereAre(3);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1000 later", "1000 now", "2"}));
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));

    RPOUTA::trackCustomKeyValueEvent(std::string("again"), props, std::nullopt, true);
    events = collectedWhenThereAre(4);
    EXPECT_EQ(events.back()["ei"].stringValue(), "again");
    EXPECT_TRUE(storedEvents().empty());
}

TEST_F(AnalyticsEndToEnd, UnderTheMemoryStrategyTheStoredEventsGoWithTheQueue) {
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    RPOUTA::trackCustomEvent(std::string("stored"), std::nullopt);
    settle();
    EXPECT_EQ(collector->storedEventCount(), 0);  // strategy 6 only stores
    RPOUTAConfig::getInstance()->setReportStrategy(8);
    RPOUTAConfig::getInstance()->setMinBatchReportCount(1);
    RPOUTA::trackCustomEvent(std::string("in memory"), std::nullopt);
    auto events = collectedWhenThereAre(3);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1000 in memory", "1000 stored", "2"}));
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));
}

TEST_F(AnalyticsEndToEnd, EventsNestedDeeperThanTheCollectorReadsAreRefusedWhenTracked) {
    // Properties `depth` levels deep: a dictionary holding arrays.
    const auto nested = [](int depth) {
        Value inner = Array{Value(1)};
        for (int level = 2; level < depth; ++level) inner = Array{inner};
        Dictionary props;
        props.set("d", inner);
        return props;
    };
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("deepest"), nested(30)), 0);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("too deep"), nested(31)), 1000);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Event content nested too deep to report: more than 30 levels"));
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEvent(std::string("far too deep"), nested(41)), 1000);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("args"), Array{Value(nested(30))}), 1000);
    EXPECT_EQ(RPOUTA::trackCustomKeyValueEventBegin(std::string("timed"), nested(31)), 1000);
    RPOUTA::setUserProperty(nested(31));
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("plain"), std::nullopt), 0);
    settle();

    RPOUTA::commitCachedStats(-1);
    auto events = collectedWhenThereAre(3);
    EXPECT_EQ(summary(events), (std::vector<std::string>{"1000 deepest", "1000 plain", "2"}));
    EXPECT_EQ(collector->refusedFrames(), 0);
    EXPECT_TRUE(runUntil([] { return storedEvents().empty(); }));
}

// Run by the restart test in a process of its own, on the folder it names:
// records events that are only stored, then dies before anything is sent.
TEST(AnalyticsRestart, DISABLED_RecordThenDieBeforeSending) {
    const char* folder = std::getenv(kRestartFolder);
    if (!folder) GTEST_SKIP() << "started by AnalyticsEndToEnd.EventsStoredBeforeTheProcessWasKilledGoOutAfterARestart";
    NSUserDefaults::resetStandardUserDefaults();
    ASSERT_TRUE(AppSandbox::setRoot(folder));
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN);
    RPOUTAConfig::getInstance()->setReportStrategy(6);
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    for (const char* id : {"before-kill-1", "before-kill-2", "before-kill-3"}) {
        RPOUTA::trackCustomEvent(std::string(id), std::nullopt);
    }
    RPOUTA::getInstance()->getTaskQueue()->sync([] {});
    RPOUTAStore::getInstance()->taskQueue()->sync([] {});
    ASSERT_EQ(RPOUTAStore::getInstance()->getStoredEventsNum(), 4u);
    raise(SIGKILL);
}

TEST_F(AnalyticsEndToEnd, EventsStoredBeforeTheProcessWasKilledGoOutAfterARestart) {
    setenv(kRestartFolder, sandbox.path().c_str(), 1);
    char program[] = "/proc/self/exe";
    char filter[] = "--gtest_filter=AnalyticsRestart.DISABLED_RecordThenDieBeforeSending";
    char disabled[] = "--gtest_also_run_disabled_tests";
    char* arguments[] = {program, filter, disabled, nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program, nullptr, nullptr, arguments, environ), 0);
    unsetenv(kRestartFolder);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the recording process did not get as far";
    EXPECT_EQ(collector->storedEventCount(), 0);

    // A new start on the same folder sends what the killed process stored.
    RPOUTAConfig::getInstance()->setReportStrategy(3);
    NSUserDefaults::resetStandardUserDefaults();
    RPOUTA::startWithAppkey(std::string("velmaro-app"));
    // The killed process's session and events first, then the new session.
    auto events = collectedWhenThereAre(5);
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(summary({events.begin(), events.begin() + 4}),
              (std::vector<std::string>{"1000 before-kill-1", "1000 before-kill-2", "1000 before-kill-3", "2"}));
    EXPECT_EQ(events[4]["et"].intValue(), 2);
    EXPECT_NE(events[4]["si"].longLongValue(), events[0]["si"].longLongValue());
}
