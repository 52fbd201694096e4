#include <gtest/gtest.h>

#include "app/promotion/KXPromoteGameViewController.h"
#include "backend/LocalBackend.h"
#include "kits/pal/NimbusOpenApi_IOS/NXAppidConvert.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"
#include "app/shell/KXAppConfiguration.h"
#include "peers/SimulatedPalApp.h"
#include "tests/app/shell/AppShellFixture.h"
#include "uikit/UIPasteboard.h"

using PalShareRoundTrip = AppShellFixture;

TEST_F(PalShareRoundTrip, ThePromotedGamesShareReachesPalWithThePreviewFromTheBackEnd) {
    auto backend = backend::LocalBackend::start({});
    ASSERT_TRUE(backend);
    launch();
    // The launch registered the app's plug-in record with the Pal apps.
    auto converter = make<NXAppidConvert>();
    ASSERT_TRUE(converter->InitWithAppId(KXAppConfiguration::palAppId()));
    ASSERT_EQ(SimulatedPalApp::registeredPlugins().size(), 1u);
    EXPECT_EQ(SimulatedPalApp::registeredPlugins()[0]->scheme(), *converter->GetMPalAppId());
    auto pal = make<SimulatedPalApp>(SimulatedPalApp::Kind::Pal);
    pal->install();

    const std::string icon = backend->baseURL() + "static/icon/3.png";
    auto page = make<KXPromoteGameViewController>();
    page->shared(1, icon, "http://127.0.0.1/h5/game/3", "星河战记");
    ASSERT_TRUE(runUntil([&] { return !pal->received().empty() && !PalApiTask::isRunning(); }));

    ASSERT_EQ(pal->received().size(), 1u);
    const Dictionary& share = pal->received()[0].message;
    EXPECT_EQ(share["file_type"], Value("news"));
    EXPECT_EQ(share["title"], Value("星河战记"));
    EXPECT_EQ(share["description"], Value("星河战记1"));
    EXPECT_EQ(share["thirdAppDisplayName"], Value("推广联盟"));
    EXPECT_EQ(share["previewimageUrl"], Value(icon));
    const NSData* preview = share["previewimagedata"].data();
    ASSERT_TRUE(preview);
    EXPECT_TRUE(UIImage::imageWithData(*preview));
    EXPECT_EQ(share["callback_name"], Value(*converter->GetMPalAppId()));
    EXPECT_EQ(SimulatedPalApp::registeredPlugins().at(0)->displayName(), "推广联盟");
    pal->uninstall();
}
