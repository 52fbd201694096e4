#include "backend/TeamDemoData.h"

#include <array>
#include <string>

#include "backend/DemoData.h"
#include "backend/PromoterNames.h"

namespace backend {

namespace {

constexpr const char* kTeamSchema = R"sql(
CREATE TABLE IF NOT EXISTS share_levels (
    id INTEGER PRIMARY KEY, title TEXT NOT NULL, percent INTEGER NOT NULL UNIQUE, position INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS sub_promoters (
    promoter_id INTEGER PRIMARY KEY REFERENCES promoters(id), parent_id INTEGER NOT NULL REFERENCES promoters(id),
    phone TEXT NOT NULL, share_percent INTEGER NOT NULL, may_log_in INTEGER NOT NULL, created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS team_withdrawals (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    amount_cents INTEGER NOT NULL, created_at INTEGER NOT NULL,
    status INTEGER NOT NULL, decided_at INTEGER NOT NULL);
)sql";

struct LevelSeed {
    const char* title;
    int percent;
};

constexpr std::array kTeamLevels = {LevelSeed{"初级", 10}, LevelSeed{"中级", 20}, LevelSeed{"高级", 30}};

struct SubPromoterSeed {
    const char* username;
    const char* phone;
    int levelIndex;
    bool mayLogIn;
};

// The demo account's team, oldest first.
constexpr std::array kDemoTeam = {
    SubPromoterSeed{"zhoujie", "13800138001", 0, true},   SubPromoterSeed{"wuqiang", "13912345602", 1, true},
    SubPromoterSeed{"zhengyu", "15012345603", 2, true},   SubPromoterSeed{"fengxue", "18612345604", 0, false},
    SubPromoterSeed{"hanmei", "17712345605", 1, true},    SubPromoterSeed{"yangguo", "13612345606", 1, true},
    SubPromoterSeed{"zhuqing", "15812345607", 0, true},   SubPromoterSeed{"qinfeng", "18812345608", 2, false},
    SubPromoterSeed{"xuyan", "13712345609", 0, true},     SubPromoterSeed{"heyun", "15912345610", 1, true},
    SubPromoterSeed{"luochen", "18212345611", 2, true},   SubPromoterSeed{"songjia", "17612345612", 0, true}};

// The second promoter's team.
constexpr std::array kOtherTeam = {SubPromoterSeed{"gaofei", "13512345613", 1, true},
                                   SubPromoterSeed{"linxi", "15112345614", 0, true}};

constexpr std::array kWithdrawalCents = {5000LL, 12000LL, 30000LL, 8800LL, 20000LL, 1500LL};

void insertTeamRow(Database& database, std::string_view sql, const std::vector<SqlValue>& values) {
    database.prepare(sql).bind(values).step();
}

// Adds the team's accounts and answers their promoter ids, oldest first.
template <std::size_t N>
std::vector<long long> seedTeam(Database& database, long long parentId, const std::array<SubPromoterSeed, N>& team,
                                std::time_t firstCreated) {
    std::vector<long long> ids;
    for (std::size_t i = 0; i < N; ++i) {
        const SubPromoterSeed& seed = team[i];
        const long long id = addPromoterAccount(database, seed.username, kDemoPassword);
        insertTeamRow(database,
               "INSERT INTO sub_promoters (promoter_id, parent_id, phone, share_percent, may_log_in, created_at)"
               " VALUES (?, ?, ?, ?, ?, ?)",
               {id, parentId, seed.phone, static_cast<long long>(kTeamLevels[seed.levelIndex].percent),
                seed.mayLogIn ? 1LL : 0LL, static_cast<long long>(firstCreated + static_cast<std::time_t>(i) * 86400)});
        ids.push_back(id);
    }
    return ids;
}

}  // namespace

void installTeamTables(Database& database) { database.execute(kTeamSchema); }

void seedTeamDemoData(Database& database, std::time_t now) {
    for (std::size_t i = 0; i < kTeamLevels.size(); ++i) {
        insertTeamRow(database, "INSERT INTO share_levels (title, percent, position) VALUES (?, ?, ?)",
               {kTeamLevels[i].title, static_cast<long long>(kTeamLevels[i].percent), static_cast<long long>(i)});
    }
    const std::time_t monthAgo = now - 30 * 86400;
    std::vector<long long> demoTeam = seedTeam(database, 1, kDemoTeam, monthAgo);
    std::vector<long long> otherTeam = seedTeam(database, 2, kOtherTeam, monthAgo);

    // Thirteen requests of the demo team, one a day up to yesterday: the
    // newest eight wait for a decision, the older ones were decided.
    constexpr long long kDemoRequests = 13, kWaiting = 8;
    for (long long n = 0; n < kDemoRequests; ++n) {
        const std::time_t created = now - (kDemoRequests - n) * 86400 + 3600 * (n % 9);
        const bool decided = n < kDemoRequests - kWaiting;
        insertTeamRow(database,
               "INSERT INTO team_withdrawals (promoter_id, amount_cents, created_at, status, decided_at) VALUES (?, ?, ?, ?, ?)",
               {demoTeam[static_cast<std::size_t>(n) % demoTeam.size()], kWithdrawalCents[n % kWithdrawalCents.size()],
                static_cast<long long>(created), decided ? (n % 3 == 2 ? 2LL : 1LL) : 0LL,
                decided ? static_cast<long long>(created + 7200) : 0LL});
    }
    insertTeamRow(database,
           "INSERT INTO team_withdrawals (promoter_id, amount_cents, created_at, status, decided_at) VALUES (?, ?, ?, 0, 0)",
           {otherTeam.front(), 6600LL, static_cast<long long>(now - 86400)});
}

}  // namespace backend
