#include "backend/PaymentPages.h"


#include <utility>
#include <vector>

#include "backend/Digest.h"
#include "backend/Format.h"
#include "backend/HtmlPage.h"

namespace backend {

namespace {

// The kind's name in its paths and tokens ("" for the top-ups, whose
// addresses came first).
std::string kindName(PayableKind kind) { return kind == PayableKind::Recharge ? "recharge" : ""; }

std::string orderPath(long long orderId, PayableKind kind) {
    const std::string name = kindName(kind);
    return "pay/" + (name.empty() ? "" : name + "/") + std::to_string(orderId);
}

std::string ordersTable(PayableKind kind) {
    return kind == PayableKind::Recharge ? "prepaid_recharges" : "discount_topups";
}

std::string secretNamed(Database& database, const std::string& name) {
    Statement secret = database.prepare("SELECT value FROM server_secrets WHERE name = ?");
    secret.bind({name});
    return secret.step() ? secret.text(0) : std::string();
}

// The key of an order's page: an HMAC of the order under the cashier secret.
std::string pageKey(Database& database, long long orderId, PayableKind kind) {
    const std::string secret = secretNamed(database, "cashier");
    if (secret.empty()) return {};
    return hmacSha256Hex(secret, "page:" + kindName(kind) + ":" + std::to_string(orderId)).substr(0, 32);
}

// What the page lists about an order, as caption and value, and whether
// it is paid. Nothing when there is no such order.
struct OrderSummary {
    std::vector<std::pair<std::string, std::string>> lines;
    bool paid = false;
    // What the payer pays.
    long long dueCents = 0;
};

std::optional<OrderSummary> summaryOf(Database& database, long long orderId, PayableKind kind) {
    OrderSummary summary;
    if (kind == PayableKind::Recharge) {
        Statement order = database.prepare("SELECT amount_cents, status FROM prepaid_recharges WHERE id = ?");
        order.bind({orderId});
        if (!order.step()) return std::nullopt;
        summary.lines = {{"预付款充值", formatYuan(order.integer(0)) + " 元"},
                         {"应付金额", formatYuan(order.integer(0)) + " 元"}};
        summary.paid = order.integer(1) == 1;
        summary.dueCents = order.integer(0);
        return summary;
    }
    Statement order = database.prepare(
        "SELECT g.name, t.account, t.amount_cents, t.paid_cents, t.status FROM discount_topups t"
        " JOIN games g ON g.id = t.game_id WHERE t.id = ?");
    order.bind({orderId});
    if (!order.step()) return std::nullopt;
    summary.lines = {{"游戏", escapeHTML(order.text(0))},
                     {"游戏账号", escapeHTML(order.text(1))},
                     {"充值金额", formatYuan(order.integer(2)) + " 元"},
                     {"应付金额", formatYuan(order.integer(3)) + " 元"}};
    summary.paid = order.integer(4) == 1;
    summary.dueCents = order.integer(3);
    return summary;
}

}  // namespace

void installPaymentSecrets(Database& database) {
    database.execute("CREATE TABLE IF NOT EXISTS server_secrets (name TEXT PRIMARY KEY, value TEXT NOT NULL)");
    for (const char* name : {"cashier", "payment"}) {
        if (!secretNamed(database, name).empty()) continue;
        const std::string secret = randomHex(32);
        if (secret.empty()) throw DatabaseError("no secure random bytes for the payment secrets");
        database.prepare("INSERT INTO server_secrets (name, value) VALUES (?, ?)").bind({name, secret}).step();
    }
}

std::string paymentProviderSecret(Database& database) { return secretNamed(database, "payment"); }

std::string paymentPagePath(Database& database, long long orderId, PayableKind kind) {
    return orderPath(orderId, kind) + "?key=" + pageKey(database, orderId, kind);
}

std::string paymentNotifyURL(const std::string& baseURL, long long orderId, PayableKind kind) {
    return baseURL + orderPath(orderId, kind) + "/notify";
}

std::optional<std::string> paymentPage(Database& database, long long orderId, const std::string& key,
                                       const std::string& baseURL, PayableKind kind) {
    if (!sameSecret(key, pageKey(database, orderId, kind))) return std::nullopt;
    std::optional<OrderSummary> summary = summaryOf(database, orderId, kind);
    if (!summary) return std::nullopt;
    const std::string oid = std::to_string(orderId);
    std::string body = "<p>订单号 " + oid + "</p>";
    for (const auto& [caption, value] : summary->lines) body += "<p>" + caption + " " + value + "</p>";
    if (summary->paid) {
        body += "<p>订单已支付</p>";
    } else {
        const std::string query = "oid=" + oid + "&amount=" + formatYuan(summary->dueCents) + "&notify=" +
                                  encodeQueryValue(paymentNotifyURL(baseURL, orderId, kind));
        body += htmlLink("ripple://wap/pay?" + query, "涟信支付") +
                htmlLink("alipay://alipayclient/?" + query, "支付宝支付");
    }
    return htmlPage("订单支付", body);
}

std::string paymentNoticeSignature(const std::string& providerSecret, const std::string& notifyPath,
                                   const std::string& amount) {
    return hmacSha256Hex(providerSecret, notifyPath + "\n" + amount);
}

Envelope confirmPayment(Database& database, long long orderId, const PaymentNoticeReceived& notice, std::time_t now,
                        PayableKind kind) {
    const std::string secret = paymentProviderSecret(database);
    if (secret.empty() || !sameSecret(notice.signature, paymentNoticeSignature(secret, notice.path, notice.amount)))
        return Envelope::failure(ResultCode::InvalidRequest, "支付通知无效");
    const std::optional<OrderSummary> summary = summaryOf(database, orderId, kind);
    if (!summary) return Envelope::failure(ResultCode::InvalidRequest, "订单不存在");
    const std::optional<long long> paid = parseYuan(notice.amount, summary->dueCents);
    if (!paid || *paid != summary->dueCents) return Envelope::failure(ResultCode::InvalidRequest, "支付金额不符");
    const std::string table = ordersTable(kind);
    database.transaction([&] {
        const bool awaiting = database.scalar("SELECT status FROM " + table + " WHERE id = ?", {orderId}) == 0;
        if (!awaiting) return;
        database.prepare("UPDATE " + table + " SET status = 1, paid_at = ? WHERE id = ?")
            .bind({static_cast<long long>(now), orderId})
            .step();
        if (kind == PayableKind::Recharge) {
            database.prepare("UPDATE promoters SET prepaid_cents = prepaid_cents +"
                             " (SELECT amount_cents FROM prepaid_recharges WHERE id = ?)"
                             " WHERE id = (SELECT promoter_id FROM prepaid_recharges WHERE id = ?)")
                .bind({orderId, orderId})
                .step();
        }
    });
    return Envelope::success(nlohmann::ordered_json{{"oid", std::to_string(orderId)}, {"status", "1"}})
        .with("message", "支付成功");
}

}  // namespace backend
