#pragma once

#include <optional>
#include <string>

#include "foundation/NSURL.h"

// What a payment app does once the payer agrees to a payment link of the
// shop's payment page: the payment provider tells the shop, at the order's
// `notify` address (a query item of the link), that the link's `amount`
// was paid. It tells only the shop it serves: a notify address on another
// host or port is not visited. The notice carries no secret: it is the
// notify address with "?amount=<amount>" and, in the "X-Payment-Signature"
// header, HMAC-SHA-256 in lower-case hex of the notify address's path, a
// line feed and the amount, under the provider's secret, which the shop
// checks.
namespace PaymentNotice {

// The provider the simulated payment apps pay through: its secret and the
// base address of the shop it serves ("http://127.0.0.1:<port>/").
struct Provider {
    std::string secret;
    std::string shop;
};

// The provider of this process's simulated payment apps; none (the
// default) when they know no shop, so they cannot pay.
void setProvider(Provider provider);
const Provider& provider();

// Tells the shop that the link's order was paid, and answers the body of
// the shop's answer; nothing when the link has no usable notify address or
// amount, the address is not the shop's, or the shop did not answer.
std::optional<std::string> confirm(const Ref<NSURL>& paymentLink, const Provider& provider);

// A simulated payment app handed the link: pays through provider() and
// answers a line saying what came of it, for the app's received list
// ("pay: paid, the shop answered …", "pay: not paid (…)").
std::string pay(const Ref<NSURL>& paymentLink);

}  // namespace PaymentNotice
