#include "backend/actions/DashboardActions.h"

#include <cstdio>

#include "backend/Earnings.h"
#include "backend/Format.h"
#include "backend/Queries.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// The account kind that brings players but handles no money: its pages
// hide the amounts and the settlement.
constexpr long long kNoMoneyAccountKind = 3;

bool handlesMoney(const ActionContext& context) {
    return context.database.scalar("SELECT account_kind FROM promoters WHERE id = ?", {context.promoterId}) !=
           kNoMoneyAccountKind;
}

// The tiles of one menu group as {image, title, type} objects; `typeAsText`
// sends the route code as text, else as a number.
json tiles(const ActionContext& context, long long groupId, bool typeAsText) {
    return rowsAsJson(context.database, "SELECT name, type FROM menu_items WHERE group_id = ? ORDER BY position",
                      {groupId}, [&](const Statement& item) {
                          const long long type = item.integer(1);
                          return json{{"image", context.link("static/dashboard/" + std::to_string(type) + ".png")},
                                      {"title", item.text(0)},
                                      {"type", typeAsText ? json(std::to_string(type)) : json(type)},
                                      {"url", ""}};
                      });
}

// The tiles of a screen that has one group.
json screenTiles(const ActionContext& context, const char* screen, bool typeAsText) {
    const long long groupId = context.database.scalar(
        "SELECT id FROM menu_groups WHERE screen = ? ORDER BY position LIMIT 1", {std::string(screen)});
    return tiles(context, groupId, typeAsText);
}

// Verified: the name and number kept, so that a verification whose answer
// was lost can be told from one made before with other data.
Envelope realNameStatus(const ActionContext& context) {
    Statement record = context.database.prepare("SELECT name, idcard FROM real_names WHERE promoter_id = ?");
    record.bind({context.promoterId});
    if (!record.step()) return Envelope::failure(ResultCode::Refused, "您还未实名认证，请先完成实名认证");
    return Envelope::success({{"name", record.text(0)}, {"idcard", record.text(1)}});
}

Envelope myPage(const ActionContext& context) {
    Statement promoter = context.database.prepare("SELECT username, head FROM promoters WHERE id = ?");
    promoter.bind({context.promoterId});
    if (!promoter.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    const Earnings earnings = earningsOf(context);
    return Envelope::success({{"username", promoter.text(0)},
                              {"head", context.link(promoter.text(1))},
                              {"shareMoney", formatYuan(earnings.availableCents())},
                              {"yufu", formatYuan(earnings.prepaidCents)},
                              {"money", formatYuan(earnings.salesCents)},
                              {"function", screenTiles(context, "mypage", true)}})
        .with("pay", handlesMoney(context) ? 1 : 2);
}

// The promoter's top-up takings over recent periods, one card each.
json rechargeCards(const ActionContext& context) {
    const std::time_t today = chinaDayStart(context.now);
    const auto takings = [&](std::time_t from, std::time_t to) {
        return formatYuan(context.database.scalar(
            "SELECT COALESCE(SUM(amount_cents), 0) FROM orders WHERE promoter_id = ? AND created_at >= ?"
            " AND created_at < ?",
            {context.promoterId, static_cast<long long>(from), static_cast<long long>(to)}));
    };
    const std::time_t tomorrow = today + 86400;
    return json::array({{{"money", takings(today, tomorrow)}, {"title", "今日流水"}},
                        {{"money", takings(today - 86400, today)}, {"title", "昨日流水"}},
                        {{"money", takings(today - 6 * 86400, tomorrow)}, {"title", "近七日流水"}},
                        {{"money", takings(0, tomorrow)}, {"title", "累计流水"}}});
}

// The promoter's players and how many of them paid.
json playerStatistics(const ActionContext& context) {
    const long long players =
        context.database.scalar("SELECT COUNT(*) FROM players WHERE promoter_id = ?", {context.promoterId});
    const long long payers = context.database.scalar(
        "SELECT COUNT(DISTINCT player_id) FROM orders WHERE promoter_id = ?", {context.promoterId});
    char percent[32];
    std::snprintf(percent, sizeof percent, "%.2f",
                  players > 0 ? static_cast<double>(payers) * 100.0 / static_cast<double>(players) : 0.0);
    return {{"totalPeople", std::to_string(players)},
            {"data", {{"number", std::to_string(payers)}, {"title", "付费用户"}, {"percent", percent}}}};
}

Envelope homeDashboard(const ActionContext& context) {
    return Envelope::success({{"recharge", rechargeCards(context)},
                              {"function", screenTiles(context, "dashboard", false)},
                              {"statistics", playerStatistics(context)}});
}

Envelope managementSections(const ActionContext& context) {
    return Envelope::success(rowsAsJson(
        context.database, "SELECT id, title FROM menu_groups WHERE screen = 'management' ORDER BY position", {},
        [&](const Statement& group) {
            return json{{"title", group.text(1)}, {"list", tiles(context, group.integer(0), true)}};
        }));
}

}  // namespace

long long promotionPageRows(const ActionContext& context) { return handlesMoney(context) ? 4 : 2; }

void addDashboardActions(ActionRouter& router) {
    router.add("app", "shiming", Signing::Promoter, realNameStatus);
    router.add("app", "my", Signing::Promoter, myPage);
    router.add("app", "index", Signing::Promoter, homeDashboard);
    router.add("app", "guanli", Signing::Promoter, managementSections);
}

}  // namespace backend
