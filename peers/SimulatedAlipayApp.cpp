#include "peers/SimulatedAlipayApp.h"

#include "peers/PaymentNotice.h"
#include "uikit/UIApplication.h"

void SimulatedAlipayApp::install() {
    WeakRef<SimulatedAlipayApp> weak = weakSelf<SimulatedAlipayApp>();
    UIApplication::installSimulatedApp("alipay", [weak](const Ref<NSURL>& url) {
        if (auto me = weak.lock()) me->open(url);
    });
}

void SimulatedAlipayApp::uninstall() { UIApplication::installSimulatedApp("alipay", nullptr); }

void SimulatedAlipayApp::open(const Ref<NSURL>& url) {
    const std::string address = url ? url->absoluteString() : "";
    if (!url || url->host() != "alipayclient") {
        noteReceived({address, "opened", {}});
        return;
    }
    noteReceived({address, PaymentNotice::pay(url), {}});
}
