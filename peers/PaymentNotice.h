#pragma once

#include <optional>
#include <string>

#include "foundation/NSURL.h"

// What a payment app does once the payer agrees to a payment link of the
// shop's payment page: it visits the order's `notify` address (a query
// item of the link) with the payment provider's secret, which the shop
// shares with the payment apps only.
namespace PaymentNotice {

// The secret the simulated payment apps of this process pay with; empty
// (the default) when they know none, so they cannot pay.
void setProviderSecret(std::string secret);
const std::string& providerSecret();

// Visits the link's notify address with the secret and answers the body of
// the shop's answer; nothing when the link has no usable notify address or
// the shop did not answer.
std::optional<std::string> confirm(const Ref<NSURL>& paymentLink, const std::string& secret);

// A simulated payment app handed the link: pays with providerSecret() and
// answers a line saying what came of it, for the app's received list.
std::string pay(const Ref<NSURL>& paymentLink);

}  // namespace PaymentNotice
