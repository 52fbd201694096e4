#include "backend/actions/ReportActions.h"

#include <string>
#include <vector>

#include "backend/Format.h"
#include "backend/Paging.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Orders older than this are settled.
constexpr std::time_t kSettlementDelay = 7 * 86400;
// Places of the ranking that show a medal image instead of their number.
constexpr std::size_t kMedalPlaces = 3;

// A player's phone number as the reports show it, middle digits masked.
std::string maskedPhone(long long playerId) {
    const std::string tail = std::to_string(1000 + playerId * 7919 % 9000);
    return "13" + std::to_string(playerId % 10) + "****" + tail;
}

std::string minuteText(long long moment) { return formatChinaTime(moment, "%Y-%m-%d %H:%M"); }

Envelope registrations(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM players WHERE promoter_id = ?",
                    "SELECT p.id, g.name, p.registered_at, p.reg_type, p.username FROM players p"
                    " JOIN games g ON g.id = p.game_id WHERE p.promoter_id = ?"
                    " ORDER BY p.registered_at DESC, p.id DESC LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [](const Statement& row) {
        return json{{"user_id", std::to_string(row.integer(0))},
                    {"reg_gname", row.text(1)},
                    {"reg_time", std::to_string(row.integer(2))},
                    {"reg_canal", row.text(3)},
                    {"username", row.text(4)},
                    {"phone", maskedPhone(row.integer(0))},
                    {"time", minuteText(row.integer(2))}};
    });
}

Envelope topUps(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM orders WHERE promoter_id = ?",
                    "SELECT o.player_id, o.amount_cents, o.paid_cents, o.game_id, p.username, o.created_at, g.name"
                    " FROM orders o JOIN players p ON p.id = o.player_id JOIN games g ON g.id = o.game_id"
                    " WHERE o.promoter_id = ? ORDER BY o.created_at DESC, o.id DESC LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [](const Statement& row) {
        return json{{"uid", std::to_string(row.integer(0))},
                    {"money", formatYuan(row.integer(1))},
                    {"paymoney", formatYuan(row.integer(2))},
                    {"appid", std::to_string(row.integer(3))},
                    {"username", row.text(4)},
                    {"time", minuteText(row.integer(5))},
                    {"gname", row.text(6)}};
    });
}

// Levels are numbers: the report shows whatever arrives.
Envelope roles(const ActionContext& context) {
    const std::string from = " FROM player_roles r JOIN players p ON p.id = r.player_id JOIN games g ON g.id = p.game_id"
                             " JOIN promoters m ON m.id = p.promoter_id WHERE p.promoter_id = ?";
    ListQuery query{"SELECT COUNT(*)" + from,
                    "SELECT r.id, g.name, p.id, r.level, m.nickname, r.role_name, r.server_id, r.server_name,"
                    " p.username" + from + " ORDER BY r.level DESC, r.id LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [](const Statement& row) {
        return json{{"charid", std::to_string(row.integer(0))},
                    {"game", row.text(1)},
                    {"id", std::to_string(row.integer(2))},
                    {"level", row.integer(3)},
                    {"member", row.text(4)},
                    {"role_name", row.text(5)},
                    {"serverid", std::to_string(row.integer(6))},
                    {"servername", row.text(7)},
                    {"username", row.text(8)}};
    });
}

// The share table: a title row, then one row per promoted game (name,
// system, the promoter's share, a sub-promoter's share), each row an array.
Envelope shareRatios(const ActionContext& context) {
    std::optional<long long> page = requestedPage(context.parameters);
    if (!page) return Envelope::failure(ResultCode::InvalidRequest, "页码无效");
    std::vector<json> rows{json::array({"游戏", "平台", "分成比例", "下级分成"})};
    Statement games = context.database.prepare(
        "SELECT g.name, g.system_type, g.share_percent FROM promoter_games pg JOIN games g ON g.id = pg.game_id"
        " WHERE pg.promoter_id = ? ORDER BY g.id");
    games.bind({context.promoterId});
    while (games.step()) {
        const long long share = games.integer(2);
        rows.push_back(json::array({games.text(0), games.text(1), std::to_string(share) + "%",
                                    std::to_string(share - 10) + "%"}));
    }
    const long long total = static_cast<long long>(rows.size());
    json data = json::array();
    for (long long i = (*page - 1) * kPageSize; i < total && i < *page * kPageSize; ++i)
        data.push_back(std::move(rows[static_cast<std::size_t>(i)]));
    return Envelope::success(std::move(data)).paged(*page, lastPage(total));
}

// Per player name: accounts registered, top-ups, the promoter's commission
// and the part of it already settled; largest top-up first. Not paged.
Envelope commissions(const ActionContext& context) {
    const long long settledBefore = static_cast<long long>(context.now - kSettlementDelay);
    return Envelope::success(rowsAsJson(
        context.database,
        "SELECT p.username, COUNT(DISTINCT p.id), COALESCE(SUM(o.amount_cents), 0),"
        " COALESCE(SUM(o.commission_cents), 0),"
        " COALESCE(SUM(CASE WHEN o.created_at < ? THEN o.commission_cents ELSE 0 END), 0)"
        " FROM players p LEFT JOIN orders o ON o.player_id = p.id WHERE p.promoter_id = ?"
        " GROUP BY p.username ORDER BY 3 DESC, p.username",
        {settledBefore, context.promoterId}, [](const Statement& row) {
            return json{{"name", row.text(0)},
                        {"number", row.integer(1)},
                        {"money", formatYuan(row.integer(2))},
                        {"income", formatYuan(row.integer(3))},
                        {"settled", formatYuan(row.integer(4))}};
        }));
}

// The promoter's own totals and every promoter ranked by commission; the
// first places carry a medal image, the others an empty `icon`.
Envelope ranking(const ActionContext& context) {
    const long long players =
        context.database.scalar("SELECT COUNT(*) FROM players WHERE promoter_id = ?", {context.promoterId});
    const long long commission = context.database.scalar(
        "SELECT COALESCE(SUM(commission_cents), 0) FROM orders WHERE promoter_id = ?", {context.promoterId});
    json list = json::array();
    Statement rows = context.database.prepare(
        "SELECT m.id, m.nickname, COALESCE(SUM(o.commission_cents), 0) AS earned FROM promoters m"
        " LEFT JOIN orders o ON o.promoter_id = m.id GROUP BY m.id ORDER BY earned DESC, m.id");
    while (rows.step()) {
        const std::size_t place = list.size() + 1;
        list.push_back({{"icon", place <= kMedalPlaces ? context.link("static/rank/medal-" + std::to_string(place) + ".png")
                                                        : std::string()},
                        {"id", std::to_string(rows.integer(0))},
                        {"money", formatYuan(rows.integer(2))},
                        {"username", rows.text(1)}});
    }
    return Envelope::success({{"my", {{"num", std::to_string(players)}, {"money", formatYuan(commission)}}},
                              {"list", std::move(list)}});
}

}  // namespace

void addReportActions(ActionRouter& router) {
    router.add("app", "reg", Signing::Promoter, registrations);
    router.add("app", "pay", Signing::Promoter, topUps);
    router.add("app", "role", Signing::Promoter, roles);
    router.add("app", "fcbl", Signing::Promoter, shareRatios);
    router.add("app", "fencheng", Signing::Promoter, commissions);
    router.add("app", "paihang", Signing::Promoter, ranking);
}

}  // namespace backend
