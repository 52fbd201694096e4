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
// payment-app links, "ripple://wap/pay?oid=<oid>&amount=<due>&notify=<address>"
// and "alipay://alipayclient/?oid=<oid>&amount=<due>&notify=<address>", the
// amount due in yuan ("70.00"). The notify address, the page's path
// followed by "/notify", is what the payment provider visits once the payer
// has paid, with "?amount=<paid>" and a signature of the notice
// (paymentNoticeSignature) in the "X-Payment-Signature" header: the
// provider's secret signs, and is never sent (nor in a page or an answer),
// so neither a client that reads the page nor a host that receives a
// notice can mark an order paid. A notice whose signature holds and whose
// amount is the order's amount due marks the order paid (and a paid
// recharge adds its amount to the promoter's prepaid balance).

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

// The signature of a payment notice: HMAC-SHA-256, in lower-case hex, of
// the notify address's path ("/pay/7/notify", which names the order and
// its kind), a line feed and the amount paid as the notice gives it, under
// the provider's secret.
std::string paymentNoticeSignature(const std::string& providerSecret, const std::string& notifyPath,
                                   const std::string& amount);

// A payment provider's notice, as it reached the notify address.
struct PaymentNoticeReceived {
    std::string path;
    std::string amount;
    std::string signature;
};

// The payment provider's notice: an order awaiting payment becomes paid (a
// paid one stays paid, and its recharge counts once). Code 1 "支付成功";
// code 4 "支付通知无效" when the signature is not the provider's for this
// path and amount, "订单不存在" for an unknown order, "支付金额不符" when
// the amount is not the order's amount due.
Envelope confirmPayment(Database& database, long long orderId, const PaymentNoticeReceived& notice, std::time_t now,
                        PayableKind kind = PayableKind::TopUp);

}  // namespace backend
