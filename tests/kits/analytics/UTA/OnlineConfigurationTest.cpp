// The online configuration: records, versions, the library keys and the
// application properties, and the plug-in hooks that follow from them.
#include <gtest/gtest.h>

#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPluginNotify.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTANumericCompare.h"
#include "tests/kits/analytics/UTA/AnalyticsStateFixture.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TempSandbox.h"

namespace {

// A wire record: content, version and digest.
Dictionary record(Dictionary content, long long version) {
    Dictionary fields;
    fields.set("c", std::move(content));
    fields.set("v", version);
    fields.set("m", "d41d8cd98f00b204e9800998ecf8427e");
    return fields;
}

Dictionary answerWith(const Dictionary& library, const Dictionary& application = {}) {
    Dictionary records;
    if (!library.empty()) records.set("1", library);
    if (!application.empty()) records.set("2", application);
    Dictionary answer;
    answer.set("ret", 0);
    answer.set("cfg", records);
    return answer;
}

class SpeedTester : public NSObject, public RPOUTASpeedTestProtocol {
public:
    void startTest(const std::string& target) override { targets.push_back(target); }
    std::vector<std::string> targets;
};

class OnlineConfiguration : public MainLoopFixture {
protected:
    void SetUp() override {
        UTAResetForTests();
        RPOUTAConfig::getInstance()->setDebugEnable(true);
    }
    void TearDown() override { UTAResetForTests(); }

    TempSandbox sandbox;
    NSLogCapture log;
    Ref<RPOUTADataConfigHolder> holder = make<RPOUTADataConfigHolder>();
};

}  // namespace

TEST(UTANumericCompare, OrdersDigitRunsByValue) {
    EXPECT_EQ(UTANumericCompare("2.1.1", "2.1.1"), 0);
    EXPECT_EQ(UTANumericCompare("2.1.2", "2.1.1"), 1);
    EXPECT_EQ(UTANumericCompare("2.0", "2.1.1"), -1);
    EXPECT_EQ(UTANumericCompare("3", "2.1.1"), 1);
    EXPECT_EQ(UTANumericCompare("2.1.10", "2.1.9"), 1);
    EXPECT_EQ(UTANumericCompare("2.1", "2.1.0"), -1);
}

TEST_F(OnlineConfiguration, ANewerLibraryRecordIsAppliedAndStoredAnOlderOneIgnored) {
    Dictionary content;
    content.set("rs", 7);
    holder->updateConfig(Value(record(content, 3)), 1);
    EXPECT_EQ(RPOUTAConfig::getInstance()->reportStrategy(), 7);
    ASSERT_TRUE(holder->getConfig(1));
    EXPECT_EQ(holder->getConfig(1)->version, 3u);

    content.set("rs", 2);
    holder->updateConfig(Value(record(content, 3)), 1);
    EXPECT_EQ(RPOUTAConfig::getInstance()->reportStrategy(), 7);
    EXPECT_TRUE(log.contains("[UTA] [WARN]Local has version:3 for config:1, while remote has version:3"));
    holder->updateConfig(Value(record(content, 4)), 1);
    EXPECT_EQ(RPOUTAConfig::getInstance()->reportStrategy(), 2);

    // The stored record comes back in a new holder.
    RPOUTAStore::getInstance()->taskQueue()->sync([] {});
    std::vector<Ref<RPOUTADataConfig>> stored;
    RPOUTAStore::getInstance()->loadConfig([&](const Ref<RPOUTADataConfig>& config) { stored.push_back(config); });
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->version, 4u);
    EXPECT_EQ(stored[0]->content, R"({"rs":2})");

    Dictionary announced;
    holder->encode(announced);
    EXPECT_EQ(announced["cfg"]["1"]["v"].intValue(), 4);
    EXPECT_TRUE(announced["cfg"]["2"].dictionary()->empty());
}

TEST_F(OnlineConfiguration, TheLibraryKeysSwitchTheServiceAndNeverBack) {
    auto config = RPOUTAConfig::getInstance();
    auto helper = RPOUTAHelper::getInstance();
    helper->setUTAEnableFlag(true);

    Dictionary content;
    content.set("rs", "fast");
    content.set("autoTM", 1);
    content.set("__HIBERNATE__", "2.1.0");
    content.set("__INSTANT_EI_LIST__", "buy;pay");
    content.set("__DONT_REPORT_EI_LIST__", "scroll");
    content.set("__UTA_TEST_SPEED__", "127.0.0.1");
    holder->updateConfig(Value(record(content, 1)), 1);
    EXPECT_EQ(config->reportStrategy(), 3);
    EXPECT_TRUE(config->autoTM());
    EXPECT_TRUE(config->statEnable());
    EXPECT_EQ(helper->getEnv()->instantEventList(), (std::vector<std::string>{"buy", "pay"}));
    EXPECT_EQ(helper->getEnv()->ignoreEventList(), std::vector<std::string>{"scroll"});
    EXPECT_TRUE(log.contains("[UTA] 立即上传的自定义事件id列表:buy;pay"));
    EXPECT_EQ(helper->speedTestStr(), "127.0.0.1");

    Dictionary kill;
    kill.set("av", helper->getEnv()->app_version());
    Dictionary next;
    next.set("autoTM", 0);
    next.set("__HIBERNATE__", "2.1.1");
    next.set("__UTA_KILL__", kill);
    next.set("__NEW_CRASH_IS_ON__", 1);
    holder->updateConfig(Value(record(next, 2)), 1);
    EXPECT_FALSE(config->autoTM());
    EXPECT_FALSE(config->statEnable());
    EXPECT_FALSE(helper->checkUTAEnable());
    EXPECT_TRUE(helper->reportNewCrashReport());
    // Lists stay when a later record leaves them out; the speed test goes.
    EXPECT_EQ(helper->getEnv()->instantEventList(), (std::vector<std::string>{"buy", "pay"}));
    EXPECT_EQ(helper->speedTestStr(), "");

    holder->updateConfig(Value(record(Dictionary(), 3)), 1);
    EXPECT_FALSE(config->statEnable());
    EXPECT_FALSE(config->autoTM());
}

TEST_F(OnlineConfiguration, ApplicationPropertiesAnswerCustomProperties) {
    EXPECT_EQ(RPOUTAConfig::getInstance()->getCustomProperty("banner", "off"), "off");
    RPOUTADataConfigHolder::initSingleton({});
    auto shared = RPOUTADataConfigHolder::getInstance();
    ASSERT_TRUE(shared);
    Dictionary properties;
    properties.set("banner", "on");
    properties.set("limit", 5);
    shared->updateOnlineConfig(Value(answerWith({}, record(properties, 1))));
    EXPECT_EQ(RPOUTAConfig::getInstance()->getCustomProperty("banner", "off"), "on");
    EXPECT_EQ(RPOUTAConfig::getInstance()->getCustomProperty("limit", "0"), "5");
    EXPECT_EQ(RPOUTAConfig::getInstance()->getCustomProperty("other", "x"), "x");
}

TEST_F(OnlineConfiguration, MalformedRecordsAndAnswersChangeNothing) {
    Dictionary noDigest;
    noDigest.set("c", Dictionary());
    noDigest.set("v", 9);
    holder->updateConfig(Value(noDigest), 1);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Failed to decode config for"));
    EXPECT_FALSE(log.contains("Not NSDictionary for decoded config"));

    Dictionary badVersion = record(Dictionary(), 1);
    badVersion.set("v", "9");
    holder->updateConfig(Value(badVersion), 1);
    EXPECT_TRUE(log.contains("[UTA] Not NSDictionary for decoded config version:NSString"));

    auto unreadable = make<RPOUTADataConfig>();
    unreadable->type = 1;
    unreadable->content = "[1,2]";
    holder->setConfig(unreadable);
    EXPECT_TRUE(log.contains("[UTA] Not NSDictionary for decoded response config object:NSArray"));
    EXPECT_FALSE(holder->getConfig(1));

    // An answer that carries "mid" is not read for configuration.
    Dictionary content;
    content.set("rs", 6);
    Dictionary answer = answerWith(record(content, 1));
    answer.set("mid", "m-1");
    holder->updateOnlineConfig(Value(answer));
    EXPECT_EQ(RPOUTAConfig::getInstance()->reportStrategy(), 3);
}

TEST_F(OnlineConfiguration, ConfigUpdatesAreAnnouncedOncePerProcess) {
    int updates = 0;
    auto token = NSNotificationCenter::defaultCenter()->addObserverForName(
        "RPOUTA_CONFIG_UPDATED", nullptr, [&](const Ref<NSNotification>&) { ++updates; });
    holder->updateOnlineConfig(Value());
    holder->updateOnlineConfig(Value(answerWith({})));
    RPOUTAPluginNotify::sendNotification("RPOUTA_CONFIG_UPDATED", nullptr);
    ASSERT_TRUE(runUntil([&] { return updates > 0; }));
    runUntil([] { return false; }, 0.1);  // a second announcement would follow within it
    EXPECT_EQ(updates, 1);
    NSNotificationCenter::defaultCenter()->removeObserver(token);
}

TEST_F(OnlineConfiguration, ASpeedTestStartsOnceTheConfigurationAsksForIt) {
    auto tester = make<SpeedTester>();
    RPOUTASpeedTestPlugin::sharedInstance()->setSpeedTestProtocol(tester);
    EXPECT_TRUE(tester->targets.empty());
    Dictionary content;
    content.set("__UTA_TEST_SPEED__", "speed.example");
    holder->updateConfig(Value(record(content, 1)), 1);
    RPOUTASpeedTestPlugin::sharedInstance()->setSpeedTestProtocol(tester);
    EXPECT_EQ(tester->targets, std::vector<std::string>{"speed.example"});
}

namespace {

class OwnMidPlugin : public RPOUTAMidPlugin {
public:
    std::string className() const override { return "OwnMidPlugin"; }
};

class AdvertisingSource : public NSObject, public RPOUTAIDFAProtocol {
public:
    std::optional<std::string> getIDFA() override { return "AD-1"; }
};

using AnalyticsPlugins = AnalyticsStateFixture;

}  // namespace

TEST_F(AnalyticsPlugins, TheFirstClassToAskMakesTheSharedHolder) {
    auto first = RPOUTAMidPlugin::getInstance<OwnMidPlugin>();
    EXPECT_EQ(first->className(), "OwnMidPlugin");
    EXPECT_EQ(RPOUTAMidPlugin::getInstance(), first);
}

TEST_F(AnalyticsPlugins, QueriesAndTheAdvertisingIdentifierSource) {
    auto config = RPOUTAConfig::getInstance();
    EXPECT_EQ(RPOUTA::getAppVersion(), RPOUTAHelper::getInstance()->getEnv()->app_version());
    config->setCustomerAppVersion(std::string("9.9"));
    EXPECT_EQ(RPOUTA::getAppVersion(), "9.9");
    config->setCustomerAppVersion(std::nullopt);
    EXPECT_EQ(RPOUTA::getUTAVersion(), "2.1.1");
    EXPECT_EQ(RPOUTA::getUTAConfigIDFA(), std::nullopt);

    auto event = make<RPOUTACustomEvent>();
    EXPECT_EQ(event->toJsonString().find("\"ifa\""), std::string::npos);
    RPOUTAPluginIDFA::getInstance()->setDelegate(make<AdvertisingSource>());
    EXPECT_NE(event->toJsonString().find("\"ifa\":\"AD-1\""), std::string::npos);
    config->setIfa(std::string("CONF"));
    EXPECT_NE(event->toJsonString().find("\"ifa\":\"CONF\""), std::string::npos);
    config->setIfa(std::nullopt);
    RPOUTAPluginIDFA::getInstance()->setDelegate(nullptr);
}
