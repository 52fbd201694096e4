#pragma once

#include "foundation/NSURL.h"
#include "peers/PeerApp.h"

// The Alipay app, simulated. Opened with a payment link of the shop's
// payment page ("alipay://alipayclient/?oid=..&notify=.."), it pays the
// order (PaymentNotice) when it knows the provider's secret; other links
// are only noted.
class SimulatedAlipayApp : public PeerApp {
public:
    std::string name() const override { return "Alipay"; }
    // Takes the "alipay" scheme.
    void install() override;
    void uninstall() override;

private:
    void open(const Ref<NSURL>& url);
};
