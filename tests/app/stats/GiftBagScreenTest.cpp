#include <gtest/gtest.h>

#include "app/stats/KXGameGiftBagAlert.h"
#include "foundation/NSString.h"
#include "app/stats/KXGameGiftBagCell.h"
#include "app/stats/KXGameGiftBagController.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"
#include "frameworks/keyboard/IQKeyboardManager.h"
#include "frameworks/refresh/MJRefreshFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "tests/app/stats/StatsScreenFixture.h"
#include "tests/support/HoldingRelay.h"
#include "uikit/ViewSnapshot.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIPasteboard.h"

namespace {

class GiftBagScreenTest : public StatsScreenFixture {
protected:
    void SetUp() override {
        StatsScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        screen = make<KXGameGiftBagController>();
        open(screen, [&] { return !screen->mutDataArr().empty(); });
    }

    long rows() const { return screen->tableView()->numberOfRowsInSection(0); }
    // Runs the loop until the rows number `count`.
    bool rowsBecome(long count) {
        return runUntil([&] { return static_cast<long>(screen->mutDataArr().size()) == count; }) &&
               (driver.settle(), rows() == count);
    }
    bool loadMore() { return StatsScreenFixture::loadMore(screen->tableView()); }
    Ref<KXGameGiftBagCell> row(long index) { return rowOf<KXGameGiftBagCell>(screen->tableView(), index); }
    Ref<KXGameGiftBagAlert> shownAlert() const {
        auto found = driver.findAllOfClass("KXGameGiftBagAlert");
        return found.empty() ? nullptr : cast<KXGameGiftBagAlert>(found.front());
    }

    // Whether the middle of the pop-up's image area is drawn red.
    static bool imageAreaIsRed(const Ref<KXGameGiftBagAlert>& alert) {
        const auto area = alert->gameImageView();
        const auto pixel = snapshotView(area, false, 1)
                               ->CGImage()
                               ->pixelAt(static_cast<std::size_t>(area->bounds().size.width / 2),
                                         static_cast<std::size_t>(area->bounds().size.height / 2));
        return pixel.alpha == 255 && pixel.red == 255 && pixel.green == 0 && pixel.blue == 0;
    }
    // A pop-up shown for the first bag, its image loaded from `address`.
    Ref<KXGameGiftBagAlert> popUpWithImage(const std::string& address) {
        const auto shown = screen->mutDataArr()[0];
        auto bag = make<KXGameGiftBagModel>();
        bag->gname = shown->gname;
        bag->content = shown->content;
        bag->bfb = shown->bfb;
        bag->cate = shown->cate;
        bag->shengyu = shown->shengyu;
        bag->bgimg = address;
        auto alert = make<KXGameGiftBagAlert>();
        alert->setModel(bag);
        alert->show();
        clock.advance(1);
        return alert;
    }

    Ref<KXGameGiftBagController> screen;
};

TEST_F(GiftBagScreenTest, PagesCopiesAndOpensThePopUp) {
    EXPECT_EQ(screen->navigationView()->titleLabel()->text(), "游戏礼包");
    EXPECT_TRUE(IQKeyboardManager::shared()->shouldResignOnTouchOutside());
    EXPECT_EQ(rows(), 10);
    EXPECT_TRUE(UIScrollViewLYEmpty::ly_emptyView(screen->tableView())->isHidden());
    auto first = row(0);
    ASSERT_TRUE(first);
    const auto bag = screen->mutDataArr()[0];
    EXPECT_EQ(first->titleLabel()->text(), bag->gname);
    EXPECT_EQ(first->surplusLabel()->text(), "剩余 " + bag->bfb);
    EXPECT_DOUBLE_EQ(first->progressBar()->progress(), (bag->cate - bag->shengyu) / bag->cate);
    EXPECT_DOUBLE_EQ(first->frame().size.height, 85);
    shot("stats", "gift-bags");

    // The 23 bags come in pages of 10; an empty page changes nothing (rows
    // nor page number) and the footer can be pulled again.
    ASSERT_TRUE(loadMore());
    EXPECT_TRUE(rowsBecome(20));
    ASSERT_TRUE(loadMore());
    EXPECT_TRUE(rowsBecome(23));
    ASSERT_TRUE(loadMore());
    EXPECT_TRUE(runUntil([&] { return !screen->httpManager()->pageUnderWay(); }));
    EXPECT_EQ(screen->httpManager()->p(), 3);
    EXPECT_EQ(rows(), 23);
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_footer(screen->tableView())->isRefreshing());

    // Copying the row's link does not open the pop-up.
    first = row(0);
    ASSERT_TRUE(first);
    ASSERT_TRUE(driver.tap(first->copyButton()));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), bag->url);
    EXPECT_EQ(toastOn(window), "复制成功");
    EXPECT_EQ(shownAlert(), nullptr);
    letHUDsHide();

    // The row opens its bag's pop-up; copying there keeps it open; the close
    // button and a tap beside the card close it.
    ASSERT_TRUE(driver.selectRow(screen->tableView(), NSIndexPath::indexPathForRow(1, 0)));
    clock.advance(1);
    auto alert = shownAlert();
    ASSERT_TRUE(alert);
    const auto second = screen->mutDataArr()[1];
    EXPECT_EQ(alert->nameLabel()->text(), second->gname);
    EXPECT_EQ(alert->contentLabel()->text(), second->content);
    EXPECT_EQ(alert->surplusLabel()->text(), "剩余 " + second->bfb);
    EXPECT_DOUBLE_EQ(alert->bgView()->frame().origin.y, 148);
    EXPECT_TRUE(runUntil([&] { return alert->gameImageView()->image() != nullptr; }));
    shot("stats", "gift-bag-pop-up");
    UIPasteboard::generalPasteboard()->setString("");
    ASSERT_TRUE(driver.tap(alert->copyButton()));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->string(), second->url);
    EXPECT_EQ(toastOn(alert), "复制成功");
    letHUDsHide();
    ASSERT_TRUE(driver.tap(alert->cancelButton()));
    EXPECT_EQ(shownAlert(), nullptr);
    ASSERT_TRUE(driver.selectRow(screen->tableView(), NSIndexPath::indexPathForRow(2, 0)));
    clock.advance(1);
    ASSERT_TRUE(shownAlert());
    ASSERT_TRUE(driver.tapAt({187, 100}));
    EXPECT_EQ(shownAlert(), nullptr);
}

// The pop-up's image area is red until the image has loaded, and stays red
// when it cannot be loaded.
TEST_F(GiftBagScreenTest, ThePopUpsImageAreaIsRedUntilItsImageHasLoaded) {
    HoldingRelay relay(backend->port());
    relay.holdAnswers(HoldingRelay::pathUnder("/static/"));
    const std::string image = NSURL::URLWithString(screen->mutDataArr()[0]->bgimg)->path();
    auto alert = popUpWithImage(relay.baseURL() + image);
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    EXPECT_TRUE(imageAreaIsRed(alert)) << "while the image loads";
    relay.release();
    ASSERT_TRUE(runUntil([&] { return alert->gameImageView()->image() != nullptr; }));
    EXPECT_FALSE(imageAreaIsRed(alert)) << "the image covers it";
    ASSERT_TRUE(driver.tap(alert->cancelButton()));

    relay.script(HoldingRelay::pathUnder("/static/"), HoldingRelay::kHTTPFailure);
    const std::string missing = relay.baseURL() + "/static/gift/missing.png";
    alert = popUpWithImage(missing);
    // A second view asking for the same address learns when the load failed.
    auto probe = make<UIImageView>();
    Ref<NSError> failure;
    UIImageViewWebCache::sd_setImageWithURL(probe, NSURL::URLWithString(missing), nullptr,
                                            [&](const Ref<UIImage>&, const Ref<NSError>& error, SDImageCacheType,
                                                const Ref<NSURL>&) { failure = error; });
    ASSERT_TRUE(runUntil([&] { return failure != nullptr; }));
    driver.settle();
    EXPECT_EQ(alert->gameImageView()->image(), nullptr);
    EXPECT_TRUE(imageAreaIsRed(alert)) << "an image that cannot be loaded";
    shot("stats", "gift-bag-pop-up-without-image");
    ASSERT_TRUE(driver.tap(alert->cancelButton()));
}

TEST_F(GiftBagScreenTest, SearchesByKeywordAtReturnAndWhenTheFieldEmpties) {
    const std::string game = screen->mutDataArr()[0]->gname;
    ASSERT_TRUE(driver.typeText("#searchField", game));
    // Typing alone sends nothing; a pull-down still uses the old keyword.
    EXPECT_EQ(screen->keyword(), "");
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_EQ(screen->keyword(), game);
    ASSERT_TRUE(runUntil([&] { return static_cast<long>(screen->mutDataArr().size()) < 10; }));
    driver.settle();
    for (const auto& bag : screen->mutDataArr()) EXPECT_NE(bag->gname.find(game), std::string::npos) << bag->gname;
    const auto found = screen->mutDataArr().size();

    EXPECT_NE(found, 0u);

    // A search that finds nothing shows no rows but the empty view.
    ASSERT_TRUE(driver.tap(screen->searchField()));
    ASSERT_TRUE(driver.deleteBackward(static_cast<std::size_t>(NSString::length(game))));
    EXPECT_EQ(screen->searchField()->text(), "");
    EXPECT_EQ(screen->keyword(), "") << "emptying the field searches everything";
    ASSERT_TRUE(rowsBecome(10));
    ASSERT_TRUE(driver.typeText("#searchField", "没有这个游戏"));
    ASSERT_TRUE(driver.pressReturn());
    EXPECT_EQ(screen->keyword(), "没有这个游戏");
    ASSERT_TRUE(rowsBecome(0));
    EXPECT_FALSE(UIScrollViewLYEmpty::ly_emptyView(screen->tableView())->isHidden());
    // A pull asks the same question again: still nothing.
    ASSERT_TRUE(driver.pullDown(screen->tableView()));
    ASSERT_TRUE(runUntil([&] { return !screen->httpManager()->pageUnderWay(); }));
    EXPECT_TRUE(rowsBecome(0));
}

TEST_F(GiftBagScreenTest, AFailedSearchKeepsTheRowsAndTheKeywordThatPagesThem) {
    signInAsStranger();
    ASSERT_TRUE(driver.typeText("#searchField", "没有这个游戏"));
    ASSERT_TRUE(driver.pressReturn());
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == kStrangerMessage; }));
    EXPECT_EQ(rows(), 10);
    KXLocallyStoredData::setUserID("1");
    letHUDsHide();
    ASSERT_TRUE(loadMore());
    EXPECT_TRUE(rowsBecome(20)) << "the second page of the list on show, not of the failed keyword";
}

TEST_F(GiftBagScreenTest, ATapOutsideTheSearchFieldEndsEditingAsTheKeyboardSwitchAsks) {
    auto field = screen->searchField();
    ASSERT_TRUE(driver.typeText(field, "龙"));
    // A tap on the field itself keeps it editing.
    ASSERT_TRUE(driver.tap(field));
    EXPECT_TRUE(field->isFirstResponder());
    // A tap on a row ends editing, and the row still opens its pop-up.
    ASSERT_TRUE(driver.selectRow(screen->tableView(), NSIndexPath::indexPathForRow(1, 0)));
    EXPECT_FALSE(field->isFirstResponder());
    ASSERT_TRUE(shownAlert());
    ASSERT_TRUE(driver.tap(shownAlert()->cancelButton()));
    ASSERT_FALSE(shownAlert());
    EXPECT_EQ(field->text(), "龙") << "the text stays; nothing is searched";

    // With the switch off, a tap outside leaves the field editing.
    auto keyboard = IQKeyboardManager::shared();
    keyboard->setShouldResignOnTouchOutside(false);
    ASSERT_TRUE(driver.typeText(field, "城"));
    ASSERT_TRUE(driver.selectRow(screen->tableView(), NSIndexPath::indexPathForRow(1, 0))) << driver.lastError();
    EXPECT_TRUE(field->isFirstResponder());
    keyboard->setShouldResignOnTouchOutside(true);
}

TEST_F(GiftBagScreenTest, AFailedFirstPageToastsTheMessageAndKeepsTheRows) {
    signInAsStranger();
    ASSERT_TRUE(driver.pullDown(screen->tableView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == kStrangerMessage; }));
    EXPECT_EQ(rows(), 10);
    EXPECT_FALSE(UIScrollViewMJRefresh::mj_header(screen->tableView())->isRefreshing());
    // A failed next page is told too, and asks the same page again.
    letHUDsHide();
    ASSERT_TRUE(driver.pullUp(screen->tableView()));
    ASSERT_TRUE(runUntil([&] { return toastOn(screen->view()) == kStrangerMessage; }));
    EXPECT_EQ(screen->httpManager()->p(), 1);
    EXPECT_EQ(rows(), 10);
}

}  // namespace
