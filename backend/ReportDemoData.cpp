#include "backend/ReportDemoData.h"

#include <array>
#include <string>
#include <vector>

namespace backend {

namespace {

constexpr const char* kReportSchema = R"sql(
CREATE TABLE IF NOT EXISTS player_roles (
    id INTEGER PRIMARY KEY, player_id INTEGER NOT NULL REFERENCES players(id), server_id INTEGER NOT NULL,
    server_name TEXT NOT NULL, role_name TEXT NOT NULL, level INTEGER NOT NULL);
)sql";

constexpr std::array kRoleNames = {"霸刀", "青锋", "紫电", "寒霜", "烈焰", "疾风", "流云", "惊雷", "玄武", "朱雀"};
constexpr std::array kClasses = {"战士", "法师", "道士", "刺客", "弓手"};
constexpr std::array kReportServerNames = {"风云再起", "龙腾四海", "群雄逐鹿", "一统天下", "再战江湖", "笑傲苍穹"};

}  // namespace

void installReportDemoData(Database& database) {
    database.execute(kReportSchema);
    if (database.scalar("SELECT COUNT(*) FROM player_roles") > 0) return;
    std::vector<long long> players;
    for (Statement rows = database.prepare("SELECT id FROM players ORDER BY id"); rows.step();)
        players.push_back(rows.integer(0));
    for (long long player : players) {
        // Every third player never created a role; every fifth has two.
        if (player % 3 == 0) continue;
        for (long long n = 0; n < (player % 5 == 0 ? 2 : 1); ++n) {
            const long long server = (player + n * 2) % static_cast<long long>(kReportServerNames.size()) + 1;
            const std::string serverName = "S" + std::to_string(server) + "区 " + kReportServerNames[server - 1];
            const std::string roleName = std::string(kRoleNames[(player * 7 + n) % kRoleNames.size()]) +
                                         kClasses[(player + n * 3) % kClasses.size()];
            database.prepare("INSERT INTO player_roles (player_id, server_id, server_name, role_name, level)"
                             " VALUES (?, ?, ?, ?, ?)")
                .bind({player, server, serverName, roleName, 1 + (player * 37 + n * 11) % 99})
                .step();
        }
    }
}

}  // namespace backend
