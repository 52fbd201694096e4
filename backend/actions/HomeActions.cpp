#include "backend/actions/HomeActions.h"

#include "backend/Format.h"
#include "backend/Paging.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Days in the Home tab's download chart, today included.
constexpr int kChartDays = 7;

json homeTiles(const ActionContext& context) {
    return rowsAsJson(context.database,
                      "SELECT i.name, i.type FROM menu_items i JOIN menu_groups g ON g.id = i.group_id"
                      " WHERE g.screen = 'home' ORDER BY g.position, i.position",
                      {}, [&](const Statement& item) {
                          return json{{"name", item.text(0)},
                                      {"icon", context.link("static/menu/" + std::to_string(item.integer(1)) + ".png")},
                                      {"type", item.integer(1)},
                                      {"url", ""}};
                      });
}

// Today's figures of the promoter, its players' paid conversion, and the
// registrations (the game box's downloads) of each of the last days.
json dashboard(const ActionContext& context) {
    const std::time_t today = chinaDayStart(context.now);
    Database& database = context.database;
    const long long registered = database.scalar(
        "SELECT COUNT(*) FROM players WHERE promoter_id = ? AND registered_at >= ?", {context.promoterId, today});
    Statement paying = database.prepare(
        "SELECT COUNT(DISTINCT player_id), COALESCE(SUM(amount_cents), 0) FROM orders"
        " WHERE promoter_id = ? AND created_at >= ?");
    paying.bind({context.promoterId, static_cast<long long>(today)});
    paying.step();
    const long long payers = paying.integer(0);
    const long long salesCents = paying.integer(1);
    // The paid conversion: the share of all the promoter's players who have
    // ever paid (at most 100, unlike today's payers over today's sign-ups).
    const long long players = database.scalar("SELECT COUNT(*) FROM players WHERE promoter_id = ?", {context.promoterId});
    const long long converted = database.scalar(
        "SELECT COUNT(DISTINCT player_id) FROM orders WHERE promoter_id = ?", {context.promoterId});
    std::string rate = formatPercent(static_cast<double>(converted), static_cast<double>(players));
    rate.pop_back();  // the card shows its own "%"

    json days = json::array(), downloads = json::array();
    for (int back = kChartDays - 1; back >= 0; --back) {
        const std::time_t start = today - static_cast<std::time_t>(back) * 86400;
        days.push_back(formatChinaTime(start, "%m-%d"));
        downloads.push_back(static_cast<double>(database.scalar(
            "SELECT COUNT(*) FROM players WHERE promoter_id = ? AND registered_at >= ? AND registered_at < ?",
            {context.promoterId, static_cast<long long>(start), static_cast<long long>(start + 86400)})));
    }
    return {{"reg", std::to_string(registered)},
            {"fufeilv", rate},
            {"pay", std::to_string(payers)},
            {"money", formatYuan(salesCents)},
            {"down", {{"day", std::move(days)}, {"num", std::move(downloads)}}}};
}

// Every promoter by the number of players brought, most first.
json promoterRanking(const ActionContext& context) {
    long long place = 0;
    return rowsAsJson(context.database,
                      "SELECT r.nickname, COUNT(p.id) AS players FROM promoters r"
                      " LEFT JOIN players p ON p.promoter_id = r.id GROUP BY r.id ORDER BY players DESC, r.id",
                      {}, [&](const Statement& row) {
                          return json{{"name", row.text(0)}, {"note", std::to_string(++place)},
                                      {"num", std::to_string(row.integer(1))}};
                      });
}

Envelope home(const ActionContext& context) {
    return Envelope::success(
        {{"nav", homeTiles(context)}, {"shuju", dashboard(context)}, {"paihangbang", promoterRanking(context)}});
}

// A ranking of the promoter's games; `measure` is the SQL aggregate ranked
// by, named `measure`, over the joined rows `source` (aliased s).
Envelope gameRanking(const ActionContext& context, const std::string& source, const std::string& measure,
                     const char* measureKey, bool measureIsMoney) {
    const std::string grouped = "FROM " + source + " s JOIN games g ON g.id = s.game_id WHERE s.promoter_id = ?";
    ListQuery query{"SELECT COUNT(DISTINCT s.game_id) " + grouped,
                    "SELECT g.id, g.name, " + measure + " AS measure, ROW_NUMBER() OVER (ORDER BY " + measure +
                        " DESC, g.id) " + grouped + " GROUP BY g.id ORDER BY measure DESC, g.id LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        return json{{measureKey, measureIsMoney ? formatYuan(row.integer(2)) : std::to_string(row.integer(2))},
                    {"appid", std::to_string(row.integer(0))},
                    {"gname", row.text(1)},
                    {"note", std::to_string(row.integer(3))}};
    });
}

Envelope popularityRanking(const ActionContext& context) {
    return gameRanking(context, "players", "COUNT(*)", "count", false);
}

Envelope topUpRanking(const ActionContext& context) {
    return gameRanking(context, "orders", "SUM(s.amount_cents)", "money", true);
}

}  // namespace

void addHomeActions(ActionRouter& router) {
    router.add("app2022", "", Signing::Promoter, home);
    router.add("app2022", "paihangbang", Signing::Promoter, popularityRanking);
    router.add("app2022", "xiaofeibang", Signing::Promoter, topUpRanking);
}

}  // namespace backend
