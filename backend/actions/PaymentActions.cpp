#include "backend/actions/PaymentActions.h"

#include "backend/Discount.h"
#include "backend/Format.h"
#include "backend/PaymentPages.h"
#include "backend/Queries.h"
#include "backend/TypedText.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// A top-up is at most 100 000 yuan.
constexpr long long kLargestTopUpCents = 10'000'000;
constexpr std::size_t kLongestAccount = 64;

// An amount as the promoter typed it (parseYuan), greater than zero and not
// above the limit. Nothing otherwise.
std::optional<long long> amountInCents(const std::string& text) {
    const std::optional<long long> cents = parseYuan(text, kLargestTopUpCents);
    if (!cents || *cents == 0) return std::nullopt;
    return cents;
}

Envelope prepaidBalance(const ActionContext& context) {
    return Envelope::success(
        formatYuan(context.database.scalar("SELECT prepaid_cents FROM promoters WHERE id = ?", {context.promoterId})));
}

// The promoter's games that have a discount, narrowed to names holding
// `keyword` (empty for all); not paged.
Envelope discountGames(const ActionContext& context) {
    return Envelope::success(rowsAsJson(
        context.database,
        "SELECT g.id, g.name, g.icon, g.share_percent, d.rate_permille FROM promoter_games pg"
        " JOIN games g ON g.id = pg.game_id JOIN game_discounts d ON d.game_id = g.id"
        " WHERE pg.promoter_id = ? AND instr(g.name, ?) > 0 ORDER BY g.id",
        {context.promoterId, context.parameters.textOrEmpty("keyword")}, [&](const Statement& row) {
            return json{{"fcbl", std::to_string(row.integer(3)) + "%"},
                        {"icon", context.link(row.text(2))},
                        {"id", std::to_string(row.integer(0))},
                        {"name", row.text(1)},
                        {"zhekou", static_cast<double>(row.integer(4)) / 1000.0}};
        }));
}

// A top-up for a player's account: `type` "0" leaves it awaiting payment
// and answers its payment page; "1" pays it at once from the prepaid
// balance.
Envelope placeTopUp(const ActionContext& context) {
    const Parameters& parameters = context.parameters;
    // Kept as shown, so the top-up goes to the account the records show.
    const KeptText kept = keptText(parameters.textOrEmpty("username"), "游戏账号", kLongestAccount);
    if (kept.refusal) return Envelope::failure(ResultCode::InvalidRequest, *kept.refusal);
    const std::string& account = kept.text;
    const std::optional<long long> amount = amountInCents(parameters.textOrEmpty("money"));
    if (!amount) return Envelope::failure(ResultCode::InvalidRequest, "充值金额无效");
    const std::string type = parameters.textOrEmpty("type");
    if (type != "0" && type != "1") return Envelope::failure(ResultCode::InvalidRequest, "参数 type 无效");
    const std::optional<long long> game = parseWholeNumber(parameters.textOrEmpty("gid"), kLargestId);
    Statement discount = context.database.prepare(
        "SELECT d.rate_permille FROM promoter_games pg JOIN game_discounts d ON d.game_id = pg.game_id"
        " WHERE pg.promoter_id = ? AND pg.game_id = ?");
    discount.bind({context.promoterId, game.value_or(0)});
    if (!game || !discount.step()) return Envelope::failure(ResultCode::InvalidRequest, "游戏不存在");
    const long long rate = discount.integer(0);
    const long long due = discountedCents(*amount, rate);
    // An amount whose discounted price rounds to nothing would be an order
    // paid with nothing.
    if (due == 0) return Envelope::failure(ResultCode::InvalidRequest, "支付金额至少0.01元");
    const bool prepaid = type == "1";

    Database& database = context.database;
    if (prepaid && database.scalar("SELECT prepaid_cents FROM promoters WHERE id = ?", {context.promoterId}) < due)
        return Envelope::failure(ResultCode::Refused, "预付款余额不足");
    long long orderId = 0;
    database.transaction([&] {
        if (prepaid) {
            database.prepare("UPDATE promoters SET prepaid_cents = prepaid_cents - ? WHERE id = ?")
                .bind({due, context.promoterId})
                .step();
        }
        const long long now = static_cast<long long>(context.now);
        database
            .prepare("INSERT INTO discount_topups (promoter_id, game_id, account, amount_cents, paid_cents,"
                     " rate_permille, payment, status, created_at, paid_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
            .bind({context.promoterId, *game, account, *amount, due, rate, prepaid ? "prepaid" : "online",
                   prepaid ? 1LL : 0LL, now, prepaid ? now : 0LL})
            .step();
        orderId = database.lastInsertId();
    });
    if (prepaid) {
        return Envelope::success(json{{"oid", std::to_string(orderId)}})
            .with("message", "代充成功，预付款已扣除" + formatYuan(due) + "元");
    }
    return Envelope::success(json{{"oid", std::to_string(orderId)}, {"url", context.link(paymentPagePath(context.database, orderId))}});
}

// Code 1 once the order is paid; 0 while it awaits payment.
Envelope topUpStatus(const ActionContext& context) {
    const std::optional<long long> order = parseWholeNumber(context.parameters.textOrEmpty("oid"), kLargestId);
    Statement status = context.database.prepare("SELECT status FROM discount_topups WHERE id = ? AND promoter_id = ?");
    status.bind({order.value_or(0), context.promoterId});
    if (!order || !status.step()) return Envelope::failure(ResultCode::InvalidRequest, "订单不存在");
    if (status.integer(0) != 1) return Envelope::failure(ResultCode::Refused, "订单未支付");
    return Envelope::success(json{{"oid", std::to_string(*order)}, {"status", "1"}}).with("message", "支付成功");
}

}  // namespace

void addPaymentActions(ActionRouter& router) {
    router.add("app", "yufu", Signing::Promoter, prepaidBalance);
    router.add("app", "fuli_game", Signing::Promoter, discountGames);
    router.add("app", "fuli", Signing::PromoterOnce, placeTopUp, {"username", "money", "gid", "type"});
    router.add("app", "fuli_status", Signing::Promoter, topUpStatus, {"oid"});
}

}  // namespace backend
