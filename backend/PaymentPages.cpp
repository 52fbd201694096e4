#include "backend/PaymentPages.h"

#include <httplib.h>

#include "backend/Format.h"
#include "backend/Signature.h"

namespace backend {

namespace {

std::string tokenFor(long long orderId) { return signatureOf({"pay", std::to_string(orderId)}); }

std::string link(const std::string& href, const std::string& text) {
    return "<p><a href=\"" + escapeHTML(href) + "\">" + text + "</a></p>";
}

}  // namespace

std::string paymentPagePath(long long orderId) { return "pay/" + std::to_string(orderId); }

std::string paymentNotifyURL(const std::string& baseURL, long long orderId) {
    return baseURL + paymentPagePath(orderId) + "/notify?token=" + tokenFor(orderId);
}

std::optional<std::string> paymentPage(Database& database, long long orderId, const std::string& baseURL) {
    Statement order = database.prepare(
        "SELECT g.name, t.account, t.amount_cents, t.paid_cents, t.status FROM discount_topups t"
        " JOIN games g ON g.id = t.game_id WHERE t.id = ?");
    order.bind({orderId});
    if (!order.step()) return std::nullopt;
    const std::string oid = std::to_string(orderId);
    std::string page = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>订单支付</title></head><body>"
                       "<h1>订单支付</h1><p>订单号 " + oid + "</p><p>游戏 " + escapeHTML(order.text(0)) +
                       "</p><p>游戏账号 " + escapeHTML(order.text(1)) + "</p><p>充值金额 " +
                       formatYuan(order.integer(2)) + " 元</p><p>应付金额 " + formatYuan(order.integer(3)) + " 元</p>";
    if (order.integer(4) == 1) {
        page += "<p>订单已支付</p>";
    } else {
        const std::string query =
            "oid=" + oid + "&notify=" + httplib::detail::encode_query_param(paymentNotifyURL(baseURL, orderId));
        page += link("ripple://wap/pay?" + query, "涟信支付") + link("alipay://alipayclient/?" + query, "支付宝支付");
    }
    return page + "</body></html>";
}

Envelope confirmPayment(Database& database, long long orderId, const std::string& token, std::time_t now) {
    if (token != tokenFor(orderId) ||
        database.scalar("SELECT COUNT(*) FROM discount_topups WHERE id = ?", {orderId}) == 0) {
        return Envelope::failure(ResultCode::InvalidRequest, "订单不存在");
    }
    database.transaction([&] {
        database.prepare("UPDATE discount_topups SET status = 1, paid_at = ? WHERE id = ? AND status = 0")
            .bind({static_cast<long long>(now), orderId})
            .step();
    });
    return Envelope::success(nlohmann::ordered_json{{"oid", std::to_string(orderId)}, {"status", "1"}})
        .with("message", "支付成功");
}

}  // namespace backend
