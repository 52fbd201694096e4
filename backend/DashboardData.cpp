#include "backend/DashboardData.h"

#include <string>
#include <utility>
#include <vector>

namespace backend {

namespace {

constexpr const char* kDashboardSchema = R"sql(
CREATE TABLE IF NOT EXISTS real_names (
    promoter_id INTEGER PRIMARY KEY REFERENCES promoters(id), name TEXT NOT NULL, idcard TEXT NOT NULL,
    verified_at INTEGER NOT NULL);
)sql";

struct TileGroup {
    const char* screen;
    const char* title;
    std::vector<std::pair<const char*, int>> tiles;  // caption and route code
};

// Route codes as each page reads them: the home dashboard 0-10, the
// management page 1-16, the my page its account codes 5 and 17-22.
const std::vector<TileGroup>& tileGroups() {
    static const std::vector<TileGroup> groups = {
        {"dashboard", "常用功能", {{"推广码", 0}, {"推广游戏", 1}, {"申请游戏", 2}, {"折扣代充", 3},
                                    {"申请结算", 4}, {"结算明细", 5}, {"分成明细", 7}, {"我的下级", 10}}},
        {"management", "游戏管理", {{"推广游戏", 1}, {"申请游戏", 2}, {"我的游戏", 8}}},
        {"management", "财务管理", {{"折扣代充", 3}, {"申请结算", 4}, {"结算明细", 5}, {"提现管理", 12}}},
        {"management", "团队管理", {{"我的下级", 10}, {"添加下级", 11}, {"分成明细", 7}, {"分成比例", 9}}},
        {"management", "数据统计", {{"注册统计", 13}, {"充值统计", 14}, {"角色汇总", 15}, {"推广排行", 16}}},
        {"mypage", "账户", {{"个人信息", 17}, {"实名认证", 18}, {"修改密码", 19}, {"充值记录", 20},
                             {"结算明细", 5}, {"联系我们", 22}}}};
    return groups;
}

void insertDashboardRow(Database& database, std::string_view sql, const std::vector<SqlValue>& values) {
    database.prepare(sql).bind(values).step();
}

void seed(Database& database) {
    long long groupPosition = 100;  // after the tabs' own menu groups
    for (const TileGroup& group : tileGroups()) {
        insertDashboardRow(database, "INSERT INTO menu_groups (screen, title, position) VALUES (?, ?, ?)",
               {group.screen, group.title, groupPosition++});
        const long long groupId = database.lastInsertId();
        long long position = 0;
        for (const auto& [caption, type] : group.tiles) {
            insertDashboardRow(database, "INSERT INTO menu_items (group_id, name, type, position) VALUES (?, ?, ?, ?)",
                   {groupId, caption, static_cast<long long>(type), position++});
        }
    }
    insertDashboardRow(database,
           "INSERT OR IGNORE INTO real_names (promoter_id, name, idcard, verified_at)"
           " SELECT id, '李明', '110101199001011234', 0 FROM promoters WHERE username = 'liming'",
           {});
    insertDashboardRow(database, "UPDATE promoters SET account_kind = 3 WHERE username = 'sunli'", {});
}

}  // namespace

void installDashboardData(Database& database) {
    database.execute(kDashboardSchema);
    if (database.scalar("SELECT COUNT(*) FROM menu_groups WHERE screen = 'management'") == 0) seed(database);
}

}  // namespace backend
