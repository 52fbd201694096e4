#include <gtest/gtest.h>

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
        ripple->install();
        alipay->install();
    }
    void TearDown() override {
        ripple->uninstall();
        alipay->uninstall();
        PaymentNotice::setProviderSecret("");
    }
    // A payment page's link to the order 7, `prefix` being its scheme, host and path.
    Ref<NSURL> link(const std::string& prefix) const {
        return NSURL::URLWithString(
            prefix + "?oid=7&notify=" + NSString::stringByAddingPercentEscapes(shop.url("/pay/7/notify"), "", ":/?&=").value());
    }
    void open(const Ref<NSURL>& url) { UIApplication::sharedApplication()->openURL(url, {}, nullptr); }

    LoopbackHTTPServer shop;
    Ref<SimulatedRippleApp> ripple = make<SimulatedRippleApp>();
    Ref<SimulatedAlipayApp> alipay = make<SimulatedAlipayApp>();
};

TEST_F(SimulatedPaymentApps, PaymentLinksPayTheOrderWithTheProvidersSecret) {
    PaymentNotice::setProviderSecret("provider-secret");
    open(link("ripple://wap/pay"));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].summary, R"(pay: paid, the shop answered {"code":1,"message":"支付成功"})");
    ASSERT_EQ(shop.requestCount(), 1u);
    EXPECT_EQ(shop.lastRequest()->header("X-Payment-Secret"), "provider-secret");

    open(link("alipay://alipayclient/"));
    ASSERT_TRUE(runUntil([&] { return !alipay->received().empty(); }));
    EXPECT_EQ(alipay->received()[0].summary.rfind("pay: paid", 0), 0u);
    EXPECT_EQ(shop.requestCount(), 2u);
}

TEST_F(SimulatedPaymentApps, WithoutTheSecretOrANotifyAddressNothingIsPaid) {
    open(link("ripple://wap/pay"));
    ASSERT_TRUE(runUntil([&] { return !ripple->received().empty(); }));
    EXPECT_EQ(ripple->received()[0].summary, "pay: not paid (no payment secret)");

    PaymentNotice::setProviderSecret("provider-secret");
    open(NSURL::URLWithString("alipay://alipayclient/?oid=7"));
    open(NSURL::URLWithString("alipay://elsewhere/?oid=7"));
    ASSERT_TRUE(runUntil([&] { return alipay->received().size() == 2; }));
    EXPECT_EQ(alipay->received()[0].summary, "pay: not paid (no notify address answered)");
    EXPECT_EQ(alipay->received()[1].summary, "opened");
    EXPECT_EQ(shop.requestCount(), 0u);
}

}  // namespace
