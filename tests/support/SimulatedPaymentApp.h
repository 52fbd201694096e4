#pragma once

#include <string>
#include <vector>

#include "peers/PaymentNotice.h"
#include "uikit/UIApplication.h"

// The payment apps a payment page hands its links to ("ripple" and
// "alipay"), as installed simulated apps: paying means what a real payment
// app does once the payer agrees (PaymentNotice::confirm: a signed notice
// to the shop's own notify address); a declining payer visits nothing. Header-only, so
// that only test binaries that link the UI layer and the peers need it.
class SimulatedPaymentApp {
public:
    explicit SimulatedPaymentApp(PaymentNotice::Provider provider, bool pays = true)
        : provider_(std::move(provider)), pays_(pays) {
        for (const char* scheme : {"ripple", "alipay"}) {
            UIApplication::installSimulatedApp(scheme, [this](const Ref<NSURL>& url) { open(url); });
        }
    }
    ~SimulatedPaymentApp() {
        for (const char* scheme : {"ripple", "alipay"}) UIApplication::installSimulatedApp(scheme, nullptr);
    }
    SimulatedPaymentApp(const SimulatedPaymentApp&) = delete;
    SimulatedPaymentApp& operator=(const SimulatedPaymentApp&) = delete;

    void setPays(bool pays) { pays_ = pays; }
    // Every link the apps were opened with.
    const std::vector<std::string>& openedLinks() const { return opened_; }
    // The notify answers' bodies, one per payment made.
    const std::vector<std::string>& notifyAnswers() const { return answers_; }

private:
    void open(const Ref<NSURL>& url) {
        opened_.push_back(url->absoluteString());
        if (!pays_) return;
        if (auto answer = PaymentNotice::confirm(url, provider_)) answers_.push_back(*answer);
    }

    PaymentNotice::Provider provider_;
    bool pays_;
    std::vector<std::string> opened_;
    std::vector<std::string> answers_;
};
