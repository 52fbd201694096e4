#include "app/promotion/KXPromoteGameCell.h"
#include "app/promotion/KXPromoteGameViewController.h"
#include "app/promotion/KXerweiMaFenXiangView.h"
#include "foundation/NSLog.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RPMediaObjects.h"
#include "tests/app/promotion/PromotionFixture.h"
#include "tests/support/TextFitCheck.h"

namespace {

class PromotedGamesPage : public PromotionFixture {
protected:
    void SetUp() override {
        // A registration without an identifier: every Ripple send then
        // leaves one error line, which tells that a request was sent.
        ASSERT_TRUE(RPApi::registerApp(std::string(""), false));
        RPApi::startLogByLevel(0, [this](const std::string& line) { rippleLog.push_back(line); });
    }
    void TearDown() override { RPApi::stopLog(); }

    Ref<KXPromoteGameViewController> showLoadedPage() {
        startBackend();
        auto page = make<KXPromoteGameViewController>();
        showScreen(page);
        EXPECT_TRUE(runUntil([&] { return !page->dataMuArr().empty(); }));
        driver.settle();
        return page;
    }
    static Ref<KXPromoteGameCell> firstCell(const Ref<KXPromoteGameViewController>& page) {
        return cast<KXPromoteGameCell>(page->mainTabelView()->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    }
    // The first card's tile with this title.
    Ref<UIView> tile(const Ref<KXPromoteGameViewController>& page, const std::string& title) {
        for (const auto& view : driver.findAll(title)) {
            for (auto up = view; up; up = up->superview())
                if (up == firstCell(page)) return view;
        }
        return nullptr;
    }
    std::vector<Ref<KXerweiMaFenXiangView>> overlays() const {
        std::vector<Ref<KXerweiMaFenXiangView>> found;
        for (const auto& view : window->subviews())
            if (auto overlay = cast<KXerweiMaFenXiangView>(view)) found.push_back(overlay);
        return found;
    }
    std::string iconAddress() const { return backend->baseURL() + "static/icon/game-1.png"; }

    std::vector<std::string> rippleLog;
};

}  // namespace

TEST_F(PromotedGamesPage, ListsThePromotersGamesAsCardsWithShareTiles) {
    auto page = showLoadedPage();
    EXPECT_EQ(page->title(), "推广游戏");
    EXPECT_TRUE(CGRectEqualToRect(page->mainTabelView()->frame(), UIScreen::mainScreen()->bounds()));
    auto game = page->mainTabelView()->visibleCells().empty() ? nullptr : firstCell(page);
    ASSERT_TRUE(game);
    auto model = game->model();
    ASSERT_TRUE(model && model->name && model->fcbl);
    EXPECT_EQ(game->gameNameLabel()->text(), *model->name);
    EXPECT_EQ(game->fenchengbiliLabel()->text(), "分成比例: " + *model->fcbl);
    EXPECT_EQ(game->frame().size.height, 168);
    ASSERT_TRUE(tile(page, "复制分享"));
    EXPECT_EQ(tile(page, "复制分享")->superview()->frame().origin.y, 109);
    ASSERT_TRUE(runUntil([&] { return game->icoIamgeView()->image() != nullptr; }));
    EXPECT_TRUE(checkedShot(driver, shotPath("promotion-promoted-games.png"))) << driver.lastError();

    // Pull up page by page; past the last one nothing more is asked for.
    while (std::stoi(page->p()) <= std::stoi(page->max_p())) {
        const std::size_t shown = page->dataMuArr().size();
        ASSERT_TRUE(driver.pullUp(page->mainTabelView())) << driver.lastError();
        ASSERT_TRUE(runUntil([&] { return page->dataMuArr().size() > shown; }));
    }
    const std::size_t all = page->dataMuArr().size();
    driver.pullUp(page->mainTabelView());
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
    EXPECT_EQ(page->dataMuArr().size(), all);
}

TEST_F(PromotedGamesPage, CopyTileCopiesTheLinkAndTheOthersOpenTheOverlayWithoutAKit) {
    auto page = showLoadedPage();
    const std::string link = *firstCell(page)->model()->h5_url;

    ASSERT_TRUE(driver.tap(tile(page, "复制分享"))) << driver.lastError();
    EXPECT_EQ(pasteboardText(), link);
    EXPECT_EQ(hudText(), "复制成功");
    clock.advance(2);
    driver.settle();

    for (const char* title : {"涟信", "Pal", "朋友圈"}) {
        ASSERT_TRUE(driver.tap(tile(page, title))) << title << driver.lastError();
        auto shown = overlays();
        ASSERT_EQ(shown.size(), 1u) << title;
        EXPECT_EQ(shown[0]->urlStr(), link);
        shown[0]->removeFromSuperview();
    }
    EXPECT_TRUE(rippleLog.empty());
    EXPECT_FALSE(page->req());
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());
}

// An entry without a link: saying "复制成功" with nothing copied would
// report a failure as success, so no tile acts on it.
TEST_F(PromotedGamesPage, AGameWithoutALinkOrNameShowsNothingMissingAndItsTilesStayStill) {
    auto page = showLoadedPage();
    auto game = make<KXPromoteGameModel>();
    game->id = "7";
    auto cell = make<KXPromoteGameCell>(UITableViewCellStyle::Default, "cellID");
    cell->setModel(game);
    EXPECT_EQ(cell->gameNameLabel()->text(), "");
    EXPECT_EQ(cell->fenchengbiliLabel()->text(), "分成比例: ");

    UIPasteboard::generalPasteboard()->setString("earlier");
    for (long index : {0L, 1L, 2L, 3L}) page->KXPromoteGameCellxunzhong(index, game);
    EXPECT_EQ(pasteboardText(), "earlier");
    EXPECT_EQ(hudText(), "");
    EXPECT_TRUE(overlays().empty());
}

TEST_F(PromotedGamesPage, RippleSharesCarryTheNameTheIndexAndTheScene) {
    startBackend();
    auto thumbnail = UIImage::imageWithContentsOfFile(VELMARO_APP_BUNDLE_DIR "/ripple_ico@2x.png");
    ASSERT_TRUE(thumbnail);
    auto moments = KXPromoteGameViewController::rippleShareRequest(2, thumbnail, "http://127.0.0.1/h5/game/3", "星河战记");
    EXPECT_EQ(moments->scene(), 1);
    EXPECT_FALSE(moments->bText());
    EXPECT_EQ(moments->message()->title(), "星河战记");
    EXPECT_EQ(moments->message()->description(), "星河战记2");
    EXPECT_TRUE(moments->message()->thumbData());
    EXPECT_EQ(cast<RPWebpageObject>(moments->message()->mediaObject())->webpageUrl(), "http://127.0.0.1/h5/game/3");

    auto chat = KXPromoteGameViewController::rippleShareRequest(0, nullptr, "http://127.0.0.1/h5/game/3", "星河战记");
    EXPECT_EQ(chat->scene(), 0);
    EXPECT_EQ(chat->message()->description(), "星河战记0");
    EXPECT_FALSE(chat->message()->thumbData());

    // The operation sends once the picture has loaded, or failed to.
    auto page = make<KXPromoteGameViewController>();
    NSLogCapture log;
    page->shared(0, iconAddress(), "http://127.0.0.1/h5/game/3", "星河战记");
    page->shared(2, "not an address", "http://127.0.0.1/h5/game/3", "星河战记");
    ASSERT_TRUE(runUntil([&] { return rippleLog.size() == 2; }));
    EXPECT_EQ(rippleLog[0], "rplog:Error:register appid is nil");
    EXPECT_TRUE(log.contains(" shuju <UIImage"));
    EXPECT_TRUE(log.contains(" shuju (null)"));
}

TEST_F(PromotedGamesPage, PalSharesANewsLinkAndTheCopyIndexFillsThePasteboardSilently) {
    showWindow();
    auto page = make<KXPromoteGameViewController>();
    page->shared(1, "http://127.0.0.1/static/icon/game-3.png", "http://127.0.0.1/h5/game/3?uid=1", "星河战记");
    ASSERT_TRUE(page->req());
    EXPECT_EQ(page->req()->type(), 1);
    auto news = cast<PalApiNewsObject>(page->req()->message());
    ASSERT_TRUE(news);
    EXPECT_EQ(news->title(), "星河战记");
    EXPECT_EQ(news->description(), "星河战记1");
    EXPECT_EQ(news->url()->absoluteString(), "http://127.0.0.1/h5/game/3?uid=1");
    EXPECT_EQ(news->previewImageURL()->absoluteString(), "http://127.0.0.1/static/icon/game-3.png");

    page->shared(3, "", "http://127.0.0.1/h5/game/3?uid=1", "星河战记");
    EXPECT_EQ(pasteboardText(), "http://127.0.0.1/h5/game/3?uid=1");
    driver.settle();
    EXPECT_EQ(hudText(), "");

    // Indexes beyond the four do nothing.
    UIPasteboard::generalPasteboard()->setString("earlier");
    const auto palRequest = page->req();
    for (long index : {4L, -1L}) page->shared(index, "", "http://127.0.0.1/h5/game/9", "别的");
    driver.settle();
    EXPECT_EQ(pasteboardText(), "earlier");
    EXPECT_EQ(page->req(), palRequest);
    EXPECT_TRUE(rippleLog.empty());
}
