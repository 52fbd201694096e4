#include <gtest/gtest.h>

#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPMediaObjects.h"
#include "kits/ripple/RippleApiUtil.h"
#include "tests/kits/ripple/RippleKitFixture.h"
#include "uikit/UIDevice.h"

namespace {

Ref<AppCommunicateData> message(std::uint64_t command) {
    auto data = make<AppCommunicateData>();
    data->initCommonField(command);
    return data;
}

std::optional<Value> envelopeOnGeneralPasteboard() {
    return RippleApiUtil::propertyListFromData(
        UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType));
}

}  // namespace

using PasteboardTransport = RippleKitFixture;

TEST_F(PasteboardTransport, TheUsersTextRidesInTheEnvelopeAndComesBackOnReading) {
    auto general = UIPasteboard::generalPasteboard();
    general->setString(std::string("abc"));
    ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message(2020), std::string(kAppId)));
    auto envelope = envelopeOnGeneralPasteboard();
    ASSERT_TRUE(envelope);
    EXPECT_EQ((*envelope)["old_text"], Value("abc"));
    EXPECT_EQ((*envelope)[kAppId]["command"], Value("2020"));
    EXPECT_FALSE(general->string());

    auto read = AppCommunicate::appCommunicateDataForAppID(std::string(kAppId));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->command(), 2020u);
    EXPECT_EQ(general->string(), "abc");
    EXPECT_FALSE(general->dataForPasteboardType(AppCommunicate::kContentType));
    // Delivered once.
    EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));

    // Without a text on the pasteboard there is none to keep or put back.
    general->setItems({});
    ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message(2020), std::string(kAppId)));
    EXPECT_TRUE((*envelopeOnGeneralPasteboard())["old_text"].isNil());
    ASSERT_TRUE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));
    EXPECT_FALSE(general->string());
}

TEST_F(PasteboardTransport, AMessageForAnotherAppOrThatIsNotAnEnvelopeStaysWhereItIs) {
    ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message(2020), std::string("rpother")));
    const auto before = UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType);
    EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType), before);
    EXPECT_TRUE(AppCommunicate::appCommunicateDataForAppID(std::string("rpother")));

    UIPasteboard::generalPasteboard()->setData(NSData::fromString("garbage"), AppCommunicate::kContentType);
    EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType),
              NSData::fromString("garbage"));
    EXPECT_FALSE(AppCommunicate::setAppCommunicateData(message(2020), std::nullopt));
}

TEST_F(PasteboardTransport, BeforeSevenTheNamedPasteboardsCarryTheMessageAndItsBulkData) {
    UIDevice::currentDevice()->setSystemVersion("6.1.3");
    ASSERT_FALSE(RippleApiUtil::isiOS7plus());
    auto file = RPFileObject::object();
    file->setFileData(NSData::fromString("bulk bytes"));
    auto outgoing = message(1010);
    ASSERT_TRUE(outgoing->MakeLinkObject(file));
    EXPECT_TRUE((*outgoing->propertList())["fileData"].isNil());
    ASSERT_TRUE(AppCommunicate::setAppCommunicateData(message(2020), std::string("rpother")));
    ASSERT_TRUE(AppCommunicate::setAppCommunicateData(outgoing, std::string(kAppId)));
    EXPECT_FALSE(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType));

    auto read = AppCommunicate::appCommunicateDataForAppID(std::string(kAppId));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fileData(), NSData::fromString("bulk bytes"));
    auto shared = cast<RPFileObject>(read->mediaMessage()->mediaObject());
    ASSERT_TRUE(shared);
    EXPECT_EQ(shared->fileData(), NSData::fromString("bulk bytes"));
    // The other app's message is still there.
    EXPECT_TRUE(AppCommunicate::appCommunicateDataForAppID(std::string("rpother")));
    EXPECT_FALSE(AppCommunicate::appCommunicateDataForAppID(std::string(kAppId)));
}
