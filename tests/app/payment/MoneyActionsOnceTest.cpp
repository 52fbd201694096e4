#include <functional>

#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXChongzhijiemianViewController.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXMoney.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "app/shell/KXWebUtils.h"
#include "app/tabs/mine/KXMineController.h"
#include "foundation/NSString.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/SimulatedPaymentApp.h"
#include "webkit/WKWebView.h"

namespace {

// Money and state actions happen once per tap however fast the taps come,
// and every screen showing a balance shows the back end's.
class MoneyActionsOnce : public MoneyScreenFixture {
protected:
    bool waitHUDShows() const { return MBProgressHUD::HUDForView(window) != nullptr; }
    KXMoney prepaidBalance() { return KXMoney::parse(backendAnswer("yufu")["data"].description()).value_or(KXMoney()); }
    long settlementCount() {
        return NSString::intValue(backendAnswer("jiesuan_list")["data"]["number"].description());
    }
    // The discount top-up with the form filled in for the first demo game
    // (30 % off) and the prepaid balance chosen.
    Ref<KXDiscountDaiChunViewController> prepaidTopUp(const std::string& amount) {
        auto screen = show(make<KXDiscountDaiChunViewController>());
        const Value games = backendAnswer("fuli_game");
        auto game = make<KXdaichongzheKouModel>();
        game->id = games["data"][0]["id"].description();
        game->zhekou = games["data"][0]["zhekou"].doubleValue();
        screen->shiwanzhanghaoTxetField()->setText("wanjia001");
        screen->KXGameIcoPopViewDelegate(game);
        EXPECT_TRUE(driver.typeText("#shurujingETextField", amount));
        EXPECT_TRUE(driver.tap("#yufukuanBtn"));
        return screen;
    }
};

// The wait HUD takes the second tap; the guard stops a second application
// all the same (here one sent by the screen's own action, which the HUD
// does not cover).
TEST_F(MoneyActionsOnce, ADoubleTapOnSubmitAppliesForOneSettlement) {
    auto screen = show(make<KXApplyjiesuanViewController>());
    ASSERT_TRUE(runUntil([&] { return screen->jisuanStr().has_value(); }));
    const long before = settlementCount();
    ASSERT_TRUE(driver.typeText("#manaTextField", "10"));
    hold("jiesuan");
    ASSERT_TRUE(driver.tap("提交"));
    EXPECT_TRUE(waitHUDShows());
    ASSERT_TRUE(driver.tap("提交"));
    screen->submit();
    release();
    ASSERT_TRUE(runUntil([&] { return cast<KXApplyForSettlementViewController>(top()) != nullptr; }));
    finishTransition();
    EXPECT_EQ(sent("jiesuan").size(), 1u);
    EXPECT_EQ(settlementCount(), before + 1);
    EXPECT_FALSE(waitHUDShows());
}

// A settlement that went out and was never answered may have been made: the
// screen says where to look, loads the settleable amount again, once however
// often the promoter taps while that load hangs (taps that each sent one
// took every connection to the back end), and sends nothing more until it
// has the amount; the next tap then sends the unanswered request again.
TEST_F(MoneyActionsOnce, AnUnansweredSettlementIsNeitherAFailureNorSentAgain) {
    auto screen = show(make<KXApplyjiesuanViewController>());
    ASSERT_TRUE(runUntil([&] { return screen->jisuanStr().has_value(); }));
    const KXMoney settleable = KXMoney::parse(*screen->jisuanStr()).value();
    const std::string unknown = "结果未知，请在结算明细中确认";
    ASSERT_TRUE(driver.typeText("#manaTextField", "10"));
    const std::size_t loads = sent("my").size();

    // A back end that takes the settlement and never answers, and a client
    // that gives up on it soon; the amount's reload then hangs.
    MisbehavingServer silent(MisbehavingServer::Behaviour::HoldWithoutAnswer);
    struct AnsweringAgain {
        std::string relay;
        ~AnsweringAgain() {
            KXWebUtils::sharedManager()->requestSerializer()->setTimeoutInterval(60);
            KXServiceAddress::setBaseURL(relay);
        }
    };
    std::optional<AnsweringAgain> answering{AnsweringAgain{relay->baseURL()}};
    KXWebUtils::sharedManager()->requestSerializer()->setTimeoutInterval(0.2);
    KXServiceAddress::setBaseURL(silent.url("/"));
    hold("my");
    ASSERT_TRUE(driver.tap("提交"));
    ASSERT_TRUE(runUntil([&] { return silent.requestCount() == 1; }));
    answering.reset();
    EXPECT_TRUE(waitForHUD(unknown));
    wholeShot("settlement-unknown-result");
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    for (int tap = 0; tap < 5; ++tap) {
        letHUDsHide();
        ASSERT_TRUE(driver.tap("提交"));
        EXPECT_TRUE(waitForHUD(unknown)) << "a tap sends nothing while the amount is on its way";
    }
    EXPECT_EQ(silent.requestCount(), 1u);
    EXPECT_EQ(sent("jiesuan").size(), 0u);
    EXPECT_EQ(sent("my").size(), loads + 1);

    // Meanwhile the back end took 10.00 by another request; the reload brings
    // the amount left, and the next tap sends the request the back end never
    // had.
    ASSERT_EQ(KXClassicRequest::code(backendAnswer("jiesuan", {{"money", "10.00"}}, {"money"})), 1);
    release();
    const std::string left = "可结算金额: " + (settleable - KXMoney::fromFen(1000)).format();
    ASSERT_TRUE(runUntil([&] { return screen->manaTextField()->placeholder() == left; }));
    const std::size_t sentBefore = sent("jiesuan").size();
    letHUDsHide();
    ASSERT_TRUE(driver.tap("提交"));
    ASSERT_TRUE(runUntil([&] { return cast<KXApplyForSettlementViewController>(top()) != nullptr; }));
    finishTransition();
    EXPECT_EQ(sent("jiesuan").size(), sentBefore + 1);
    EXPECT_EQ(sent("my").size(), loads + 1);
}

// A settlement or a top-up from the balance whose answer was lost after the
// back end made it is not made again by a retry of the same values: the
// lost request goes again as it was, and the back end, which knows it, acts
// on it once.
TEST_F(MoneyActionsOnce, ARetryOfAMoneyActionWhoseAnswerWasLostActsOnce) {
    for (const std::string action : {"jiesuan", "fuli"}) {
        SCOPED_TRACE(action);
        const bool settling = action == "jiesuan";
        const long settlements = settlementCount();
        const KXMoney balance = prepaidBalance();
        Ref<UIViewController> form;
        std::function<bool()> reloaded;
        if (settling) {
            auto screen = show(make<KXApplyjiesuanViewController>());
            ASSERT_TRUE(runUntil([&] { return screen->jisuanStr().has_value(); }));
            const std::string left =
                "可结算金额: " + (KXMoney::parse(*screen->jisuanStr()).value() - KXMoney::fromFen(1000)).format();
            ASSERT_TRUE(driver.typeText("#manaTextField", "10"));
            reloaded = [screen, left] { return screen->manaTextField()->placeholder() == left; };
            form = screen;
        } else {
            auto screen = prepaidTopUp("1.06");
            const std::string left = "预付款(" + (balance - KXMoney::fromFen(74)).format() + ")";
            reloaded = [screen, left] { return screen->yufukuanBtn()->titleForState(UIControlStateNormal) == left; };
            form = screen;
        }
        const std::string submit = settling ? "提交" : "立即充值";
        script(action, HoldingRelay::kLostAnswer);
        ASSERT_TRUE(driver.tap(submit));
        EXPECT_TRUE(waitForHUD(KXMoneyRequest::unknownResultText(settling ? "结算明细" : "代充记录")));
        ASSERT_TRUE(runUntil(reloaded));
        unscript();
        letHUDsHide();
        ASSERT_TRUE(driver.tap(submit));
        ASSERT_TRUE(runUntil([&] { return top() != form; }));
        if (!settling) {
            EXPECT_EQ(hudText(), KXMoneyRequest::kDoneBefore);
        }
        finishTransition();
        if (settling) {
            EXPECT_TRUE(cast<KXApplyForSettlementViewController>(top()));
        }
        const auto requests = sent(action);
        ASSERT_EQ(requests.size(), 2u);
        EXPECT_EQ(requests[1].at("t"), requests[0].at("t"));
        EXPECT_EQ(requests[1].at("sign"), requests[0].at("sign"));
        EXPECT_EQ(settlementCount(), settlements + (settling ? 1 : 0));
        EXPECT_EQ(prepaidBalance(), balance - KXMoney::fromFen(settling ? 0 : 74));
        letHUDsHide();
        stack->popToRootViewControllerAnimated(false);
        driver.settle();
    }
}

TEST_F(MoneyActionsOnce, ADoubleTapOnAPrepaidTopUpChargesOnce) {
    const KXMoney before = prepaidBalance();
    auto screen = prepaidTopUp("1.06");
    EXPECT_EQ(screen->zhifiLabel()->text(), "支付金额￥0.74");
    hold("fuli");
    ASSERT_TRUE(driver.tap("立即充值"));
    screen->tijiaobutonti(nullptr);
    release();
    ASSERT_TRUE(runUntil([&] { return top() != screen; }));
    finishTransition();
    EXPECT_EQ(sent("fuli").size(), 1u);
    EXPECT_EQ(prepaidBalance(), before - KXMoney::fromFen(74));
}

// Back from paying, an order whose state gets no answer may be paid: while
// the state is asked a tap orders nothing, and then the form lies under the
// page saying so, never ready to pay again.
TEST_F(MoneyActionsOnce, AnOrderWhoseStateIsNotAnsweredIsNotPaidAgain) {
    for (const std::string order : {"fuli", "recharge"}) {
        const std::string state = order == "fuli" ? "fuli_status" : "recharge_log";
        script(state, kHTTPFailure);
        hold(state);
        Ref<UIViewController> form = order == "fuli" ? Ref<UIViewController>(prepaidTopUp("30"))
                                                     : show(make<KXChangchyongViewController>());
        ASSERT_TRUE(order == "fuli" ? driver.tap("#zhifubaoBut") : driver.typeText("#shurutextField", "30"));
        ASSERT_TRUE(driver.tap("立即充值"));
        ASSERT_TRUE(runUntil([&] { return cast<KXWebViewGameViewController>(top()) != nullptr; }));
        finishTransition();
        goBack();
        ASSERT_TRUE(runUntil([&] { return sent(state).size() == 1; }));
        ASSERT_TRUE(driver.tap("立即充值"));
        EXPECT_EQ(hudText(), KXMoneyRequest::unknownResultText(order == "fuli" ? "代充记录" : "充值记录"));
        letHUDsHide();
        release();
        ASSERT_TRUE(runUntil([&] { return driver.find(KXChongzhishibaiViewController::kHeadline) != nullptr; }));
        EXPECT_EQ(hudText(), "") << order;
        letHUDsHide();
        driver.tap("立即充值");
        EXPECT_EQ(sent(order).size(), 1u);
        EXPECT_EQ(top(), form);
        goBack();
    }
}

// After a prepaid top-up took 0.74 from the balance, the 我的 tab shows the
// new balance when it is next seen, and a recharge's success page shows the
// balance the back end then holds.
TEST_F(MoneyActionsOnce, BalancesShownAfterADeductionAreTheBackEnds) {
    KXServiceAddress::setBaseURL(backend->baseURL());
    SimulatedPaymentApp payments(PaymentNotice::Provider{backend->paymentProviderSecret(), backend->baseURL()});
    auto mine = show(make<KXMineController>());
    ASSERT_TRUE(runUntil([&] { return mine->collectionProtocol()->model != nullptr; }));
    const KXMoney start = KXMoney::parse(mine->collectionProtocol()->model->yufu).value();

    auto topUp = prepaidTopUp("1.06");
    ASSERT_TRUE(driver.tap("立即充值"));
    ASSERT_TRUE(runUntil([&] { return top() == mine; }));
    finishTransition();
    const std::string deducted = (start - KXMoney::fromFen(74)).format();
    ASSERT_TRUE(runUntil([&] { return mine->collectionProtocol()->model->yufu == deducted; }));
    letHUDsHide();

    auto recharge = make<KXChangchyongViewController>();
    recharge->setCunchuStr(mine->collectionProtocol()->model->yufu);
    show(recharge);
    ASSERT_TRUE(driver.typeText("#shurutextField", "50"));
    ASSERT_TRUE(driver.tap("#tijianbut"));
    ASSERT_TRUE(runUntil([&] { return cast<KXWebViewGameViewController>(top()) != nullptr; }));
    finishTransition();
    auto webView = cast<KXWebViewGameViewController>(top())->webView1()->webView();
    ASSERT_TRUE(runUntil([&] { return !webView->isLoading() && !webView->title().empty(); }));
    ASSERT_TRUE(webView->followLink("涟信支付"));
    ASSERT_TRUE(runUntil([&] { return !payments.notifyAnswers().empty(); }));
    goBack();
    Ref<KXChongzhijiemianViewController> success;
    ASSERT_TRUE(runUntil([&] {
        for (const auto& child : recharge->childViewControllers())
            if (auto page = cast<KXChongzhijiemianViewController>(child)) success = page;
        return success != nullptr;
    }));
    driver.settle();
    const std::string balance = (start - KXMoney::fromFen(74) + KXMoney::fromFen(5000)).format();
    EXPECT_EQ(success->yufukuanLabel()->text(), balance + "元");
    wholeShot("recharge-paid-after-deduction");

    goBack();
    ASSERT_TRUE(runUntil([&] { return mine->collectionProtocol()->model->yufu == balance; }));
}

}  // namespace
