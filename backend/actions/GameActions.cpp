#include "backend/actions/GameActions.h"

#include <array>
#include <optional>

#include "backend/Format.h"
#include "backend/Paging.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

constexpr long long kLargestGameId = 1'000'000'000;
constexpr std::size_t kRecommendedGames = 4;

// The promoter levels, lowest first, and how far each one's share lies below
// the game's top share (the highest level's).
struct Level {
    const char* title;
    long long pointsBelowTop;
};
constexpr std::array kPromoterLevels = {Level{"青铜推广员", 15}, Level{"白银推广员", 10}, Level{"黄金推广员", 5},
                                Level{"钻石推广员", 0}};

std::string percent(long long points) { return std::to_string(points) + "%"; }

// The game named by the signed `id`, or the refusal to answer.
struct GameLookup {
    std::optional<long long> id;
    std::optional<Envelope> refusal;
};

GameLookup lookUpGame(const ActionContext& context) {
    std::optional<long long> id = parseWholeNumber(context.parameters.textOrEmpty("id"), kLargestGameId);
    if (!id) return {std::nullopt, Envelope::failure(ResultCode::InvalidRequest, "参数 id 无效")};
    if (context.database.scalar("SELECT COUNT(*) FROM games WHERE id = ?", {*id}) == 0) {
        return {std::nullopt, Envelope::failure(ResultCode::InvalidRequest, "游戏不存在")};
    }
    return {id, std::nullopt};
}

json shareByLevel(long long topShare) {
    json levels = json::array();
    for (const Level& level : kPromoterLevels) {
        levels.push_back({{"title", level.title}, {"fcbl", percent(std::max(0LL, topShare - level.pointsBelowTop))}});
    }
    return levels;
}

// Other games, those of the same category first.
json recommendedGames(const ActionContext& context, long long gameId, long long categoryId) {
    return rowsAsJson(context.database,
                      "SELECT name, icon FROM games WHERE id != ? ORDER BY category_id = ? DESC, id LIMIT ?",
                      {gameId, categoryId, static_cast<long long>(kRecommendedGames)}, [&](const Statement& row) {
                          return json{{"icon", context.link(row.text(1))}, {"name", row.text(0)}};
                      });
}

Envelope gameDetails(const ActionContext& context) {
    GameLookup game = lookUpGame(context);
    if (game.refusal) return *game.refusal;
    Statement row = context.database.prepare(
        "SELECT g.name, g.icon, c.name, g.screenshots, g.share_percent, g.category_id, COALESCE(p.content, ''),"
        " (SELECT COUNT(*) FROM promoter_games pg WHERE pg.game_id = g.id)"
        " FROM games g JOIN categories c ON c.id = g.category_id LEFT JOIN game_profiles p ON p.game_id = g.id"
        " WHERE g.id = ?");
    row.bind({*game.id});
    row.step();
    json screenshots = json::array();
    for (const auto& path : textArrayColumn(row.text(3))) screenshots.push_back(context.link(path.get<std::string>()));
    const long long topShare = row.integer(4);
    return Envelope::success(json{{"imgs", std::move(screenshots)},
                                  {"icon", context.link(row.text(1))},
                                  {"name", row.text(0)},
                                  {"type", "手游/" + row.text(2)},
                                  {"number", row.integer(7)},
                                  {"top_fcbl", percent(topShare)},
                                  {"content", row.text(6)},
                                  {"fcbl", shareByLevel(topShare)},
                                  {"game", recommendedGames(context, *game.id, row.integer(5))}});
}

// Granted at once: the game joins the promoter's games.
Envelope applyForGame(const ActionContext& context) {
    GameLookup game = lookUpGame(context);
    if (game.refusal) return *game.refusal;
    if (context.database.scalar("SELECT COUNT(*) FROM promoter_games WHERE promoter_id = ? AND game_id = ?",
                                {context.promoterId, *game.id}) > 0) {
        return Envelope::failure(ResultCode::Refused, "您已申请过该游戏");
    }
    long long entryId = 0;
    context.database.transaction([&] {
        context.database.prepare("INSERT INTO promoter_games (promoter_id, game_id) VALUES (?, ?)")
            .bind({context.promoterId, *game.id})
            .step();
        entryId = context.database.lastInsertId();
    });
    return Envelope::success(json{{"id", std::to_string(entryId)}, {"gid", std::to_string(*game.id)}});
}

// Listed games the promoter does not promote yet, newest first, narrowed to
// names holding `keyword`.
Envelope gamesOpenForApplication(const ActionContext& context) {
    const std::string filter =
        " FROM games g JOIN game_profiles p ON p.game_id = g.id JOIN categories c ON c.id = g.category_id"
        " WHERE instr(g.name, ?) > 0 AND NOT EXISTS"
        " (SELECT 1 FROM promoter_games pg WHERE pg.promoter_id = ? AND pg.game_id = g.id)";
    ListQuery query{"SELECT COUNT(*)" + filter,
                    "SELECT g.id, g.name, g.icon, g.system_type, c.name, g.share_percent, p.listed_at, p.closes_at,"
                    " p.discount" + filter + " ORDER BY p.listed_at DESC, g.id LIMIT ? OFFSET ?",
                    {context.parameters.textOrEmpty("keyword"), context.promoterId}};
    return pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        return json{{"fcbl", percent(row.integer(5))},
                    {"icon", context.link(row.text(2))},
                    {"id", std::to_string(row.integer(0))},
                    {"name", row.text(1)},
                    {"system", row.text(3)},
                    {"system_type", row.text(4)},
                    {"time", formatChinaTime(row.integer(6), "%Y-%m-%d")},
                    {"time1", "上线 " + formatChinaTime(row.integer(6), "%Y-%m-%d")},
                    {"time2", "截止 " + formatChinaTime(row.integer(7), "%Y-%m-%d")},
                    {"zhekou", row.text(8)}};
    });
}

}  // namespace

void addGameActions(ActionRouter& router) {
    router.add("app", "game_info", Signing::Promoter, gameDetails, {"id"});
    router.add("app", "shenqing", Signing::PromoterOnce, applyForGame, {"id"});
    router.add("app", "games", Signing::Promoter, gamesOpenForApplication);
}

}  // namespace backend
