#include <gtest/gtest.h>

#include "backend/PaymentPages.h"
#include "foundation/NSString.h"
#include "peers/PaymentNotice.h"
#include "peers/SimulatedAlipayApp.h"
#include "peers/SimulatedRippleApp.h"
#include "tests/support/AppFixture.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "uikit/UIApplication.h"

namespace {

// The Ripple app (for Ripple Pay links) and the Alipay app, installed, with
// a shop whose notify address records the payments.
class SimulatedPaymentApps : public AppFixture {
protected:
    void SetUp() override {
        shop.respond("GET", "/pay/7/notify", 200, R"({"code":1,"message":"支付成功"})", "application/json");
        elsewhere.respond("GET", "/pay/7/notify", 200, R"({"code":1})", "application/json");
        ripple->install();
        alipay->install();
    }
    void TearDown() override {
        ripple->uninstall();
        alipay->uninstall();
        PaymentNotice::setProvider({});
    }
    // A payment page's link to the order 7 of 70.00, `prefix` being its
    // scheme, host and path; its notify address on `server`.
    Ref<NSURL> link(const std::string& prefix, const LoopbackHTTPServer* server = nullptr) const {
        const std::string notify = (server ? server : &shop)->url("/pay/7/notify");
        return NSURL::URLWithString(prefix + "?oid=7&amount=70.00&notify=" +
                                    NSString::stringByAddingPercentEscapes(notify, "", ":/?&=").value());
    }
    void payThroughTheShop() { PaymentNotice::setProvider({"provider-secret", shop.url("/")}); }
    void open(const Ref<NSURL>& url) { UIApplication::sharedApplication()->openURL(url, {}, nullptr); }

    LoopbackHTTPServer shop;
    LoopbackHTTPServer elsewhere;
    Ref<SimulatedRippleApp> ripple = make<SimulatedRippleApp>();
    Ref<SimulatedAlipayApp> alipay = make<SimulatedAlipayApp>();
};

// The notice names the amount and is signed over it and the order's path;
// the secret itself is never sent.
TEST_F(SimulatedPaymentApps, PaymentLinksPayTheOrderWithASignedNotice) {
    payThroughTheShop();
    open(link("ripple://wap/pay"));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].summary, R"(pay: paid, the shop answered {"code":1,"message":"支付成功"})");
    ASSERT_EQ(shop.requestCount(), 1u);
    EXPECT_EQ(shop.lastRequest()->header("X-Payment-Secret"), "");
    EXPECT_EQ(shop.lastRequest()->query, "amount=70.00");
    EXPECT_EQ(shop.lastRequest()->header("X-Payment-Signature"),
              backend::paymentNoticeSignature("provider-secret", "/pay/7/notify", "70.00"));

    open(link("alipay://alipayclient/"));
    ASSERT_TRUE(runUntil([&] { return !alipay->received().empty(); }));
    EXPECT_EQ(alipay->received()[0].summary.rfind("pay: paid", 0), 0u);
    EXPECT_EQ(shop.requestCount(), 2u);
}

TEST_F(SimulatedPaymentApps, WithoutTheSecretOrANotifyAddressNothingIsPaid) {
    open(link("ripple://wap/pay"));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].summary, "pay: not paid (no payment secret)");

    payThroughTheShop();
    open(NSURL::URLWithString("alipay://alipayclient/?oid=7"));
    open(NSURL::URLWithString("alipay://elsewhere/?oid=7"));
    ASSERT_TRUE(runUntil([&] { return alipay->received().size() == 2; }));
    EXPECT_EQ(alipay->received()[0].summary, "pay: not paid (no notify address answered)");
    EXPECT_EQ(alipay->received()[1].summary, "opened");
    EXPECT_EQ(shop.requestCount(), 0u);

    // A page that names another notify address is not told of the payment.
    open(link("ripple://wap/pay", &elsewhere));
    ASSERT_TRUE(runUntil([&] { return ripple->received().size() == 2; }));
    EXPECT_EQ(ripple->received()[1].summary, "pay: not paid (the notify address is not the shop's)");
    EXPECT_EQ(elsewhere.requestCount(), 0u);
}

}  // namespace
