#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXMoney.h"
#include "app/payment/KXChongzhijiemianViewController.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSString.h"
#include "tests/app/payment/MoneyScreenFixture.h"
#include "tests/support/SimulatedPaymentApp.h"
#include "uikit/UINavigationItem.h"
#include "webkit/WKWebView.h"

namespace {

class RechargeScreen : public MoneyScreenFixture {
protected:
    void SetUp() override {
        MoneyScreenFixture::SetUp();
        if (!HasFatalFailure()) payments.emplace(PaymentNotice::Provider{backend->paymentProviderSecret(), backend->baseURL()});
    }
    Ref<KXChangchyongViewController> open(const std::string& balance) {
        auto screen = make<KXChangchyongViewController>();
        screen->setCunchuStr(balance);
        return show(screen);
    }
    // Types the amount and submits; answers the payment page pushed for it.
    Ref<KXWebViewGameViewController> recharge(const std::string& amount) {
        EXPECT_TRUE(driver.typeText("#shurutextField", amount));
        EXPECT_TRUE(driver.tap("#tijianbut"));
        EXPECT_TRUE(runUntil([&] { return cast<KXWebViewGameViewController>(top()) != nullptr; }));
        finishTransition();
        return cast<KXWebViewGameViewController>(top());
    }
    void pay(const Ref<KXWebViewGameViewController>& page) {
        auto webView = page->webView1()->webView();
        ASSERT_TRUE(runUntil([&] { return !webView->isLoading() && !webView->title().empty(); }));
        ASSERT_TRUE(webView->followLink("涟信支付"));
        ASSERT_TRUE(runUntil([&] { return !payments->notifyAnswers().empty(); }));
    }
    template <class Page> std::vector<Ref<Page>> laidPages(const Ref<UIViewController>& screen) {
        std::vector<Ref<Page>> pages;
        for (const auto& child : screen->childViewControllers())
            if (auto page = cast<Page>(child)) pages.push_back(page);
        return pages;
    }

    std::optional<SimulatedPaymentApp> payments;
};

TEST_F(RechargeScreen, ShowsTheBalanceAndAsksForAnAmount) {
    auto screen = open("50.00");
    EXPECT_EQ(screen->navigationItem()->title(), "充值");
    EXPECT_EQ(screen->jingELabel()->text(), "50.00");
    EXPECT_EQ(screen->kapianView()->layer()->cornerRadius(), 12);
    EXPECT_EQ(screen->shurutextField()->keyboardType(), UIKeyboardType::DecimalPad);
    wholeShot("recharge");

    ASSERT_TRUE(driver.typeText("#shurutextField", "1"));
    EXPECT_TRUE(screen->shurutextField()->isFirstResponder());
    ASSERT_TRUE(driver.tapAt({200, 500}));
    EXPECT_FALSE(screen->shurutextField()->isFirstResponder()) << "a tap on the screen ends typing";
    for (const char* none : {"", " \u3000"}) {
        screen->shurutextField()->setText(none);
        ASSERT_TRUE(driver.tap("#tijianbut"));
        EXPECT_EQ(hudText(), "请输入金额") << none;
        letHUDsHide();
    }
    EXPECT_TRUE(sent("recharge").empty());
    EXPECT_FALSE(screen->oidStr());

    // Opened before its opener had the balance: the screen asks for it.
    auto unopened = open("");
    const std::string balance = backendAnswer("yufu")["data"].description();
    EXPECT_TRUE(runUntil([&] { return unopened->jingELabel()->text() == balance; }));
}

TEST_F(RechargeScreen, APaidRechargeLaysTheSuccessPageWithTheNewTotal) {
    auto screen = open("50.00");
    const std::string before = backendAnswer("yufu")["data"].description();
    auto page = recharge("100.");
    EXPECT_EQ(page->gname(), "充值");
    EXPECT_TRUE(page->hidesBottomBarWhenPushed());
    const auto requests = sent("recharge");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].at("money"), "100.") << "sent as typed";
    EXPECT_EQ(requests[0].at("sign"), WMUtil::md5HexDigest("1100." + requests[0].at("t") + "qmvtrapezk42f17bnc"));
    EXPECT_NE(page->urlString().find("/pay/recharge/" + *screen->oidStr()), std::string::npos);
    EXPECT_TRUE(sent("recharge_log").empty()) << "nothing to ask before the first return";

    pay(page);
    goBack();
    ASSERT_TRUE(runUntil([&] { return !laidPages<KXChongzhijiemianViewController>(screen).empty(); }));
    driver.settle();
    auto success = laidPages<KXChongzhijiemianViewController>(screen)[0];
    EXPECT_EQ(sent("recharge_log").back().at("oid"), *screen->oidStr());
    EXPECT_EQ(success->oidStr(), *screen->oidStr());
    EXPECT_EQ(success->chongzhijingerLabel()->text(), "100.元") << "shown as typed";
    // The new balance is the back end's, not the opener's plus the amount.
    const std::string after = backendAnswer("yufu")["data"].description();
    EXPECT_EQ(KXMoney::parse(after), KXMoney::parse(before).value() + KXMoney::fromFen(10000));
    EXPECT_EQ(success->yufukuanLabel()->text(), after + "元");
    EXPECT_EQ(screen->jingELabel()->text(), after);
    EXPECT_EQ(success->view()->frame(), UIScreen::mainScreen()->bounds());
    EXPECT_EQ(hudText(), "");
    wholeShot("recharge-paid");
}

// Paid, but the balance cannot be had: the page says so rather than showing
// a total of its own making.
TEST_F(RechargeScreen, APaidRechargeShowsNoBalanceWhenItCannotBeHad) {
    auto screen = open("50.00");
    pay(recharge("20"));
    script("yufu", kHTTPFailure);
    goBack();
    ASSERT_TRUE(runUntil([&] { return !laidPages<KXChongzhijiemianViewController>(screen).empty(); }));
    driver.settle();
    auto success = laidPages<KXChongzhijiemianViewController>(screen)[0];
    EXPECT_EQ(success->chongzhijingerLabel()->text(), "20元");
    EXPECT_EQ(success->yufukuanLabel()->text(), "--元");
    EXPECT_EQ(screen->jingELabel()->text(), "50.00");
}

TEST_F(RechargeScreen, AnUnpaidRechargeLaysTheFailurePageAtEveryReturn) {
    auto screen = open("0");
    payments->setPays(false);
    // Not an amount: refused where it is typed, nothing sent or pushed.
    ASSERT_TRUE(driver.typeText("#shurutextField", "abc"));
    EXPECT_EQ(screen->amountHint()->text(), "请输入正确的金额");
    ASSERT_TRUE(driver.tap("#tijianbut"));
    EXPECT_EQ(hudText(), "请输入正确的金额");
    EXPECT_TRUE(sent("recharge").empty());
    EXPECT_EQ(top(), screen);
    EXPECT_FALSE(screen->oidStr());
    letHUDsHide();

    screen->shurutextField()->setText("");
    auto page = recharge("20");
    ASSERT_TRUE(page);
    goBack();
    ASSERT_TRUE(runUntil([&] { return laidPages<KXChongzhishibaiViewController>(screen).size() == 1; }));
    EXPECT_EQ(hudText(), "") << "a refused state shows the page, not a message";
    // Where the order shows once paid: the list holds paid orders only.
    EXPECT_NE(driver.find("订单未支付，支付成功的订单可在充值记录中查看"), nullptr);
    wholeShot("recharge-unpaid");

    // The order is kept: a later appearance asks for its state again and
    // lays one more page over the first.
    ASSERT_TRUE(screen->oidStr());
    show(make<UIViewController>());
    goBack();
    ASSERT_TRUE(runUntil([&] { return laidPages<KXChongzhishibaiViewController>(screen).size() == 2; }));
    EXPECT_EQ(sent("recharge_log").size(), 2u);
}

}  // namespace
