#include "backend/GameDemoData.h"

#include <array>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace backend {

namespace {

constexpr const char* kGameSchema = R"sql(
CREATE TABLE IF NOT EXISTS game_profiles (
    game_id INTEGER PRIMARY KEY REFERENCES games(id), content TEXT NOT NULL, listed_at INTEGER NOT NULL,
    closes_at INTEGER NOT NULL, discount TEXT NOT NULL);
)sql";

struct NewGame {
    const char* name;
    long long categoryId;
};

// Games listed for promotion but promoted by nobody yet.
constexpr std::array kNewGames = {
    NewGame{"剑影江湖", 1}, NewGame{"天命奇侠", 1}, NewGame{"魔卡幻境", 2}, NewGame{"英雄集结", 2},
    NewGame{"赤月屠龙", 3}, NewGame{"至尊传奇", 3}, NewGame{"御剑长歌", 4}, NewGame{"仙灵物语", 4},
    NewGame{"铁血战国", 5}, NewGame{"列国争锋", 5}, NewGame{"水果连连看", 6}, NewGame{"欢乐农场", 6},
    NewGame{"斗罗风云", 1}, NewGame{"卡牌大师", 2}, NewGame{"雷霆传奇", 3}, NewGame{"太古神话", 4}};

// One paragraph per category, after the game's own opening sentence.
constexpr std::array kCategoryBlurbs = {
    "自由捏脸、多职业转职，主线剧情超过百章，师徒、帮派、婚姻系统一应俱全，适合长期留存的玩家。",
    "数百张原画卡牌随心组合，策略阵容与羁绊加成让每一场对局都不相同，每日登录即可领取十连抽。",
    "经典三职业重现，装备全靠打，沙城攻防每晚开启，爆率提升与回收系统让玩家轻松上手。",
    "御剑飞行、渡劫飞升，精美国风场景搭配全程语音剧情，挂机修炼也能稳步成长。",
    "百城争霸、联盟外交，实时大地图行军，武将养成与兵种克制考验每一位主公的谋略。",
    "轻松休闲、随时畅玩，关卡超过一千关，适合全年龄段玩家在碎片时间娱乐。"};
constexpr std::array kDiscounts = {"0.1折", "1折", "3折", "5折"};
constexpr std::array kGameSystemTypes = {"安卓", "iOS", "双端"};

constexpr long long kDay = 86400;

void insertNewGames(Database& database) {
    for (std::size_t i = 0; i < kNewGames.size(); ++i) {
        database.prepare("INSERT INTO games (name, category_id, icon, score, tags, screenshots, share_percent,"
                         " system_type) VALUES (?, ?, '', ?, ?, '[]', ?, ?)")
            .bind({kNewGames[i].name, kNewGames[i].categoryId, 7.5 + static_cast<double>(i % 5) / 2.0,
                   nlohmann::json::array({"新游", "高返利"}).dump(), 55 + static_cast<long long>(i * 3 % 20),
                   kGameSystemTypes[i % kGameSystemTypes.size()]})
            .step();
        const long long id = database.lastInsertId();
        nlohmann::json shots = nlohmann::json::array();
        for (int n = 1; n <= 4; ++n) shots.push_back("static/shot/game-" + std::to_string(id) + "-" + std::to_string(n) + ".png");
        database.prepare("UPDATE games SET icon = ?, screenshots = ? WHERE id = ?")
            .bind({"static/icon/game-" + std::to_string(id) + ".png", shots.dump(), id})
            .step();
    }
}

// A profile for every game that has none: newer games were listed later.
void describeGames(Database& database, std::time_t now) {
    struct Listing {
        long long id;
        std::string content;
    };
    std::vector<Listing> listings;
    Statement games = database.prepare(
        "SELECT g.id, g.name, c.name, g.category_id FROM games g JOIN categories c ON c.id = g.category_id"
        " WHERE g.id NOT IN (SELECT game_id FROM game_profiles) ORDER BY g.id");
    while (games.step()) {
        listings.push_back({games.integer(0), "《" + games.text(1) + "》是一款" + games.text(2) + "类手游。" +
                                                  kCategoryBlurbs[static_cast<std::size_t>(games.integer(3) - 1) %
                                                                  kCategoryBlurbs.size()]});
    }
    const long long count = static_cast<long long>(listings.size());
    for (long long i = 0; i < count; ++i) {
        const Listing& listing = listings[static_cast<std::size_t>(i)];
        const long long listed = static_cast<long long>(now) - (count - i) * 3 * kDay;
        database.prepare("INSERT INTO game_profiles (game_id, content, listed_at, closes_at, discount) VALUES (?, ?, ?, ?, ?)")
            .bind({listing.id, listing.content, listed, listed + 180 * kDay,
                   kDiscounts[static_cast<std::size_t>(listing.id) % kDiscounts.size()]})
            .step();
    }
}

}  // namespace

void installGameDemoData(Database& database, std::time_t now) {
    database.execute(kGameSchema);
    if (database.scalar("SELECT COUNT(*) FROM game_profiles") > 0) return;
    if (database.scalar("SELECT COUNT(*) FROM categories") == 0) return;
    insertNewGames(database);
    describeGames(database, now);
}

}  // namespace backend
