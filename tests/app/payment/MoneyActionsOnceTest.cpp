#include <chrono>
#include <filesystem>
#include <functional>

#include <sys/stat.h>

#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXChongzhijiemianViewController.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/payment/KXKeptMoneyRequests.h"
#include "app/payment/KXMoney.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "app/shell/AppDelegate.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSUserDefaults.h"
#include "app/shell/KXWebUtils.h"
#include "app/tabs/mine/KXMineController.h"
#include "foundation/NSString.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/SimulatedPaymentApp.h"
#include "tests/support/UnwritablePath.h"
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
    // What 结算明细 shows is read first, then the settlement goes.
    hold("jiesuan_list");
    ASSERT_TRUE(driver.tap("提交"));
    ASSERT_TRUE(runUntil([&] { return relay->held() == 1; }));
    KXWebUtils::sharedManager()->requestSerializer()->setTimeoutInterval(0.2);
    KXServiceAddress::setBaseURL(silent.url("/"));
    release();
    hold("my");
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

// A settlement or a top-up from the balance whose result is unknown (its
// answer lost after the back end made it, one that never reached it, or an
// answer that is not the back end's) is made once, whatever comes between
// the tap and its retry and however its values are typed again: the kept
// request goes again as it was, and the back end, which knows it, acts on it
// once; one it no longer takes is read back from the list, where only a row
// not listed before it went out proves it. A request the sandbox cannot keep
// does not go out; a damaged kept file keeps its actions closed until their
// list can tell.
TEST_F(MoneyActionsOnce, ARetryOfAMoneyActionOfUnknownResultActsOnceWhateverCameBetween) {
    using Action = const std::string&;
    using Says = std::function<std::string(Action)>;
    struct Road {
        const char* name;
        std::function<void(Action)> between;
        std::string lostAs = HoldingRelay::kLostAnswer;
        // Requests of the action sent in all, and rows it made.
        std::size_t sentInAll = 2;
        int made = 1;
        // What the retry says (none: the form closes as done), and whether
        // the next tap then makes a new action.
        Says retrySays = nullptr;
        bool thenNew = false;
        // Before the form opens; what the first tap is refused with, if it
        // is (nothing sent); after the retry, before the counts.
        std::function<void(Action)> before = nullptr;
        Says refused = nullptr;
        std::function<void(Action)> after = nullptr;
    };
    std::optional<UnwritablePath> library;
    std::string firstT, firstSign;
    std::function<Ref<UIViewController>()> openForm;
    auto leave = [&] {
        letHUDsHide();
        stack->popToRootViewControllerAnimated(false);
        driver.settle();
    };
    const std::string keptFile = KXKeptMoneyRequests::filePath();
    auto records = [](Action action) { return action == "jiesuan" ? "结算明细" : "代充记录"; };
    const Says unknown = [&](Action action) { return KXMoneyRequest::unknownResultText(records(action)); };
    const Says notMade = [](Action) { return KXMoneyRequest::kNotDoneBefore; };
    const Says found = [&](Action action) { return KXMoneyRequest::matchFoundText(records(action)); };
    const Says cannotKeep = [](Action) { return KXMoneyRequest::cannotKeepText(); };
    auto list = [](Action action) { return action == "jiesuan" ? "jiesuan_list" : "fuli_list"; };
    auto submit = [](Action action) { return action == "jiesuan" ? "提交" : "立即充值"; };
    auto field = [&](const std::string& id) { return cast<UITextField>(driver.find(id)); };
    auto amountField = [&](Action action) { return field(action == "jiesuan" ? "#manaTextField" : "#shurujingETextField"); };
    auto answerRetry = [&](Action action, const std::string& body) { relay->script(HoldingRelay::field(action, "t", firstT), body); };
    auto expired = [&](Action action) { answerRetry(action, R"({"code":2,"message":"请求已过期"})"); };
    // A new app on the sandbox, which tells at its start what is unknown.
    auto relaunch = [&](const std::string& told) {
        leave();
        NSUserDefaults::resetStandardUserDefaults();
        UIApplication::resetForTesting();
        UIApplication::launchForTesting(make<AppDelegate>());
        window = UIApplication::sharedApplication()->keyWindow();
        EXPECT_EQ(hudText(), told);
        stack = make<KXNavigationController>(make<UIViewController>());
        showInWindow(stack);
        driver.settle();
    };
    // The kept file cut short by five bytes, last written `age` seconds ago;
    // or `replaced` by what takes its place.
    auto damage = [&](int age, std::function<void()> replaced = nullptr) {
        std::filesystem::resize_file(keptFile, std::filesystem::file_size(keptFile) - 5);
        std::filesystem::last_write_time(keptFile, std::filesystem::last_write_time(keptFile) - std::chrono::seconds(age));
        if (replaced) replaced();
        relaunch(unknown("jiesuan"));
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::symlink_status(keptFile + ".damaged")));
        for (const auto& closed : KXKeptMoneyRequests::closedForSignedInPromoter())
            EXPECT_LE(closed.since, WMUtil::getTimeSp());
    };
    // The same values made by another device of the promoter (or earlier).
    auto madeElsewhere = [&](Action action) {
        const Value game = backendAnswer("fuli_game")["data"][0]["id"];
        ASSERT_EQ(KXClassicRequest::code(action == "jiesuan" ? backendAnswer("jiesuan", {{"money", "10"}}, {"money"})
            : backendAnswer("fuli", {{"username", "wanjia001"}, {"money", "1.06"}, {"gid", game}, {"type", "1"}},
                            {"username", "money", "gid", "type"})), 1);
    };
    const Road roads[] = {
        {.name = "the same form", .between = [](Action) {}, .lostAs = "{}"},
        {.name = "a new form", .between = [&](Action) { leave(); }, .lostAs = R"({"code":null,"data":[]})"},
        {.name = "a refused action between",
         .between = [&](Action action) {
             auto amount = amountField(action);
             const std::string typed = amount->text();
             amount->setText("11");
             letHUDsHide();
             relay->script(HoldingRelay::field(action, "money", "11"), R"({"code":0,"message":"余额不足"})");
             ASSERT_TRUE(driver.tap(submit(action)));
             EXPECT_TRUE(waitForHUD("余额不足"));
             amount->setText(typed);
         }, .sentInAll = 3},
        {.name = "a new app on the sandbox", .between = [&](Action action) { relaunch(unknown(action)); }},
        {.name = "past the back end's window", .between = expired, .retrySays = found},
        {.name = "another device's row", .between = [&](Action action) { madeElsewhere(action); expired(action); },
         .lostAs = HoldingRelay::kHTTPFailure, .sentInAll = 3, .retrySays = found},
        {.name = "a retry answered 服务器繁忙",
         .between = [&](Action action) {
             answerRetry(action, R"({"code":9,"message":"服务器繁忙"})");
             letHUDsHide();
             ASSERT_TRUE(driver.tap(submit(action)));
             EXPECT_TRUE(waitForHUD(unknown(action)));
             ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
             EXPECT_EQ(sent(action).back().at("sign"), firstSign);
             unscript();
         }, .sentInAll = 3},
        {.name = "another account", .between = [&](Action action) {
             if (action == "jiesuan") amountField(action)->setText("11");
             else field("#shiwanzhanghaoTxetField")->setText("wanjia002");
         }, .made = 2},
        {.name = "past the window, not made", .between = expired, .lostAs = HoldingRelay::kHTTPFailure, .sentInAll = 3,
         .retrySays = notMade, .thenNew = true},
        {.name = "a form that tells it when it opens", .between = [&](Action action) {
             leave();
             if (action == "jiesuan") show(make<KXApplyjiesuanViewController>());
             else show(make<KXDiscountDaiChunViewController>());
             EXPECT_EQ(hudText(), unknown(action));
             leave();
         }},
        {.name = "10 then 10.00", .between = [&](Action action) {
             amountField(action)->setText(action == "jiesuan" ? "10.00" : "01.06");
             if (action == "fuli") field("#shiwanzhanghaoTxetField")->setText("wanjia001 ");
         }},
        {.name = "a sandbox that cannot keep it", .between = [&](Action) { std::filesystem::remove(keptFile); },
         .sentInAll = 1, .before = [&](Action) { std::filesystem::create_directory(keptFile); }, .refused = cannotKeep},
        {.name = "a list that cannot be read first", .between = [](Action) {}, .sentInAll = 1,
         .before = [&](Action action) { script(list(action), action == "jiesuan" ? "{}" : kHTTPFailure); },
         .refused = [&](Action action) { return KXMoneyRequest::listUnreadText(records(action)); }},
        {.name = "a kept file that cannot be updated after the answer",
         .between = [&](Action) { library.emplace(std::filesystem::path(keptFile).parent_path()); }, .sentInAll = 3,
         .made = 2, .after = [&](Action action) {
             auto again = openForm();
             ASSERT_TRUE(driver.tap(submit(action)));
             EXPECT_TRUE(waitForHUD(cannotKeep(action)));
             ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
             library.reset();
             letHUDsHide();
             ASSERT_TRUE(driver.tap(submit(action)));
             ASSERT_TRUE(runUntil([&] { return top() != again; }));
             finishTransition();
         }},
        {.name = "a damaged kept file", .between = [&](Action) { damage(0); }, .sentInAll = 1, .retrySays = unknown},
        {.name = "a damaged kept file, its time a year ahead", .between = [&](Action) { damage(-365 * 86400); },
         .sentInAll = 1, .retrySays = unknown},
        {.name = "only the damaged file set aside",
         .between = [&](Action) { damage(0, [&] { std::filesystem::rename(keptFile, keptFile + ".damaged"); }); },
         .sentInAll = 1, .retrySays = unknown},
        {.name = "a pipe in the kept file's place",
         .between = [&](Action) { damage(0, [&] {
             std::filesystem::remove(keptFile);
             ::mkfifo(keptFile.c_str(), 0600);
         }); }, .sentInAll = 1, .retrySays = unknown},
        {.name = "a damaged kept file past the back end's window", .between = [&](Action) { damage(2 * 300 + 5); },
         .made = 2, .retrySays = [&](Action action) { return KXMoneyRequest::recordsFinalText(records(action)); },
         .thenNew = true},
        {.name = "an earlier identical row", .between = expired, .lostAs = HoldingRelay::kHTTPFailure, .sentInAll = 3,
         .made = 2, .retrySays = notMade, .thenNew = true, .before = madeElsewhere},
    };
    for (const Road& road : roads) {
        // Each road on a fresh back end, whose settleable amount the earlier
        // roads have not used up.
        relay.reset();
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        relay = std::make_unique<HoldingRelay>(backend->port());
        KXServiceAddress::setBaseURL(relay->baseURL());
        for (const std::string action : {"jiesuan", "fuli"}) {
            SCOPED_TRACE(std::string(road.name) + ", " + action);
            // Each road starts with nothing kept.
            std::filesystem::remove_all(keptFile);
            std::filesystem::remove(keptFile + ".damaged");
            const bool settling = action == "jiesuan";
            auto rows = [&] { return NSString::intValue(backendAnswer(list(action))["data"]["number"].description()); };
            const int rowsBefore = rows();
            const KXMoney balance = prepaidBalance();
            if (road.before) road.before(action);
            const std::size_t sentBefore = sent(action).size();
            // The form, once the message it may open with has gone.
            openForm = [&]() -> Ref<UIViewController> {
                if (!settling) {
                    auto screen = prepaidTopUp("1.06");
                    letHUDsHide();
                    EXPECT_TRUE(driver.tap("#yufukuanBtn"));
                    return screen;
                }
                auto screen = show(make<KXApplyjiesuanViewController>());
                EXPECT_TRUE(runUntil([&] { return screen->jisuanStr().has_value(); }));
                letHUDsHide();
                EXPECT_TRUE(driver.typeText("#manaTextField", "10"));
                return screen;
            };
            Ref<UIViewController> form = openForm();
            script(action, road.lostAs);
            ASSERT_TRUE(driver.tap(submit(action)));
            EXPECT_TRUE(waitForHUD((road.refused ? road.refused : unknown)(action)));
            if (road.refused && road.refused(action) == cannotKeep(action))
                EXPECT_EQ(MBProgressHUD::HUDForView(window)->detailsLabel()->text(),
                          "cannot write " + keptFile + ": " + keptFile + " is a folder");
            ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
            unscript();
            if (sent(action).size() > sentBefore) {
                firstT = sent(action).back().at("t");
                firstSign = sent(action).back().at("sign");
            }
            road.between(action);
            if (top() != form) form = openForm();
            // A second later, so that a new request would not be the first
            // again: the same values in one second are one request.
            ASSERT_TRUE(runUntil([&] { return WMUtil::getTimeSp() > std::stol(firstT); }));
            letHUDsHide();
            ASSERT_TRUE(driver.tap(submit(action)));
            if (road.retrySays) {
                EXPECT_TRUE(waitForHUD(road.retrySays(action)));
                ASSERT_TRUE(letRequestsEnd([&] { driver.settle(); }));
                unscript();
                if (road.thenNew) {
                    letHUDsHide();
                    ASSERT_TRUE(driver.tap(submit(action)));
                }
            }
            if (!road.retrySays || road.thenNew) {
                ASSERT_TRUE(runUntil([&] { return top() != form; }));
                unscript();
                finishTransition();
                EXPECT_TRUE(!settling || cast<KXApplyForSettlementViewController>(top()));
            } else {
                EXPECT_EQ(top(), form);
            }
            if (road.after) road.after(action);
            if (road.made == 1 && !road.retrySays && !road.refused) {
                EXPECT_EQ(sent(action).back().at("t"), firstT);
                EXPECT_EQ(sent(action).back().at("sign"), firstSign);
            }
            EXPECT_EQ(sent(action).size(), sentBefore + road.sentInAll);
            EXPECT_EQ(rows(), rowsBefore + road.made);
            EXPECT_EQ(prepaidBalance(), balance - KXMoney::fromFen(settling ? 0 : 74 * road.made));
            leave();
        }
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
    // Answered, it stays for a session's end to tell until marked seen.
    ASSERT_FALSE(KXMoneyRequest::sinceMark().empty());
    EXPECT_EQ(KXMoneyRequest::sinceMark().back()->outcome, KXMoneyRequest::kSubmitted);
    KXMoneyRequest::mark();
    EXPECT_TRUE(KXMoneyRequest::sinceMark().empty());
}

// Back from paying, an order whose state gets no answer, or any answer but
// a firm "not paid", may be paid: while the state is asked a tap orders
// nothing, and then the form lies under the page saying so, never ready to
// pay again.
TEST_F(MoneyActionsOnce, AnOrderWhoseStateIsNotAnsweredIsNotPaidAgain) {
    for (const std::string order : {"fuli", "recharge"}) {
        const std::string state = order == "fuli" ? "fuli_status" : "recharge_log";
        script(state, order == "fuli" ? kHTTPFailure : R"({"code":9,"message":"服务器繁忙，请稍后再试"})");
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
