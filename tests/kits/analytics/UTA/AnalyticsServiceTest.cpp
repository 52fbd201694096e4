// The analytics service: start-up, sessions, the intake and the report
// policy, observed through what reaches the event store.
#include <atomic>
#include <ctime>
#include <thread>

#include "foundation/NSNotificationCenter.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"
#include "tests/kits/analytics/UTA/AnalyticsServiceFixture.h"
#include "uikit/UIApplication.h"

namespace {

using AnalyticsService = AnalyticsServiceFixture;

// The next local midnight after `seconds`.
double nextLocalMidnight(double seconds) {
    const auto time = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&time, &local);
    return seconds + 86400 - (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
}

class InstallReporter : public NSObject, public RPOUTAInstallProtocol {
public:
    bool checkReportEnable() override { return enable; }
    std::optional<std::string> getInstallChannel() override { return "store-a"; }
    void reportInstallEvent() override { ++reports; }
    bool enable = false;
    int reports = 0;
};

}  // namespace

TEST_F(AnalyticsService, StartingChainsTheKeysOpensASessionAndTellsPluginsOnce) {
    int started = 0;
    Ref<NSObject> sender;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        "RPOUTA_MAIN_SERVICE_START_NOTIFICATION", nullptr, [&](const Ref<NSNotification>& notification) {
            ++started;
            sender = notification->object();
        });
    RPOUTA::startWithAppkey(std::string(""));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Failed to start uta sdk with nil/empty appkey."));
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), std::nullopt);

    RPOUTA::startWithAppkey(std::string("k1"));
    // One session for all starts, the first of the process, with the
    // configuration versions it holds (none yet).
    auto sessions = storedEvents(2);
    ASSERT_EQ(sessions.size(), 1u);
    EXPECT_EQ(sessions[0]["hs"].intValue(), 1);
    EXPECT_EQ(sessions[0]["ky"].stringValue(), "k1");
    EXPECT_EQ(NSJSONSerialization::dataWithJSONObject(sessions[0]["cfg"])->toString(), R"({"1":{},"2":{}})");
    RPOUTA::startWithAppkey(std::string("k2"));
    RPOUTA::startWithAppkey(std::string("k3"));
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), "k3|k2|k1");
    EXPECT_TRUE(log.contains("[UTA] UTA instance started"));
    ASSERT_TRUE(runUntil([&] { return started > 0; }));
    runUntil([] { return false; }, 0.1);  // a second announcement would follow within it
    EXPECT_EQ(started, 1);
    ASSERT_TRUE(sender);
    EXPECT_EQ(sender->className(), "RPOUTA");
    EXPECT_EQ(storedEvents(2).size(), 1u);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(AnalyticsService, AStartThatRequiresANewerLibrarySwitchesStatisticsOff) {
    EXPECT_TRUE(RPOUTA::startWithAppkey(std::string("a"), "2.1.1"));
    EXPECT_TRUE(RPOUTA::startWithAppkey(std::string("b"), "2.0"));
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), "b|a");
    EXPECT_FALSE(RPOUTA::startWithAppkey(std::string("c"), "2.1.2"));
    EXPECT_FALSE(RPOUTAConfig::getInstance()->statEnable());
    EXPECT_FALSE(RPOUTA::startWithAppkey(std::string("d"), "3"));
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("x"), std::nullopt), -1);
    RPOUTAConfig::getInstance()->setStatEnable(true);
}

TEST_F(AnalyticsService, SessionsOpenAfterIdlenessAfterStopAndAfterLocalMidnight) {
    RPOUTA::startWithAppkey(std::string("k"));
    const std::uint32_t first = UTACurrentSessionId();
    EXPECT_NE(first, 0u);

    now += 29;
    RPOUTA::startNewSession();
    EXPECT_EQ(storedEvents(2).size(), 1u);
    now += 29;  // measured from the last check, not the session's start
    RPOUTA::startNewSession();
    EXPECT_EQ(storedEvents(2).size(), 1u);
    now += 30;
    RPOUTA::startNewSession();
    EXPECT_EQ(storedEvents(2).size(), 2u);

    RPOUTA::stopSession();
    now += 1;
    RPOUTA::startNewSession();
    EXPECT_EQ(storedEvents(2).size(), 3u);

    // An event never opens a session for idleness, but does after midnight.
    now += 100;
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("idle"), std::nullopt), 0);
    EXPECT_EQ(storedEvents(2).size(), 3u);
    now = nextLocalMidnight(now);
    EXPECT_EQ(RPOUTA::trackCustomEvent(std::string("late"), std::nullopt), 0);
    auto events = storedEvents();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2]["et"].intValue(), 2);
    EXPECT_EQ(events.back()["ei"].stringValue(), "late");
    EXPECT_EQ(events.back()["si"].longLongValue(), events[events.size() - 2]["si"].longLongValue());
    EXPECT_EQ(storedEvents(2)[1].find("hs"), nullptr);
}

TEST_F(AnalyticsService, ThePerSessionCapCountsTheSessionAndAdditionEvents) {
    auto config = RPOUTAConfig::getInstance();
    config->setMaxSessionStatReportCount(5);
    config->setPal(std::string("10086"));
    RPOUTA::startWithAppkey(std::string("k"));
    for (int i = 0; i < 6; ++i) RPOUTA::trackCustomEvent(std::to_string(i), std::nullopt);
    EXPECT_EQ(storedEvents(2).size(), 1u);
    EXPECT_EQ(storedEvents(1001).size(), 1u);
    EXPECT_EQ(storedEvents(1000).size(), 3u);

    now += 60;
    RPOUTA::startNewSession();
    for (int i = 6; i < 12; ++i) RPOUTA::trackCustomEvent(std::to_string(i), std::nullopt);
    EXPECT_EQ(storedEvents(1000).size(), 6u);
    config->setMaxSessionStatReportCount(-1);
    config->setPal(std::nullopt);
}

TEST_F(AnalyticsService, EventsRecordedBeforeTheInstanceWaitAndGoOldestFirst) {
    for (int i = 0; i < 130; ++i) {
        Dictionary property;
        property.set("n", i);
        RPOUTA::setUserProperty(property);
    }
    EXPECT_TRUE(log.contains("[UTA] [WARN]UTA's init method is NOT invoked."));
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Too many cached sending events befor UTA started."));
    RPOUTA::startWithAppkey(std::string("k"));
    auto events = storedEvents();
    ASSERT_EQ(events.size(), 129u);
    for (int i = 0; i < 128; ++i) EXPECT_EQ(events[i]["cp"]["n"].intValue(), i);
    EXPECT_EQ(events[128]["et"].intValue(), 2);
}

TEST_F(AnalyticsService, EventsWaitingForTheInstanceGoBeforeThoseOfAnyThreadThatSubmitsMeanwhile) {
    const auto submit = [](const char* key, int value) {
        Dictionary property;
        property.set(key, value);
        RPOUTA::setUserProperty(property);
    };
    std::vector<int> waiting;
    for (int i = 0; i < 128; ++i) {
        submit("n", i);
        waiting.push_back(i);
    }
    RPOUTA::getInstance();
    // Threads submit at once: whichever dispatches the waiting events, the
    // others' go behind them.
    constexpr int kThreads = 4, kEach = 30;
    std::atomic<int> started{0};
    std::vector<std::thread> threads;
    for (int thread = 0; thread < kThreads; ++thread) {
        threads.emplace_back([&] {
            ++started;
            while (started < kThreads) std::this_thread::yield();
            for (int i = 0; i < kEach; ++i) submit("later", i);
        });
    }
    for (auto& thread : threads) thread.join();
    auto events = storedEvents();
    ASSERT_EQ(events.size(), waiting.size() + kThreads * kEach);
    std::vector<int> first;
    for (int i = 0; i < 128; ++i) first.push_back(events[i]["cp"]["n"].isNil() ? -1 : events[i]["cp"]["n"].intValue());
    EXPECT_EQ(first, waiting);
}

TEST_F(AnalyticsService, TheReportStrategiesOnACellularLinkAndWithoutNetwork) {
    RPOUTA::startWithAppkey(std::string("k"));
    const std::size_t before = storedEvents().size();

    // The policy reads the settings when it runs, so each event is let through first.
    const auto track = [](std::int32_t strategy, const char* id) {
        RPOUTAConfig::getInstance()->setReportStrategy(strategy);
        RPOUTA::trackCustomEvent(std::string(id), std::nullopt);
        settle();
    };
    track(7, "seven");  // Wi-Fi only
    track(4, "four");   // Wi-Fi sends, cellular stores
    track(9, "nine");
    SCNetworkReachability::setFakeFlags(0);
    track(1, "offline");

    auto events = storedEvents();
    ASSERT_EQ(events.size(), before + 2);
    EXPECT_EQ(events[before]["ei"].stringValue(), "four");
    EXPECT_EQ(events[before + 1]["ei"].stringValue(), "offline");
    EXPECT_TRUE(log.contains("[UTA] Disard event since no active wifi network."));
    EXPECT_TRUE(log.contains("[UTA] Not supported report strategy:9"));
    EXPECT_TRUE(log.contains("[UTA] Store event since no active network."));
}

TEST_F(AnalyticsService, ThePeriodicStrategyFirstRecordsTheTimeThenSendsWhenThePeriodRanOut) {
    auto config = RPOUTAConfig::getInstance();
    auto defaults = NSUserDefaults::standardUserDefaults();
    RPOUTA::startWithAppkey(std::string("k"));
    config->setReportStrategy(5);
    config->setSendPeriodMinutes(1);
    RPOUTA::trackCustomEvent(std::string("a"), std::nullopt);
    settle();
    EXPECT_EQ(defaults->integerForKey("UTA_SDK_DATA_SENT_TS"), static_cast<long>(now));
    const long recorded = static_cast<long>(now);
    now += 59;
    RPOUTA::trackCustomEvent(std::string("b"), std::nullopt);
    settle();
    EXPECT_EQ(defaults->integerForKey("UTA_SDK_DATA_SENT_TS"), recorded);
    now += 1;
    RPOUTA::trackCustomEvent(std::string("c"), std::nullopt);
    settle();
    EXPECT_EQ(defaults->integerForKey("UTA_SDK_DATA_SENT_TS"), static_cast<long>(now));
    config->setSendPeriodMinutes(1440);
}

TEST_F(AnalyticsService, TheIgnoreListDropsCustomEvents) {
    RPOUTA::startWithAppkey(std::string("k"));
    RPOUTAHelper::getInstance()->getEnv()->setIgnoreEventList({"noise"});
    RPOUTA::trackCustomEvent(std::string("noise"), std::nullopt);
    RPOUTA::trackCustomEvent(std::string("signal"), std::nullopt);
    auto custom = storedEvents(1000);
    ASSERT_EQ(custom.size(), 1u);
    EXPECT_EQ(custom[0]["ei"].stringValue(), "signal");
    EXPECT_TRUE(log.contains("[UTA] 事件: noise 在忽略列表中,丢弃事件"));
    RPOUTAHelper::getInstance()->getEnv()->setIgnoreEventList({});
}

TEST_F(AnalyticsService, TheLifeCycleEndsTheCurrentPageAndBeginsItAgain) {
    RPOUTA::startWithAppkey(std::string("k"));
    RPOUTA::trackPageViewBegin(std::string("home"));
    now += 2;
    auto center = NSNotificationCenter::defaultCenter();
    center->postNotificationName(UIApplicationWillResignActiveNotification);
    auto views = storedEvents(1);
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0]["pi"].stringValue(), "home");
    EXPECT_DOUBLE_EQ(views[0]["du"].doubleValue(), 2.0);
    EXPECT_TRUE(log.contains("[UTA] nil != [[UTA getInstance] currentPage] ,currentPage is home"));
    // The active time from the start's did-become-active observer pair.
    EXPECT_EQ(storedEvents(4).size(), 0u);

    now += 5;
    center->postNotificationName(UIApplicationDidBecomeActiveNotification);
    now += 3;
    RPOUTA::trackPageViewEnd(std::string("home"));
    views = storedEvents(1);
    ASSERT_EQ(views.size(), 2u);
    EXPECT_DOUBLE_EQ(views[1]["du"].doubleValue(), 3.0);
    EXPECT_EQ(views[1]["rf"].stringValue(), "-");

    center->postNotificationName(UIApplicationWillResignActiveNotification);
    auto active = storedEvents(4);
    ASSERT_EQ(active.size(), 1u);
    EXPECT_DOUBLE_EQ(active[0]["du"].doubleValue(), 3.0);
    EXPECT_EQ(storedEvents(1).size(), 2u);  // no current page any more
}

TEST_F(AnalyticsService, AnInstallPluginIsAskedAtEverySessionEvent) {
    auto reporter = make<InstallReporter>();
    RPOUTAPluginInstall::getInstance()->setDelegate(reporter);
    RPOUTA::startWithAppkey(std::string("k"));
    auto session = storedEvents(2).at(0);
    EXPECT_EQ(session.find("mch"), nullptr);
    EXPECT_EQ(session.find("bni"), nullptr);
    EXPECT_EQ(reporter->reports, 1);

    reporter->enable = true;
    now += 60;
    RPOUTA::startNewSession();
    session = storedEvents(2).at(1);
    EXPECT_EQ(session["mch"].stringValue(), "store-a");
    EXPECT_EQ(session["bni"].intValue(), 1);
    EXPECT_EQ(reporter->reports, 2);
}
