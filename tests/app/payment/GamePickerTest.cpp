#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/payment/KXGameYouXitanKuangCollectionViewCell.h"
#include "tests/app/payment/PaymentScreenFixture.h"
#include "tests/app/payment/PaymentTestSupport.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/TextFitCheck.h"

namespace {

// Records the games it is told about.
class PickRecorder : public NSObject, public KXGameIcoPopViewDlegate {
public:
    void KXGameIcoPopViewDelegate(const Ref<KXdaichongzheKouModel>& model) override { picked.push_back(model); }
    std::vector<Ref<KXdaichongzheKouModel>> picked;
};

class GamePickerTest : public PaymentScreenFixture {
protected:
    Ref<KXGameIcoPopView> show() {
        auto popup = make<KXGameIcoPopView>(UIScreen::mainScreen()->bounds());
        popup->setDelegate(recorder);
        popup->requestDatashuju();
        window->addSubview(popup);
        driver.settle();
        return popup;
    }
    void loaded(const Ref<KXGameIcoPopView>& popup, std::size_t count) {
        ASSERT_TRUE(runUntil([&] { return popup->dataMuArr().size() == count; })) << popup->dataMuArr().size();
        driver.settle();
    }
    static std::vector<std::string> names(const Ref<KXGameIcoPopView>& popup) {
        std::vector<std::string> result;
        for (const auto& game : popup->dataMuArr()) result.push_back(game->name.value_or(""));
        return result;
    }

    Ref<PickRecorder> recorder = make<PickRecorder>();
};

TEST_F(GamePickerTest, ShowsTheGamesOnACardOverADimmedBackdrop) {
    auto popup = show();
    EXPECT_EQ(popup->keyword(), "");
    loaded(popup, 18);
    EXPECT_EQ(popup->maincollectionView()->numberOfItemsInSection(0), 18);
    auto cell = cast<KXGameYouXitanKuangCollectionViewCell>(
        popup->maincollectionView()->cellForItemAtIndexPath(NSIndexPath::indexPathForItem(0, 0)));
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->youxilabel()->text(), "龙城霸业");
    // The icons arrive from the back end.
    EXPECT_TRUE(runUntil([&] { return cell->icoIamgeView()->image() != nullptr; }));
    EXPECT_EQ(popup->fenxiangView()->frame(), CGRectMake(20, (UIScreen::mainScreen()->bounds().size.height - 430) / 2, 335, 430));
    // A name is laid 5 points wider than its cell on each side.
    EXPECT_EQ(cell->youxilabel()->frame(), CGRectMake(-5, 50, 54, 17));
    EXPECT_TRUE(checkedShot(driver, paymentShotPath("payment_game_picker.png"), "youxilabel")) << driver.lastError();
}

TEST_F(GamePickerTest, TheKeywordIsSearchedOnlyWhenTheButtonIsTapped) {
    auto popup = show();
    loaded(popup, 18);
    ASSERT_TRUE(driver.typeText("#searchField", "传奇"));
    EXPECT_EQ(popup->keyword(), "传奇");
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));  // a search sent would be answered by now
    EXPECT_EQ(popup->dataMuArr().size(), 18u);

    ASSERT_TRUE(driver.tap("搜索"));
    loaded(popup, 2);
    EXPECT_EQ(names(popup), (std::vector<std::string>{"热血传奇", "复古传奇"}));
    EXPECT_FALSE(popup->searchField()->isFirstResponder());

    // Sent as typed, spaces and all: nothing matches, the grid empties.
    popup->searchField()->setText("");
    ASSERT_TRUE(driver.typeText("#searchField", "传 奇"));
    ASSERT_TRUE(driver.tap("搜索"));
    loaded(popup, 0);
    EXPECT_EQ(popup->maincollectionView()->numberOfItemsInSection(0), 0);
    EXPECT_NE(popup->superview(), nullptr);
}

TEST_F(GamePickerTest, ALateAnswerOfAnEarlierSearchDoesNotReplaceTheLatest) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.hold(HoldingRelay::field("fuli_game", "keyword", ""));
    auto popup = show();
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    ASSERT_TRUE(driver.typeText("#searchField", "传奇"));
    ASSERT_TRUE(driver.tap("搜索"));
    loaded(popup, 2);
    // The opening load was cancelled; its answer (every game), were it to
    // arrive last, would be dropped.
    relay.release();
    ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
    EXPECT_EQ(names(popup), (std::vector<std::string>{"热血传奇", "复古传奇"}));
}

// Searches on a back end that holds them: each cancels the one it
// supersedes, so none keeps a connection another screen's request needs.
TEST_F(GamePickerTest, SearchesOnAHeldBackEndHoldNoConnectionAnotherRequestNeeds) {
    HoldingRelay relay(backend->port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.hold(HoldingRelay::action("fuli_game"));
    show();
    for (int i = 0; i < 7; ++i) ASSERT_TRUE(driver.tap("搜索"));
    bool answered = false;
    KXClassicRequest::send(KXClassicRequest::query("yufu"), [&](const Value&) { answered = true; });
    EXPECT_TRUE(runUntil([&] { return answered; })) << "yufu waits for a connection";
}

TEST_F(GamePickerTest, PickingReportsTheGameThenCloses) {
    auto popup = show();
    loaded(popup, 18);
    ASSERT_TRUE(driver.selectItem(popup->maincollectionView(), NSIndexPath::indexPathForItem(2, 0)));
    ASSERT_EQ(recorder->picked.size(), 1u);
    EXPECT_EQ(recorder->picked[0]->name, "神域传说");
    EXPECT_EQ(recorder->picked[0]->id, "3");
    EXPECT_EQ(recorder->picked[0]->zhekou, 0.29);
    EXPECT_EQ(popup->superview(), nullptr);

    // A delegate that has gone away hears nothing; the picker still closes.
    auto second = show();
    loaded(second, 18);
    recorder = nullptr;
    ASSERT_TRUE(driver.selectItem(second->maincollectionView(), NSIndexPath::indexPathForItem(0, 0)));
    EXPECT_EQ(second->superview(), nullptr);
}

TEST_F(GamePickerTest, ATapOnTheBackdropClosesWithoutAChoice) {
    auto popup = show();
    loaded(popup, 18);
    // A tap on the card outside its controls does nothing.
    EXPECT_FALSE(driver.tap("游戏图标"));
    EXPECT_NE(popup->superview(), nullptr);
    ASSERT_TRUE(driver.tapAt(CGPointMake(10, 40)));
    EXPECT_EQ(popup->superview(), nullptr);
    EXPECT_TRUE(recorder->picked.empty());
}

}  // namespace
