#pragma once

#include <httplib.h>

#include <string>
#include <vector>

#include "foundation/NSURLComponents.h"
#include "uikit/UIApplication.h"

// The payment apps a payment page hands its links to ("ripple" and
// "alipay"), as installed simulated apps. Paying means what a real payment
// app does once the payer agrees: it visits the order's `notify` address
// (a query item of the link) with the payment provider's secret, which the
// shop shares with the payment apps only; a declining payer visits nothing.
// Header-only, so that only test binaries that link the UI layer need it.
class SimulatedPaymentApp {
public:
    explicit SimulatedPaymentApp(std::string providerSecret, bool pays = true)
        : providerSecret_(std::move(providerSecret)), pays_(pays) {
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
        auto components = NSURLComponents::componentsWithURL(url, false);
        auto items = components ? components->queryItems() : std::nullopt;
        if (!items) return;
        for (const auto& item : *items) {
            if (item.name() != "notify" || !item.value()) continue;
            auto notify = NSURLComponents::componentsWithString(*item.value());
            if (!notify || !notify->host() || !notify->port()) return;
            httplib::Client shop(*notify->host(), static_cast<int>(*notify->port()));
            const std::string target = notify->percentEncodedPath() +
                                       (notify->percentEncodedQuery() ? "?" + *notify->percentEncodedQuery() : "");
            if (auto answer = shop.Get(target, {{"X-Payment-Secret", providerSecret_}})) answers_.push_back(answer->body);
        }
    }

    std::string providerSecret_;
    bool pays_;
    std::vector<std::string> opened_;
    std::vector<std::string> answers_;
};
