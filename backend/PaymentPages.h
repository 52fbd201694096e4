#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "backend/Database.h"
#include "backend/Envelope.h"

namespace backend {

// The stand-in cashier of the orders paid online: the discount top-ups and
// the recharges of the prepaid balance. An online order's `url` is its
// payment page, "pay/<oid>?key=<key>" for a top-up and
// "pay/recharge/<oid>?key=<key>" for a recharge: the key is an HMAC of the
// order under a secret of this server, so only the promoter who placed the
// order gets its page; any other key finds nothing. The page offers two
// payment-app links, "ripple://wap/pay?oid=<oid>&notify=<address>" and
// "alipay://alipayclient/?oid=<oid>&notify=<address>". The notify address,
// the page's path followed by "/notify", is what the payment app visits once
// the payer has paid, sending the payment provider's secret in the
// "X-Payment-Secret" header: the secret is shared between this server and
// the payment apps only (never in a page or an answer), so a client that
// reads the page cannot mark an order paid. That marks the order paid (and a
// paid recharge adds its amount to the promoter's prepaid balance).

// What an order pays for; each kind keeps its orders in its own table
// (`discount_topups`, `prepaid_recharges`), whose `status` is 0 while the
// order awaits payment and 1 once it is paid.
enum class PayableKind { TopUp, Recharge };

// The secrets of this server, made once from the secure random source and
// kept in its database.
void installPaymentSecrets(Database& database);
// What the payment apps send to confirm a payment.
std::string paymentProviderSecret(Database& database);

// The page's path below the base address, with its key.
std::string paymentPagePath(Database& database, long long orderId, PayableKind kind = PayableKind::TopUp);
// The notify address of an order, absolute.
std::string paymentNotifyURL(const std::string& baseURL, long long orderId, PayableKind kind = PayableKind::TopUp);

// The order's payment page (an HTML document; a paid order's page says so
// and offers no links). Nothing when there is no such order or `key` is not
// its key.
std::optional<std::string> paymentPage(Database& database, long long orderId, const std::string& key,
                                       const std::string& baseURL, PayableKind kind = PayableKind::TopUp);

// The payment app's visit: an order awaiting payment becomes paid (a paid
// one stays paid, and its recharge counts once). Code 1 "支付成功", or code 4
// when the order is unknown or `providerSecret` is not the provider's.
Envelope confirmPayment(Database& database, long long orderId, const std::string& providerSecret, std::time_t now,
                        PayableKind kind = PayableKind::TopUp);

}  // namespace backend
