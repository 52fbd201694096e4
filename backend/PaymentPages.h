#pragma once

#include <ctime>
#include <optional>
#include <string>

#include "backend/Database.h"
#include "backend/Envelope.h"

namespace backend {

// The stand-in cashier of the orders paid online: the discount top-ups and
// the recharges of the prepaid balance. An online order's `url` is its
// payment page, "pay/<oid>" for a top-up and "pay/recharge/<oid>" for a
// recharge, which offers two payment-app links:
// "ripple://wap/pay?oid=<oid>&notify=<address>" and
// "alipay://alipayclient/?oid=<oid>&notify=<address>". The notify address,
// the page's path followed by "/notify?token=<token>", is what the payment
// app visits once the payer has paid: that marks the order paid (and a paid
// recharge adds its amount to the promoter's prepaid balance). The token
// (MD5 of "pay", the kind's name, the order id and the signing key) keeps
// the address from being guessed.

// What an order pays for; each kind keeps its orders in its own table
// (`discount_topups`, `prepaid_recharges`), whose `status` is 0 while the
// order awaits payment and 1 once it is paid.
enum class PayableKind { TopUp, Recharge };

// The page's path below the base address.
std::string paymentPagePath(long long orderId, PayableKind kind = PayableKind::TopUp);
// The notify address of an order, absolute.
std::string paymentNotifyURL(const std::string& baseURL, long long orderId, PayableKind kind = PayableKind::TopUp);

// The order's payment page (an HTML document; a paid order's page says so
// and offers no links). Nothing when there is no such order.
std::optional<std::string> paymentPage(Database& database, long long orderId, const std::string& baseURL,
                                       PayableKind kind = PayableKind::TopUp);

// The payment app's visit: an order awaiting payment becomes paid (a paid
// one stays paid, and its recharge counts once). Code 1 "支付成功", or code 4
// when the order or the token is unknown.
Envelope confirmPayment(Database& database, long long orderId, const std::string& token, std::time_t now,
                        PayableKind kind = PayableKind::TopUp);

}  // namespace backend
