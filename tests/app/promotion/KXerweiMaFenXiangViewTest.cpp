#include <filesystem>
#include <fstream>

#include "app/components/QSCScanWrapper.h"
#include "app/promotion/KXNotchedScreen.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "tests/app/promotion/PromotionFixture.h"
#include "tests/support/TextFitCheck.h"
#include "uikit/UIImageView.h"

namespace {

class QRShareOverlay : public PromotionFixture {
protected:
    // An overlay over the whole screen, on the key window.
    Ref<KXerweiMaFenXiangView> showOverlay(const std::optional<std::string>& link) {
        showWindow();
        auto overlay = make<KXerweiMaFenXiangView>(UIScreen::mainScreen()->bounds());
        if (link) overlay->setUrlStr(link);
        window->addSubview(overlay);
        driver.settle();
        return overlay;
    }
    // The icon of the key window's topmost HUD.
    Ref<UIImage> hudIcon() const {
        auto hud = MBProgressHUD::HUDForView(window);
        auto icon = hud ? cast<UIImageView>(hud->customView()) : nullptr;
        return icon ? icon->image() : nullptr;
    }
    static std::optional<std::string> codeIn(const Ref<UIImage>& picture) {
        auto codes = QSCScanWrapper::decodeQRFromImage(picture);
        return codes.size() == 1 ? codes[0].strScanned : std::nullopt;
    }
};

}  // namespace

TEST_F(QRShareOverlay, ThePanelEndsAtTheScreensBottomAndKeepsTheHomeIndicatorStripOnNotchedScreens) {
    auto standard = showOverlay("http://127.0.0.1/h5/promote?uid=1");
    EXPECT_EQ(standard->fenxiangView()->frame(), (CGRect{0, 491, 375, 176}));
    EXPECT_EQ(standard->grayView()->frame(), (CGRect{0, 0, 375, 667}));

    UIScreen::useNotchedScreen();
    auto notched = showOverlay("http://127.0.0.1/h5/promote?uid=1");
    EXPECT_EQ(notched->fenxiangView()->frame(), (CGRect{0, 602, 375, 210}));
    EXPECT_TRUE(checkedShot(driver, shotPath("promotion-qr-overlay-notched.png"))) << driver.lastError();

    for (CGSize size : {CGSize{375, 812}, CGSize{812, 375}, CGSize{414, 896}, CGSize{896, 414}, CGSize{390, 844},
                        CGSize{844, 390}, CGSize{428, 926}, CGSize{926, 428}})
        EXPECT_TRUE(KXNotchedScreen::isNotchedSize(size)) << size.width << "x" << size.height;
    for (CGSize size : {CGSize{375, 667}, CGSize{414, 736}, CGSize{375, 926}, CGSize{390, 812}})
        EXPECT_FALSE(KXNotchedScreen::isNotchedSize(size)) << size.width << "x" << size.height;
}

TEST_F(QRShareOverlay, TheCodeReadsBackAsTheLinkAtAboutOneHundredFiftyPixelsWhateverItsLength) {
    const std::string shortLink = "http://127.0.0.1/h5/promote?uid=1";
    std::string longLink = "http://127.0.0.1/h5/game/3?uid=1&from=";
    while (longLink.size() < 300) longLink += "promotion-";
    const std::string chinese = "http://127.0.0.1/h5/推广?名=星河战记";

    for (const std::string& link : {shortLink, longLink, chinese}) {
        auto overlay = make<KXerweiMaFenXiangView>(UIScreen::mainScreen()->bounds());
        overlay->setUrlStr(link);
        auto picture = overlay->fenxiangImge()->image();
        ASSERT_TRUE(picture) << link;
        EXPECT_EQ(picture->scale(), 1);
        EXPECT_EQ(picture->size().width, picture->size().height) << link;
        EXPECT_LE(picture->size().width, KXerweiMaFenXiangView::kCodeSide) << link;
        // The whole-module scaling loses at most one module's worth.
        EXPECT_GT(picture->size().width, 125) << link;
        EXPECT_EQ(codeIn(picture), link);
    }
}

TEST_F(QRShareOverlay, SavingShowsTheOutcomeAndLeavesTheOverlayOpen) {
    auto overlay = showOverlay("http://127.0.0.1/h5/promote?uid=1");
    ASSERT_TRUE(driver.tap("保存")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "保存成功");
    EXPECT_EQ(hudIcon(), UIImage::imageNamed("MBProgressHUD.bundle/success.png"));
    EXPECT_EQ(overlay->superview(), window);
    auto saved = UIImage::imageWithContentsOfFile(DeviceStorage::photoAlbumFolder() + "/IMG_0001.PNG");
    ASSERT_TRUE(saved);
    EXPECT_EQ(codeIn(saved), "http://127.0.0.1/h5/promote?uid=1");

    // An album that cannot be written to (its folder is a file).
    const std::string blocked = DeviceStorage::folder() + "-blocked";
    std::filesystem::create_directories(blocked);
    { std::ofstream(blocked + "/Photos") << "not a folder"; }
    DeviceStorage::setFolder(blocked);
    clock.advance(2);
    driver.settle();
    ASSERT_EQ(hudText(), "");
    ASSERT_TRUE(driver.tap("保存")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "保存失败");
    EXPECT_EQ(hudIcon(), UIImage::imageNamed("MBProgressHUD.bundle/error.png")) << "a failure looks like one";
    EXPECT_EQ(overlay->superview(), window);
}

TEST_F(QRShareOverlay, AnOverlayWithoutALinkHasNothingToSave) {
    auto overlay = showOverlay(std::nullopt);
    EXPECT_FALSE(overlay->fenxiangImge()->image());
    ASSERT_TRUE(driver.tap("保存")) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "保存失败");
}

TEST_F(QRShareOverlay, OnlyATapOnTheDimmedAreaClosesIt) {
    auto overlay = showOverlay("http://127.0.0.1/h5/promote?uid=1");
    EXPECT_TRUE(checkedShot(driver, shotPath("promotion-qr-overlay.png"))) << driver.lastError();
    driver.tapAt({187, 560});  // the code
    driver.tapAt({20, 600});   // the panel beside it
    EXPECT_EQ(overlay->superview(), window);

    EXPECT_TRUE(driver.tapAt({187, 200}));
    EXPECT_EQ(overlay->superview(), nullptr);
}
