#include <gtest/gtest.h>

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSPropertyListSerialization.h"
#include "kits/ripple/AppRegisterInfo.h"

namespace {

template <class T> Ref<T> roundTrip(const Ref<T>& record, Value* archive = nullptr) {
    NSKeyedUnarchiver::registerClass<T>();
    auto data = NSKeyedArchiver::archivedDataWithRootObject(Value(record));
    EXPECT_TRUE(data);
    if (!data) return nullptr;
    if (archive) *archive = NSPropertyListSerialization::propertyListWithData(*data).value_or(Value());
    return NSKeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<T>();
}

}  // namespace

TEST(RegistrationRecords, AnAppRegisterInfoComesBackWholeButItsRankWeight) {
    auto info = make<AppRegisterInfo>();
    info->setAppAddedByUser(true);
    info->setAppID(std::string("rp0123456789abcdef"));
    info->setAppName(std::string("推广联盟"));
    info->setAppDescription4EnUs(std::string("Promoters"));
    info->setAppInstallUrl(std::string("http://127.0.0.1/app"));
    info->setNeedUpdateWatermark(true);
    info->setAppInfoVer(0xFFFFFFFFFFull);
    info->setLastUpdateIconTime(4000000000u);
    info->setAppInfoFlag(0xFFFFFFFEu);
    info->setNextUpdateInfoTime(3000000000u);
    info->setRankWeight(9);

    Value archive;
    auto back = roundTrip(info, &archive);
    ASSERT_TRUE(back);
    EXPECT_TRUE(back->appAddedByUser());
    EXPECT_EQ(back->appID(), "rp0123456789abcdef");
    EXPECT_EQ(back->appName(), "推广联盟");
    EXPECT_EQ(back->appDescription4EnUs(), "Promoters");
    EXPECT_FALSE(back->appDescription());
    EXPECT_EQ(back->appInstallUrl(), "http://127.0.0.1/app");
    EXPECT_TRUE(back->needUpdateWatermark());
    EXPECT_FALSE(back->needUpdateIcon());
    EXPECT_EQ(back->appInfoVer(), 0xFFFFFFFFFFull);
    EXPECT_EQ(back->lastUpdateIconTime(), 4000000000u);
    EXPECT_EQ(back->appInfoFlag(), 0xFFFFFFFEu);
    EXPECT_EQ(back->nextUpdateInfoTime(), 3000000000u);
    EXPECT_EQ(back->rankWeight(), 0u);
    EXPECT_EQ(back->description(), "{ name:推广联盟 appid:rp0123456789abcdef}");
    EXPECT_EQ(archive["$archiver"], Value("NSKeyedArchiver"));
}

TEST(RegistrationRecords, AnAppSettingItemKeepsItsFlagUnderItsOwnKeys) {
    auto item = make<AppSettingItem>();
    item->setAppID(std::string("rpx"));
    item->setFlag(0x80000001u);
    item->setAppAddedByUser(true);
    Value archive;
    auto back = roundTrip(item, &archive);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->appID(), "rpx");
    EXPECT_FALSE(back->openID());
    EXPECT_EQ(back->flag(), 0x80000001u);
    EXPECT_TRUE(back->appAddedByUser());
    // The item keeps "appAddedByUser" where the register info says "added".
    bool found = false;
    if (const Array* objects = archive["$objects"].array())
        for (const Value& entry : *objects) found = found || !entry["appAddedByUser"].isNil();
    EXPECT_TRUE(found);
}
