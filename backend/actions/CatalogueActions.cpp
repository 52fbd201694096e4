#include "backend/actions/CatalogueActions.h"

#include "backend/Format.h"
#include "backend/Paging.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Category ids are small whole numbers; longer digit strings are refused.
constexpr long long kLargestCategoryId = 1'000'000'000;

Envelope categories(const ActionContext& context) {
    return Envelope::success(rowsAsJson(context.database, "SELECT id, name FROM categories ORDER BY id", {},
                                        [](const Statement& row) {
                                            return json{{"id", std::to_string(row.integer(0))}, {"name", row.text(1)}};
                                        }));
}

// The promoter's games, narrowed to a category (`type`, a category id; empty
// for all) and to names holding `keyword` (empty for all).
Envelope promotedGames(const ActionContext& context) {
    const std::string category = context.parameters.textOrEmpty("type");
    std::optional<long long> categoryId;
    if (!category.empty()) {
        categoryId = parseWholeNumber(category, kLargestCategoryId);
        if (!categoryId) return Envelope::failure(ResultCode::InvalidRequest, "参数 type 无效");
    }
    const std::string filter =
        " FROM promoter_games pg JOIN games g ON g.id = pg.game_id JOIN categories c ON c.id = g.category_id"
        " WHERE pg.promoter_id = ? AND instr(g.name, ?) > 0 AND (? = 0 OR g.category_id = ?)";
    const long long id = categoryId.value_or(0);
    ListQuery query{"SELECT COUNT(*)" + filter,
                    "SELECT pg.id, g.id, g.name, g.icon, c.name, g.share_percent, g.tags, g.score" + filter +
                        " ORDER BY g.id LIMIT ? OFFSET ?",
                    {context.promoterId, context.parameters.textOrEmpty("keyword"), id, id}};
    const std::string uid = std::to_string(context.promoterId);
    return pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        const std::string gameId = std::to_string(row.integer(1));
        return json{{"id", std::to_string(row.integer(0))},
                    {"gid", gameId},
                    {"uid", uid},
                    {"name", row.text(2)},
                    {"icon", context.link(row.text(3))},
                    {"type", row.text(4)},
                    {"h5_url", context.link("h5/game/" + gameId + "?uid=" + uid)},
                    {"fcbl", std::to_string(row.integer(5)) + "%"},
                    {"biaoqian", textArrayColumn(row.text(6))},
                    {"point", row.real(7)}};
    });
}

Envelope notices(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM notices",
                    "SELECT id, title, published_at, description, kind FROM notices"
                    " ORDER BY published_at DESC, id LIMIT ? OFFSET ?",
                    {}};
    return pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        const std::string id = std::to_string(row.integer(0));
        return json{{"id", id},
                    {"title", row.text(1)},
                    {"time", formatChinaTime(row.integer(2), "%Y-%m-%d")},
                    {"description", row.text(3)},
                    {"type", row.text(4)},
                    {"icon", context.link("static/notice/" + id + ".png")},
                    {"url", context.link("notice/" + id)}};
    });
}

// Gift bags of games whose name holds `keyword`. The first page's `code` is
// the text "1" and later pages' the number 1: the app reads the two with
// different rules, and each must see success.
Envelope giftBags(const ActionContext& context) {
    const std::string filter = " FROM gift_bags b JOIN games g ON g.id = b.game_id WHERE instr(g.name, ?) > 0";
    ListQuery query{"SELECT COUNT(*)" + filter,
                    "SELECT b.id, g.id, g.name, b.cardname, b.kind, b.total, b.content, b.meth, b.remaining" + filter +
                        " ORDER BY b.id LIMIT ? OFFSET ?",
                    {context.parameters.textOrEmpty("keyword")}};
    const std::string uid = std::to_string(context.promoterId);
    Envelope answer = pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        const std::string id = std::to_string(row.integer(0));
        const long long total = row.integer(5), remaining = row.integer(8);
        return json{{"id", id},
                    {"gid", std::to_string(row.integer(1))},
                    {"gname", row.text(2)},
                    {"cardname", row.text(3)},
                    {"type", row.text(4)},
                    {"cate", static_cast<double>(total)},
                    {"content", row.text(6)},
                    {"meth", row.text(7)},
                    {"shengyu", static_cast<double>(remaining)},
                    {"bfb", formatPercent(static_cast<double>(remaining), static_cast<double>(total))},
                    {"url", context.link("h5/gift/" + id + "?uid=" + uid)},
                    {"bgimg", context.link("static/gift/" + id + ".png")}};
    });
    if (answer.code() == ResultCode::Success && requestedPage(context.parameters) == 1) answer.codeAsText();
    return answer;
}

Envelope serverOpenings(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM server_openings",
                    "SELECT g.id, s.server_name, s.opens_at, g.system_type, g.name, g.score, c.name, g.icon,"
                    " g.screenshots, g.tags FROM server_openings s JOIN games g ON g.id = s.game_id"
                    " JOIN categories c ON c.id = g.category_id ORDER BY s.opens_at, s.id LIMIT ? OFFSET ?",
                    {}};
    return pagedList(context.database, context.parameters, query, [&](const Statement& row) {
        json screenshots = json::array();
        for (const auto& path : textArrayColumn(row.text(8))) screenshots.push_back(context.link(path.get<std::string>()));
        char score[16];
        std::snprintf(score, sizeof score, "%.1f", row.real(5));
        return json{{"game_id", std::to_string(row.integer(0))},
                    {"server_name", row.text(1)},
                    {"status", row.integer(2) <= context.now ? "已开服" : "即将开服"},
                    {"system_type", row.text(3)},
                    {"gname", row.text(4)},
                    {"point", score},
                    {"type", row.text(6)},
                    {"time", formatChinaTime(row.integer(2), "%m-%d %H:%M ")},
                    {"icon", context.link(row.text(7))},
                    {"imgs", std::move(screenshots)},
                    {"biaoqian", textArrayColumn(row.text(9))}};
    });
}

}  // namespace

void addCatalogueActions(ActionRouter& router) {
    router.add("app2022", "fenlei", Signing::Promoter, categories);
    router.add("app", "mygames", Signing::Promoter, promotedGames);
    router.add("app", "news", Signing::Promoter, notices);
    router.add("app2022", "lb", Signing::Promoter, giftBags);
    router.add("app2022", "kaifu", Signing::Promoter, serverOpenings);
}

}  // namespace backend
