#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "app/components/QSCScanWrapper.h"
#include "tests/app/promotion/PromotionFixture.h"
#include "app/shell/WMUtil.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/TextFitCheck.h"

namespace {

class PromotionQrPage : public PromotionFixture {
protected:
    // The page on screen, once its answer has filled the link.
    Ref<KXPromotionQrCodeViewController> showLoadedPage() {
        auto page = make<KXPromotionQrCodeViewController>();
        showScreen(page);
        EXPECT_TRUE(runUntil([&] { return !page->lianjiedizhiLabel()->text().empty(); }));
        return page;
    }
    std::vector<Ref<KXerweiMaFenXiangView>> overlays() const {
        std::vector<Ref<KXerweiMaFenXiangView>> found;
        for (const auto& view : window->subviews())
            if (auto overlay = cast<KXerweiMaFenXiangView>(view)) found.push_back(overlay);
        return found;
    }
};

}  // namespace

TEST_F(PromotionQrPage, ShowsThePromotersCardAndCopiesTheLinkSilently) {
    startBackend();
    auto page = showLoadedPage();
    const std::string link = backend->baseURL() + "h5/promote?uid=1";
    EXPECT_EQ(page->title(), "推广二维码");
    EXPECT_EQ(page->lianjiedizhiLabel()->text(), link);
    EXPECT_EQ(page->youxibiaotiLabel()->text(), "demo 邀您畅玩精品手游");

    // The back end's pictures load into the card, and its code scans to the
    // link the page copies.
    ASSERT_TRUE(runUntil([&] { return page->erweiImageView()->image() && page->icoiamgeView()->image(); }));
    auto codes = QSCScanWrapper::decodeQRFromImage(page->erweiImageView()->image());
    ASSERT_EQ(codes.size(), 1u);
    EXPECT_EQ(codes[0].strScanned, link);

    ASSERT_TRUE(driver.tap("#fuzhiButon")) << driver.lastError();
    EXPECT_EQ(pasteboardText(), link);
    EXPECT_EQ(hudText(), "");
    EXPECT_TRUE(checkedShot(driver, shotPath("promotion-qr-page.png"))) << driver.lastError();
}

// On the smallest screen (320 x 568) the page is taller than the room below
// the bar: it scrolls, so that the link box and its copy button come into
// view.
TEST_F(PromotionQrPage, OnASmallScreenThePageScrollsToTheLinkAndItsCopyButton) {
    startBackend();
    UIScreen::configureMainScreen({320, 568}, 2, false);
    auto page = showLoadedPage();
    auto box = page->lianjieView();
    auto bottomInWindow = [&] { return CGRectGetMaxY(box->convertRectToView(box->bounds(), nullptr)); };
    EXPECT_GT(bottomInWindow(), 568) << "below the window at first";
    ASSERT_TRUE(driver.scrollToMiddle(box)) << driver.lastError();
    EXPECT_LE(bottomInWindow(), 568);
    ASSERT_TRUE(driver.tap("#fuzhiButon")) << driver.lastError();
    EXPECT_EQ(pasteboardText(), backend->baseURL() + "h5/promote?uid=1");
    EXPECT_TRUE(checkedShot(driver, shotPath("promotion-qr-page-small-screen.png"))) << driver.lastError();
}

TEST_F(PromotionQrPage, EveryShareTileOpensTheOverlayForTheSameLink) {
    startBackend();
    showLoadedPage();
    const std::string link = backend->baseURL() + "h5/promote?uid=1";
    for (const char* tile : {"涟信", "Pal", "朋友圈"}) {
        ASSERT_TRUE(driver.tap(tile)) << driver.lastError();
        auto shown = overlays();
        ASSERT_EQ(shown.size(), 1u) << tile;
        EXPECT_EQ(shown[0]->urlStr(), link);
        auto codes = QSCScanWrapper::decodeQRFromImage(shown[0]->fenxiangImge()->image());
        ASSERT_EQ(codes.size(), 1u);
        EXPECT_EQ(codes[0].strScanned, link);
        if (std::string(tile) == "Pal") {
            EXPECT_TRUE(checkedShot(driver, shotPath("promotion-qr-page-overlay.png")));
        }
        ASSERT_TRUE(driver.tapAt({187, 100}));
        EXPECT_TRUE(overlays().empty());
    }
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());
}

TEST_F(PromotionQrPage, ARefusedAnswerShowsItsMessageAndLeavesNothingToCopyOrShare) {
    LoopbackHTTPServer server;
    server.route("GET", "/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"code":"3","message":"用户不存在，请重新登录","data":null})", "application/json");
    });
    KXServiceAddress::setBaseURL(server.baseURL());
    UIPasteboard::generalPasteboard()->setString("earlier");

    auto page = make<KXPromotionQrCodeViewController>();
    showScreen(page);
    ASSERT_TRUE(runUntil([&] { return !hudText().empty(); }));
    EXPECT_EQ(hudText(), "用户不存在，请重新登录");
    EXPECT_TRUE(page->dataDic().isNil());

    ASSERT_TRUE(driver.tap("#fuzhiButon")) << driver.lastError();
    EXPECT_EQ(pasteboardText(), "earlier");
    ASSERT_TRUE(driver.tap("朋友圈")) << driver.lastError();
    EXPECT_TRUE(overlays().empty());
}

TEST_F(PromotionQrPage, TheRequestIsSignedForTheStoredPromoter) {
    LoopbackHTTPServer server;
    std::map<std::string, std::string> sent;
    server.route("GET", "/", [&](const httplib::Request& request, httplib::Response& response) {
        for (const auto& [key, value] : request.params) sent[key] = value;
        response.set_content(R"({"code":1,"data":{"title":"T","url":42}})", "application/json");
    });
    KXServiceAddress::setBaseURL(server.baseURL());
    KXLocallyStoredData::setUserID("7");

    auto page = make<KXPromotionQrCodeViewController>();
    showScreen(page);
    ASSERT_TRUE(runUntil([&] { return !page->lianjiedizhiLabel()->text().empty(); }));
    EXPECT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent["ac"], "qrcode");
    EXPECT_EQ(sent["uid"], "7");
    EXPECT_EQ(sent["sign"], WMUtil::md5HexDigest("7" + sent["t"] + "qmvtrapezk42f17bnc"));
    // A link that arrives as a number is copied as its text.
    ASSERT_TRUE(driver.tap("#fuzhiButon"));
    EXPECT_EQ(pasteboardText(), "42");
}
