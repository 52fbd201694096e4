// The byte tools of the report frames, the reachability judgement, the
// settings defaults and the debug log.
#include <gtest/gtest.h>

#include "foundation/NSDate.h"
#include "foundation/NSLog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTABaseFunction.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAReachability/RPOUTAReachability.h"
#include "tests/kits/analytics/UTA/AnalyticsStateFixture.h"
#include "tests/support/FakeReachability.h"

namespace {

NSData bytes(std::vector<std::uint8_t> values) { return NSData(std::move(values)); }

using AnalyticsSettings = AnalyticsStateFixture;
// The helper collects the device identity into the test's sandbox.
using AnalyticsPrimitives = AnalyticsStateFixture;

}  // namespace

TEST_F(AnalyticsPrimitives, RC4MatchesTheKeyedStreamAndUndoesItself) {
    NSData data = NSData::fromString("abc");
    RPOUTAHelper::ChiperRC4(data);
    EXPECT_EQ(data, bytes({0x04, 0x26, 0xf8}));
    RPOUTAHelper::ChiperRC4(data);
    EXPECT_EQ(data.toString(), "abc");
    NSData empty;
    RPOUTAHelper::ChiperRC4(empty);
    EXPECT_TRUE(empty.empty());
}

TEST_F(AnalyticsPrimitives, GZipAndGUnzip) {
    NSData out;
    EXPECT_EQ(RPOUTAHelper::GZip(NSData(), &out), -1);
    EXPECT_EQ(RPOUTAHelper::GZip(NSData::fromString("x"), nullptr), -1);

    // One byte, and a body larger than one output chunk, both ways.
    for (const NSData& body : {NSData::fromString("x"), NSData(std::vector<std::uint8_t>(100000, 'a'))}) {
        NSData zipped, unzipped;
        ASSERT_EQ(RPOUTAHelper::GZip(body, &zipped), 0);
        EXPECT_EQ(zipped[0], 0x1f);
        EXPECT_EQ(zipped[1], 0x8b);
        ASSERT_EQ(RPOUTAHelper::GUnzip(zipped, &unzipped), 0);
        EXPECT_EQ(unzipped, body);
    }

    // A stream made elsewhere, and a zlib stream (header found by itself).
    const NSData known = bytes({31, 139, 8, 0, 0, 0, 0, 0, 2, 3, 203, 72, 205, 201, 201, 87, 72, 204, 75, 204, 169, 44,
                                201, 76, 46, 6, 0, 227, 186, 177, 107, 15, 0, 0, 0});
    ASSERT_EQ(RPOUTAHelper::GUnzip(known, &out), 0);
    EXPECT_EQ(out.toString(), "hello analytics");
    ASSERT_EQ(RPOUTAHelper::GUnzip(bytes({120, 156, 171, 202, 201, 76, 82, 72, 202, 79, 169, 4, 0, 17, 148, 3, 128}),
                                   &out),
              0);
    EXPECT_EQ(out.toString(), "zlib body");

    // Damaged input fails cleanly and leaves the result alone.
    out = NSData::fromString("untouched");
    EXPECT_EQ(RPOUTAHelper::GUnzip(known.subdata(0, 20), &out), -1);
    NSData corrupted = known;
    corrupted.mutableBytes()[12] ^= 0xff;
    corrupted.mutableBytes()[30] ^= 0xff;
    EXPECT_EQ(RPOUTAHelper::GUnzip(corrupted, &out), -1);
    EXPECT_EQ(RPOUTAHelper::GUnzip(NSData::fromString("not compressed at all"), &out), -1);
    EXPECT_EQ(RPOUTAHelper::GUnzip(NSData(), &out), -1);
    EXPECT_EQ(out.toString(), "untouched");
}

TEST_F(AnalyticsPrimitives, MD5TextAndJSONText) {
    EXPECT_EQ(RPOUTAHelper::md5encrypt(std::string("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(RPOUTABaseFunction::md5encrypt(std::string("")), std::nullopt);
    EXPECT_EQ(RPOUTAHelper::md5encrypt(std::nullopt), std::nullopt);

    Dictionary event;
    event.set("ky", "app");
    event.set("n", 3);
    EXPECT_EQ(RPOUTABaseFunction::objToJson(Value(event)), "{\"ky\":\"app\",\"n\":3}");
    Dictionary dated;
    dated.set("at", NSDate(0));  // no JSON form: written as its text
    EXPECT_EQ(RPOUTABaseFunction::objToJson(Value(dated)), "{\"at\":\"1970-01-01 00:00:00 +0000\"}");
    EXPECT_EQ(RPOUTABaseFunction::objToJson(Value("text")), "{}");
}

TEST_F(AnalyticsPrimitives, NetworkStatusForFlags) {
    auto reachability = RPOUTAReachability::reachabilityForInternetConnection();
    ASSERT_NE(reachability, nullptr);
    EXPECT_EQ(reachability->networkStatusForFlags(0x0), RPOUTANotReachable);
    EXPECT_EQ(reachability->networkStatusForFlags(0x2), RPOUTAReachableViaWiFi);
    EXPECT_EQ(reachability->networkStatusForFlags(0x2 | 0x40000), RPOUTAReachableViaWWAN);
    EXPECT_EQ(reachability->networkStatusForFlags(0x6), RPOUTANotReachable);
    EXPECT_EQ(reachability->networkStatusForFlags(0x2E), RPOUTAReachableViaWiFi);
    EXPECT_EQ(reachability->networkStatusForFlags(0x3E), RPOUTANotReachable);
    EXPECT_EQ(RPOUTAReachability::reachabilityWithHostName(""), nullptr);

    FakeReachability network(kSCNetworkReachabilityFlagsReachable | kSCNetworkReachabilityFlagsIsWWAN);
    EXPECT_EQ(RPOUTAHelper::getInstance()->getNetworkType(), "CellNetwork");
    network.set(0);
    EXPECT_EQ(RPOUTAHelper::getInstance()->getNetworkType(), "");
}

TEST_F(AnalyticsSettings, DefaultsAndTheDebugLog) {
    RPOUTAConfig fresh;
    EXPECT_EQ(fresh.reportStrategy(), 3);
    EXPECT_EQ(fresh.sessionTimeoutSecs(), 30u);
    EXPECT_EQ(fresh.minBatchReportCount(), 30u);
    EXPECT_EQ(fresh.maxLoadEventCount(), 30u);
    EXPECT_EQ(fresh.maxStoreEventCount(), 1024u);
    EXPECT_EQ(fresh.maxSendRetryCount(), 3u);
    EXPECT_EQ(fresh.sendPeriodMinutes(), 1440u);
    EXPECT_EQ(fresh.maxParallelTimingEvents(), 1024u);
    EXPECT_EQ(fresh.maxReportEventLength(), 4096u);
    EXPECT_EQ(fresh.channel(), "appstore");
    EXPECT_EQ(fresh.maxSessionStatReportCount(), -1);
    EXPECT_TRUE(fresh.statEnable());
    EXPECT_FALSE(fresh.debugEnable());
    EXPECT_EQ(fresh.appkey(), std::nullopt);
    fresh.setReportStrategy(9);  // stored unchanged: no setter checks a range
    EXPECT_EQ(fresh.reportStrategy(), 9);
    EXPECT_EQ(fresh.getCustomProperty("k", "fallback"), "fallback");

    auto config = RPOUTAConfig::getInstance();
    NSLogCapture capture;
    UTALog("silent %d", 1);
    RPOUTABaseFunction::logDebug("silent too");
    config->setDebugEnable(true);
    UTALog("json error :%@", std::string("bad"));
    RPOUTABaseFunction::logDebug("count %d", 2);
    config->setDebugEnable(false);
    EXPECT_EQ(capture.lines(), (std::vector<std::string>{"[UTA] json error :bad", "[RPORPOUTADebug] count 2"}));
}
