#include <gtest/gtest.h>

#include "app/promotion/KXPromoteGameViewController.h"
#include "app/shell/KXAppConfiguration.h"
#include "foundation/NSLog.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPShareMessages.h"
#include "peers/SimulatedRippleApp.h"
#include "tests/app/shell/AppShellFixture.h"
#include "uikit/UIPasteboard.h"

using RippleShareRoundTrip = AppShellFixture;

TEST_F(RippleShareRoundTrip, ThePromotedGamesShareReachesRippleAndItsAnswerTheAppDelegate) {
    launch();
    auto ripple = make<SimulatedRippleApp>();
    ripple->install();
    UIPasteboard::generalPasteboard()->setString(std::string("剪贴板里的字"));
    auto thumbnail = UIImage::imageWithContentsOfFile(VELMARO_APP_BUNDLE_DIR "/ripple_ico@2x.png");
    auto share = KXPromoteGameViewController::rippleShareRequest(2, thumbnail, "http://127.0.0.1/h5/game/3", "星河战记");

    NSLogCapture log;
    ASSERT_TRUE(RPApi::sendReq(share));
    ASSERT_TRUE(runUntil([&] { return log.contains("回调处理"); }));

    ASSERT_EQ(ripple->received().size(), 1u);
    const Dictionary& message = ripple->received()[0].message;
    EXPECT_EQ(ripple->received()[0].url, "ripple://app/" + KXAppConfiguration::rippleAppId() + "/sendreq/?");
    EXPECT_EQ(message["scene"], Value("1"));
    EXPECT_EQ(message["title"], Value("星河战记"));
    EXPECT_EQ(message["description"], Value("星河战记2"));
    EXPECT_EQ(message["mediaUrl"], Value("http://127.0.0.1/h5/game/3"));
    EXPECT_EQ(message["thumbData"], Value(*share->message()->thumbData()));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), "剪贴板里的字");
    ripple->uninstall();
}
