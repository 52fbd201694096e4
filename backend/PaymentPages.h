#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "backend/Database.h"
#include "backend/Envelope.h"

namespace backend {

// The stand-in cashier of the discount top-ups. An online order's `url` is
// its payment page, "pay/<oid>", which offers two payment-app links:
// "ripple://wap/pay?oid=<oid>&notify=<address>" and
// "alipay://alipayclient/?oid=<oid>&notify=<address>". The notify address,
// "pay/<oid>/notify?token=<token>", is what the payment app visits once the
// payer has paid: that marks the order paid. The token (MD5 of "pay", the
// order id and the signing key) keeps the address from being guessed.

// The page's path below the base address.
std::string paymentPagePath(long long orderId);
// The notify address of an order, absolute.
std::string paymentNotifyURL(const std::string& baseURL, long long orderId);

// The order's payment page (an HTML document; a paid order's page says so
// and offers no links). Nothing when there is no such order.
std::optional<std::string> paymentPage(Database& database, long long orderId, const std::string& baseURL);

// The payment app's visit: an order awaiting payment becomes paid (a paid
// one stays paid). Code 1 "支付成功", or code 4 when the order or the token
// is unknown.
Envelope confirmPayment(Database& database, long long orderId, const std::string& token, std::time_t now);

}  // namespace backend
