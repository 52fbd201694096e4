// The events' JSON form: the envelope and the bodies the server reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "foundation/NSJSONSerialization.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "tests/kits/analytics/UTA/AnalyticsStateFixture.h"

namespace {

Dictionary jsonOf(RPOUTAEvent& event) {
    const Value value = NSJSONSerialization::JSONObjectWithData(NSData::fromString(event.toJsonString()));
    EXPECT_TRUE(value.isDictionary());
    return value.isDictionary() ? *value.dictionary() : Dictionary();
}

using EventModel = AnalyticsStateFixture;

}  // namespace

TEST_F(EventModel, EnvelopeAndBodies) {
    auto config = RPOUTAConfig::getInstance();
    config->setAppkey("configured");

    RPOUTAPageView page;
    page.page = "home";
    page.refer = "home";
    page.duration = 2.5;
    page.sid = 7;
    Dictionary json = jsonOf(page);
    EXPECT_EQ(json["et"].intValue(), 1);
    EXPECT_EQ(json["si"].intValue(), 7);
    EXPECT_EQ(json["rf"].description(), "-");
    EXPECT_DOUBLE_EQ(json["du"].doubleValue(), 2.5);
    EXPECT_EQ(json["ky"].description(), "configured");
    EXPECT_EQ(json["sv"].description(), "2.1.1");
    EXPECT_EQ(json["ch"].description(), "appstore");
    EXPECT_TRUE(json.contains("ut"));
    EXPECT_EQ(json["ui"].description().size(), 40u);
    EXPECT_EQ(json["tmpid"].description().size(), 36u);
    EXPECT_EQ(json["idx"].intValue(), page.eventIndex);

    RPOUTACustomEvent custom;
    custom.eventID = "buy";
    custom.appkey = "own";
    EXPECT_FALSE(jsonOf(custom).contains("du"));
    EXPECT_EQ(jsonOf(custom)["ky"].description(), "own");
    custom.duration = 1.5;
    EXPECT_DOUBLE_EQ(jsonOf(custom)["du"].doubleValue(), 1.5);
    EXPECT_EQ(jsonOf(custom)["et"].intValue(), 1000);

    RPOUTASessionEnv session;
    json = jsonOf(session);
    EXPECT_FALSE(json.contains("sv"));
    EXPECT_FALSE(json.contains("ch"));
    EXPECT_FALSE(json.contains("av"));
    EXPECT_TRUE(json.contains("ut"));
    ASSERT_TRUE(json["ev"].isDictionary());
    EXPECT_EQ((*json["ev"].dictionary())["sv"].description(), "2.1.1");
    EXPECT_EQ((*json["ev"].dictionary())["os"].intValue(), 2);

    RPOUTAErrorEvent error;
    std::string text;
    for (int line = 1; line <= 250; ++line) text += "line " + std::to_string(line) + (line < 250 ? "\n" : "");
    error.error = text;
    json = jsonOf(error);
    const std::string reported = json["er"].description();
    EXPECT_EQ(std::count(reported.begin(), reported.end(), '\n'), 199);
    EXPECT_TRUE(reported.ends_with("line 200"));
    EXPECT_TRUE(json["errkv"].isText());

    RPOUTAMonitorStatEvent monitor;
    EXPECT_FALSE(jsonOf(monitor).contains("na"));
    monitor.stat = make<RPOUTAAppMonitorStat>();
    monitor.stat->interface = "login";
    EXPECT_EQ(jsonOf(monitor)["sp"].intValue(), 1);

    config->setAccount("acc");
    RPOUTAAccountEvent account;
    json = jsonOf(account);
    EXPECT_EQ(json["pal"].description(), "acc");
    EXPECT_EQ((*json["acc"].dictionary())["t"].intValue(), 0);
    config->setAccount(std::nullopt);
    config->setAppkey(std::nullopt);

    for (int i = 0; i < 1000; ++i) EXPECT_NE(page.generateIDX(), -1);
}

TEST_F(EventModel, DurationsAreWrittenAsMeasuredWithoutFloatNoise) {
    RPOUTAPageView page;
    page.duration = 1.234f;
    RPOUTAActiveEvent active;
    active.duration = 0.1f;
    RPOUTACustomEvent custom;
    custom.duration = 86399.999f;  // the float nearest is 86400: written as that
    // The duration's text exactly, up to the next member or the end.
    const auto writes = [](RPOUTAEvent& event, const std::string& number) {
        const std::string text = event.toJsonString();
        return text.find("\"du\":" + number + ",") != std::string::npos ||
               text.find("\"du\":" + number + "}") != std::string::npos;
    };
    EXPECT_TRUE(writes(page, "1.234"));
    EXPECT_TRUE(writes(active, "0.1"));
    EXPECT_TRUE(writes(custom, "86400"));
    EXPECT_EQ(UTAFloatNumber(3.0f), Value(3.0));
    EXPECT_EQ(UTAFloatNumber(1e-7f).doubleValue(), 1e-7);
}

TEST_F(EventModel, UserTypeFollowsDaysAndAppVersions) {
    auto helper = RPOUTAHelper::getInstance();
    auto user = helper->getUser();
    ASSERT_NE(user, nullptr);
    const std::int32_t initial = user->userType;
    EXPECT_EQ(helper->getUser()->userType, initial) << "the same day changes nothing";

    user->tagTime -= 2 * 24 * 3600;
    EXPECT_EQ(helper->getUser()->userType, 1);
    EXPECT_GT(user->tagTime, static_cast<std::uint32_t>(std::time(nullptr)) - 60);

    auto env = helper->getEnv();
    const std::string version = env->app_version();
    env->setApp_version(version + ".1");
    EXPECT_EQ(helper->getUser()->userType, 3);
    EXPECT_EQ(user->appVer, version + ".1");
    env->setApp_version(version);
}
