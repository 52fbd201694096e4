// The device environment and the identifiers events carry.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "tests/support/TempSandbox.h"
#include "uikit/DeviceStorage.h"
#include "uikit/UIPasteboard.h"

namespace {

// Two apps on one device: separate sandboxes, one shared pasteboard store.
class DeviceIdentity : public ::testing::Test {
protected:
    void SetUp() override {
        UTAResetForTests();
        DeviceStorage::setFolder(device.path());
    }
    void TearDown() override {
        DeviceStorage::setFolder("");
        UTAResetForTests();
    }
    // The identifier as a freshly launched app sees it.
    std::optional<std::string> launchValue(Ref<NSError>* error) {
        RPOUTAStableUDID::clearCachedValue();
        return RPOUTAStableUDID::valueWithError(error);
    }

    TempSandbox device;
};

}  // namespace

TEST_F(DeviceIdentity, FirstAppMakesTheIdentifierAndASecondAppReusesIt) {
    std::string first;
    {
        TempSandbox app;
        Ref<NSError> error;
        auto value = launchValue(&error);
        ASSERT_TRUE(value);
        EXPECT_TRUE(std::regex_match(*value, std::regex("[0-9a-f]{40}")));
        EXPECT_EQ(error->domain(), "org.StableUDID");
        EXPECT_EQ(error->code(), 0);
        EXPECT_EQ(NSUserDefaults::standardUserDefaults()->dictionaryForKey("StableUDID")->find("StableUDID")->description(),
                  *value);
        auto slot = UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", false);
        ASSERT_NE(slot, nullptr);
        EXPECT_TRUE(slot->dataForPasteboardType("org.StableUDID"));
        // Later calls answer from the cache.
        EXPECT_EQ(RPOUTAStableUDID::valueWithError(&error), value);
        EXPECT_EQ(error->userInfo()["description"].description(), "StableUDID in cache from first call");
        first = *value;
    }
    TempSandbox otherApp;
    Ref<NSError> error;
    EXPECT_EQ(launchValue(&error), first);
    EXPECT_EQ(error->code(), 0);
}

TEST_F(DeviceIdentity, OptOutAndDiscrepancy) {
    TempSandbox app;
    Ref<NSError> error;
    const auto value = launchValue(&error);

    RPOUTAStableUDID::setOptOut(true);
    EXPECT_EQ(launchValue(&error), std::string(40, '0'));
    EXPECT_EQ(error->code(), 1);
    RPOUTAStableUDID::setOptOut(false);
    EXPECT_EQ(launchValue(&error), value);

    // This app's stored copy differs from the one on the slot: the stored one wins.
    auto defaults = NSUserDefaults::standardUserDefaults();
    Dictionary local = *defaults->dictionaryForKey("StableUDID");
    local.set("StableUDID", std::string(40, 'a'));
    defaults->setObject(Value(local), "StableUDID");
    EXPECT_EQ(launchValue(&error), std::string(40, 'a'));
    EXPECT_EQ(error->code(), 2);
}

TEST_F(DeviceIdentity, EnvironmentAndFingerprint) {
    TempSandbox app;
    auto env = RPOUTAHelper::getInstance()->getEnv();
    EXPECT_EQ(env->sdk_version(), "2.1.1");
    EXPECT_EQ(env->platform(), "iOS");
    EXPECT_EQ(env->modulename(), "iPhone");
    EXPECT_EQ(env->resolution(), "750x1334");
    EXPECT_EQ(env->deviceid().size(), 40u);
    EXPECT_NE(env->ifv(), nullptr);
    EXPECT_FALSE(env->devicename().empty());
    EXPECT_FALSE(RPOUTAHelper::getInstance()->checkUTAEnable());  // until the service starts

    const std::string fingerprint = RPOUTATempID::getUTATempID();
    EXPECT_TRUE(std::regex_match(fingerprint, std::regex("[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
        << fingerprint;
    EXPECT_EQ(RPOUTATempID::getUTATempID(), fingerprint);
    EXPECT_GT(RPOUTAHelper::getBootTime(), 1000000000000000LL);
    EXPECT_EQ(RPOUTAHelper::getInstance()->fetchSSIDInfo()["ss"].description(), "Not Found");
}

TEST_F(DeviceIdentity, AnUnreadableSlotCountsAsFreeAndIsRewritten) {
    TempSandbox app;
    auto slot = UIPasteboard::pasteboardWithName("org.StableUDID.slot.0", true);
    slot->setData(NSData::fromString("not an archive"), "org.StableUDID");
    Ref<NSError> error;
    const auto value = launchValue(&error);
    ASSERT_TRUE(value);
    EXPECT_EQ(error->code(), 0);
    const Value record = NSKeyedUnarchiver::unarchiveObjectWithData(*slot->dataForPasteboardType("org.StableUDID"));
    ASSERT_TRUE(record.isDictionary());
    EXPECT_EQ((*record.dictionary())["StableUDID"].description(), *value);
}
