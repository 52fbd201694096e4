#include "backend/actions/SettlementActions.h"

#include <array>
#include <string>

#include "backend/Earnings.h"
#include "backend/Format.h"
#include "backend/Paging.h"
#include "backend/PaymentPages.h"
#include "backend/Queries.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Where a settlement stands (the `state` column); the list shows the
// caption and the state's number, the total leaves out the refused ones.
enum SettlementState : long long { Reviewing = 0, Paid = 1, RefusedSettlement = 2 };
constexpr std::array kStateCaptions = {"审核中", "已结算", "已驳回"};

// The smallest amount one settlement may ask for.
constexpr long long kMinimumSettlementCents = 1000;
// The largest amount read at all, and the largest single recharge.
constexpr long long kLargestReadCents = 10'000'000'000;
constexpr long long kLargestRechargeCents = 10'000'000;

Envelope applyForSettlement(const ActionContext& context) {
    std::optional<long long> cents = parseYuan(context.parameters.textOrEmpty("money"), kLargestReadCents);
    if (!cents) return Envelope::failure(ResultCode::InvalidRequest, "结算金额无效");
    if (*cents < kMinimumSettlementCents) return Envelope::failure(ResultCode::Refused, "结算金额不能低于10元");
    if (*cents > earningsOf(context).availableCents()) return Envelope::failure(ResultCode::Refused, "可结算金额不足");
    long long id = 0;
    // The amount leaves the settleable balance as soon as it is applied for.
    context.database.transaction([&] {
        context.database
            .prepare("INSERT INTO settlements (promoter_id, amount_cents, state, applied_at) VALUES (?, ?, ?, ?)")
            .bind({context.promoterId, *cents, static_cast<long long>(Reviewing), static_cast<long long>(context.now)})
            .step();
        id = context.database.lastInsertId();
        context.database.prepare("UPDATE promoters SET withdrawn_cents = withdrawn_cents + ? WHERE id = ?")
            .bind({*cents, context.promoterId})
            .step();
    });
    return Envelope::success(
        {{"id", std::to_string(id)}, {"money", formatYuan(*cents)}, {"status", kStateCaptions[Reviewing]}});
}

Envelope settlementList(const ActionContext& context) {
    const long long totalCents = context.database.scalar(
        "SELECT COALESCE(SUM(amount_cents), 0) FROM settlements WHERE promoter_id = ? AND state != ?",
        {context.promoterId, static_cast<long long>(RefusedSettlement)});
    json rows = rowsAsJson(
        context.database,
        "SELECT id, amount_cents, state, applied_at FROM settlements WHERE promoter_id = ?"
        " ORDER BY applied_at DESC, id DESC",
        {context.promoterId}, [&](const Statement& row) {
            const long long state = row.integer(2);
            const bool known = state >= 0 && state < static_cast<long long>(kStateCaptions.size());
            const std::string stateText = std::to_string(state);
            return json{{"create_time", std::to_string(row.integer(3))},
                        {"icon", context.link("static/settlement/state-" + stateText + ".png")},
                        {"id", std::to_string(row.integer(0))},
                        {"money", formatYuan(row.integer(1))},
                        {"state", stateText},
                        {"status", known ? kStateCaptions[static_cast<std::size_t>(state)] : ""},
                        {"time", formatChinaTime(row.integer(3), "%Y-%m-%d %H:%M")}};
        });
    const std::string count = std::to_string(rows.size());
    return Envelope::success({{"money", formatYuan(totalCents)}, {"number", count}, {"data", std::move(rows)}});
}

// A recharge order awaiting payment; its `url` is the payment page.
Envelope placeRecharge(const ActionContext& context) {
    std::optional<long long> cents = parseYuan(context.parameters.textOrEmpty("money"), kLargestRechargeCents);
    if (!cents || *cents == 0) return Envelope::failure(ResultCode::InvalidRequest, "请输入正确的金额");
    long long id = 0;
    context.database.transaction([&] {
        context.database
            .prepare("INSERT INTO prepaid_recharges (promoter_id, amount_cents, status, created_at) VALUES (?, ?, 0, ?)")
            .bind({context.promoterId, *cents, static_cast<long long>(context.now)})
            .step();
        id = context.database.lastInsertId();
    });
    return Envelope::success(
        {{"oid", std::to_string(id)}, {"url", context.link(paymentPagePath(context.database, id, PayableKind::Recharge))}});
}

// Code 1 once the recharge is paid; 0 while it awaits payment.
Envelope rechargeStatus(const ActionContext& context) {
    const std::optional<long long> order = parseWholeNumber(context.parameters.textOrEmpty("oid"), kLargestId);
    Statement recharge =
        context.database.prepare("SELECT status, amount_cents FROM prepaid_recharges WHERE id = ? AND promoter_id = ?");
    recharge.bind({order.value_or(0), context.promoterId});
    if (!order || !recharge.step()) return Envelope::failure(ResultCode::InvalidRequest, "订单不存在");
    if (recharge.integer(0) != 1) return Envelope::failure(ResultCode::Refused, "订单未支付");
    return Envelope::success(
               {{"oid", std::to_string(*order)}, {"status", "1"}, {"money", formatYuan(recharge.integer(1))}})
        .with("message", "充值成功");
}

// The paid recharges, newest first, ten a page, with their total and count.
Envelope rechargeList(const ActionContext& context) {
    const std::vector<SqlValue> promoter{context.promoterId};
    ListQuery query{"SELECT COUNT(*) FROM prepaid_recharges WHERE promoter_id = ? AND status = 1",
                    "SELECT id, amount_cents, created_at, paid_at FROM prepaid_recharges"
                    " WHERE promoter_id = ? AND status = 1 ORDER BY created_at DESC, id DESC LIMIT ? OFFSET ?",
                    promoter};
    std::optional<ListPage> page = listPage(context.database, context.parameters, query, [](const Statement& row) {
        return json{{"orderid", std::to_string(row.integer(0))},
                    {"status", "已支付"},
                    {"money", formatYuan(row.integer(1))},
                    {"order_time", formatChinaTime(row.integer(2), "%Y-%m-%d %H:%M:%S")},
                    {"time1", formatChinaTime(row.integer(3), "%Y-%m-%d")},
                    {"time2", formatChinaTime(row.integer(3), "%H:%M:%S")}};
    });
    if (!page) return Envelope::failure(ResultCode::InvalidRequest, "页码无效");
    const long long total = context.database.scalar(
        "SELECT COALESCE(SUM(amount_cents), 0) FROM prepaid_recharges WHERE promoter_id = ? AND status = 1", promoter);
    const long long count = context.database.scalar(query.countSql, promoter);
    return Envelope::success(
               {{"list", std::move(page->rows)}, {"money", formatYuan(total)}, {"num", std::to_string(count)}})
        .paged(page->page, page->lastPage);
}

// The paid top-ups the promoter made for players, newest first, all at once.
// Beside what the list shows, each row tells what the top-up's request sent
// and when it was made (`gid`, `type` "1" from the prepaid balance or "0"
// online, `create_time` in seconds since 1970), so that an app whose answer
// was lost can tell its top-up from another.
Envelope topUpList(const ActionContext& context) {
    const std::vector<SqlValue> promoter{context.promoterId};
    json rows = rowsAsJson(context.database,
                           "SELECT id, account, amount_cents, created_at, paid_at, game_id, payment FROM discount_topups"
                           " WHERE promoter_id = ? AND status = 1 ORDER BY created_at DESC, id DESC",
                           promoter, [](const Statement& row) {
                               return json{{"money", formatYuan(row.integer(2))},
                                           {"order_time", formatChinaTime(row.integer(3), "%Y-%m-%d %H:%M")},
                                           {"orderid", std::to_string(row.integer(0))},
                                           {"status", "已完成"},
                                           {"time", std::to_string(row.integer(4))},
                                           {"user_name", row.text(1)},
                                           {"create_time", std::to_string(row.integer(3))},
                                           {"gid", std::to_string(row.integer(5))},
                                           {"type", row.text(6) == "prepaid" ? "1" : "0"}};
                           });
    const long long total = context.database.scalar(
        "SELECT COALESCE(SUM(amount_cents), 0) FROM discount_topups WHERE promoter_id = ? AND status = 1", promoter);
    const std::string count = std::to_string(rows.size());
    return Envelope::success({{"money", formatYuan(total)}, {"number", count}, {"list", std::move(rows)}});
}

}  // namespace

void addSettlementActions(ActionRouter& router) {
    router.add("app", "jiesuan", Signing::PromoterOnce, applyForSettlement, {"money"});
    router.add("app", "jiesuan_list", Signing::Promoter, settlementList);
    router.add("app", "recharge", Signing::PromoterOnce, placeRecharge, {"money"});
    router.add("app", "recharge_log", Signing::Promoter, rechargeStatus, {"oid"});
    router.add("app", "recharge_list", Signing::Promoter, rechargeList);
    router.add("app", "fuli_list", Signing::Promoter, topUpList);
}

}  // namespace backend
