// The Ripple kit's analytics bridge: the app key, the start through
// registration, and the background event.
#include "foundation/NSNotificationCenter.h"
#include "kits/ripple/RMApiRegister.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/UTARP.h"
#include "tests/kits/analytics/UTA/AnalyticsServiceFixture.h"
#include "uikit/UIApplication.h"

TEST(UTARP, TheAppKeyIsTheIdBehindAFixedPrefix) {
    EXPECT_EQ(UTARP::ConvertRPappkey(std::nullopt), std::nullopt);
    const std::string id = "rp0123456789abcdef";
    const auto key = UTARP::ConvertRPappkey(id);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->size(), id.size() + 5);
    EXPECT_EQ(key->substr(5), id);
    EXPECT_EQ(UTARP::ConvertRPappkey(std::string("")), key->substr(0, 5));
}

// The bridge's key and the registrar's background observer are the kit's
// own process-wide state: each test starts and ends without them.
class RippleAnalyticsBridge : public AnalyticsServiceFixture {
protected:
    void SetUp() override {
        AnalyticsServiceFixture::SetUp();
        forgetBridge();
    }
    void TearDown() override {
        forgetBridge();
        AnalyticsServiceFixture::TearDown();
    }
    static void forgetBridge() {
        UTARP::getInstance()->setAppkey(std::nullopt);
        NSNotificationCenter::defaultCenter()->removeObserver(RMApiRegister::shareInstance());
    }
};

TEST_F(RippleAnalyticsBridge, RegisteringWithoutAnalyticsStartsNothing) {
    ASSERT_TRUE(RPApi::registerApp(std::string("rpquiet"), false));
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidEnterBackgroundNotification);
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), std::nullopt);
    EXPECT_EQ(UTAExistingInstance(), nullptr);
    EXPECT_EQ(UTARP::getInstance()->appkey(), std::nullopt);
}

TEST_F(RippleAnalyticsBridge, RegisteringWithAnalyticsStartsItAndEachBackgroundMoveSendsAnEvent) {
    ASSERT_TRUE(RPApi::registerApp(std::string("rpabc"), true));
    const auto key = UTARP::ConvertRPappkey(std::string("rpabc"));
    EXPECT_EQ(UTARP::getInstance()->appkey(), key);
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), key);
    EXPECT_EQ(storedEvents(2).size(), 1u);

    // Real-time events go out at once; without a network they wait in the store.
    SCNetworkReachability::setFakeFlags(0);
    for (int move = 0; move < 2; ++move) {
        NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidEnterBackgroundNotification);
    }
    auto events = storedEvents(1000);
    ASSERT_EQ(events.size(), 2u);
    for (auto& event : events) {
        EXPECT_EQ(event["ei"].stringValue(), "onBackground_RP");
        EXPECT_EQ(event["ky"].stringValue(), key);
        EXPECT_EQ(event.find("kv"), nullptr);
    }
    EXPECT_TRUE(log.contains("[UTA] Store event since no active network."));
}

TEST_F(RippleAnalyticsBridge, ANilIdStartsTheLibraryWithANilKeyWhichItRefuses) {
    EXPECT_FALSE(RMApiRegister::registerApp(std::nullopt, 0, true));
    UTARP::startWithAppkey(std::nullopt);
    EXPECT_TRUE(log.contains("[UTA] [ERROR]Failed to start uta sdk with nil/empty appkey."));
    EXPECT_EQ(RPOUTAConfig::getInstance()->appkey(), std::nullopt);
}
