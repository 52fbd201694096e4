#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "graphics/CGImage.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPMediaMessage.h"
#include "kits/ripple/RPMediaObjects.h"
#include "kits/ripple/RPShareMessages.h"

namespace {

// A picture of `side` x `side` pixels: one colour, or random noise (which
// JPEG cannot squeeze much).
Ref<UIImage> picture(std::size_t side, bool noise) {
    std::vector<std::uint8_t> rgba(side * side * 4, 255);
    std::mt19937 random(7);
    if (noise)
        for (std::size_t i = 0; i < rgba.size(); ++i)
            if (i % 4 != 3) rgba[i] = static_cast<std::uint8_t>(random());
    return UIImage::imageWithCGImage(CGImage::imageWithRGBA(side, side, rgba));
}

}  // namespace

TEST(RPMediaMessage, ASmallThumbnailIsEncodedOnceAtQualitySixTenths) {
    auto message = RPMediaMessage::message();
    auto image = picture(40, false);
    message->setThumbImage(image);
    ASSERT_TRUE(message->thumbData());
    EXPECT_EQ(message->thumbData(), UIImageJPEGRepresentation(image, static_cast<double>(0.6f)));
    EXPECT_LT(message->thumbData()->length(), RPMediaMessage::kThumbnailTargetLength);

    // No image keeps the earlier thumbnail.
    const auto earlier = message->thumbData();
    message->setThumbImage(nullptr);
    EXPECT_EQ(message->thumbData(), earlier);
    // An image that encodes to nothing leaves no thumbnail.
    message->setThumbImage(make<UIImage>());
    EXPECT_FALSE(message->thumbData());
}

TEST(RPMediaMessage, AThumbnailStillLargeAtATenthGoesOnToAQualityOfAboutNothing) {
    auto image = picture(560, true);
    const double sixthQuality = static_cast<double>(0.6f) - 5 * 0.1;
    ASSERT_GT(UIImageJPEGRepresentation(image, sixthQuality)->length(), RPMediaMessage::kThumbnailTargetLength);

    auto message = RPMediaMessage::message();
    message->setThumbImage(image);
    // The seventh and last try: the sixth quality is still above 0.1 as a
    // single-precision value, so one more step of 0.1 follows.
    const double lastQuality = sixthQuality - 0.1;
    EXPECT_LT(lastQuality, 0.001);
    EXPECT_EQ(message->thumbData(), UIImageJPEGRepresentation(image, lastQuality));
}

TEST(RPMediaMessage, AShareRequestCarriesTheMessageWithItsWebPage) {
    auto page = RPWebpageObject::object();
    page->setWebpageUrl("http://127.0.0.1/h5/game/3?uid=1");
    auto message = RPMediaMessage::message();
    message->setTitle("星河战记");
    message->setDescription("星河战记2");
    message->setMediaObject(page);
    auto request = make<SendMessageToRPReq>();
    request->setScene(1);
    request->setMessage(message);

    EXPECT_FALSE(request->bText());
    EXPECT_EQ(request->message()->description(), "星河战记2");
    EXPECT_EQ(cast<RPWebpageObject>(request->message()->mediaObject())->webpageUrl(),
              "http://127.0.0.1/h5/game/3?uid=1");
}

TEST(RPApiSend, NothingIsSentWithoutARequestOrARegisteredIdentifier) {
    std::vector<std::string> log;
    RPApi::startLogByLevel(0, [&](const std::string& line) { log.push_back(line); });
    EXPECT_FALSE(RPApi::sendReq(nullptr));
    EXPECT_TRUE(log.empty());

    ASSERT_TRUE(RPApi::registerApp(std::string(""), false));
    EXPECT_FALSE(RPApi::sendReq(make<SendMessageToRPReq>()));
    EXPECT_EQ(log, (std::vector<std::string>{"rplog:Error:register appid is nil"}));
    RPApi::stopLog();
}
