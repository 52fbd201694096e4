#include "backend/DemoData.h"

#include <array>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "backend/AccountPageData.h"
#include "backend/DashboardData.h"
#include "backend/Digest.h"
#include "backend/Format.h"
#include "backend/GameDemoData.h"
#include "backend/PaymentDemoData.h"
#include "backend/PaymentPages.h"
#include "backend/PromoterNames.h"
#include "backend/SettlementDemoData.h"
#include "backend/SignInLimit.h"
#include "backend/SignedRequests.h"
#include "backend/ReportDemoData.h"
#include "backend/TeamDemoData.h"
#include "backend/TypedText.h"

namespace backend {

namespace {

constexpr const char* kDemoSchema = R"sql(
CREATE TABLE IF NOT EXISTS promoters (
    id INTEGER PRIMARY KEY, username TEXT NOT NULL UNIQUE, password_hash TEXT NOT NULL,
    nickname TEXT NOT NULL, head TEXT NOT NULL, account_kind INTEGER NOT NULL,
    prepaid_cents INTEGER NOT NULL, withdrawn_cents INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS categories (id INTEGER PRIMARY KEY, name TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS games (
    id INTEGER PRIMARY KEY, name TEXT NOT NULL, category_id INTEGER NOT NULL REFERENCES categories(id),
    icon TEXT NOT NULL, score REAL NOT NULL, tags TEXT NOT NULL, screenshots TEXT NOT NULL,
    share_percent INTEGER NOT NULL, system_type TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS promoter_games (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    game_id INTEGER NOT NULL REFERENCES games(id), UNIQUE (promoter_id, game_id));
CREATE TABLE IF NOT EXISTS players (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    game_id INTEGER NOT NULL REFERENCES games(id), username TEXT NOT NULL, reg_type TEXT NOT NULL,
    registered_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS orders (
    id INTEGER PRIMARY KEY, player_id INTEGER NOT NULL REFERENCES players(id),
    promoter_id INTEGER NOT NULL REFERENCES promoters(id), game_id INTEGER NOT NULL REFERENCES games(id),
    amount_cents INTEGER NOT NULL, paid_cents INTEGER NOT NULL, commission_cents INTEGER NOT NULL,
    payment TEXT NOT NULL, created_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS notices (
    id INTEGER PRIMARY KEY, title TEXT NOT NULL, description TEXT NOT NULL, kind TEXT NOT NULL,
    published_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS gift_bags (
    id INTEGER PRIMARY KEY, game_id INTEGER NOT NULL REFERENCES games(id), cardname TEXT NOT NULL,
    kind TEXT NOT NULL, content TEXT NOT NULL, meth TEXT NOT NULL, total INTEGER NOT NULL,
    remaining INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS server_openings (
    id INTEGER PRIMARY KEY, game_id INTEGER NOT NULL REFERENCES games(id), server_name TEXT NOT NULL,
    opens_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS menu_groups (
    id INTEGER PRIMARY KEY, screen TEXT NOT NULL, title TEXT NOT NULL, position INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS menu_items (
    id INTEGER PRIMARY KEY, group_id INTEGER NOT NULL REFERENCES menu_groups(id), name TEXT NOT NULL,
    type INTEGER NOT NULL, position INTEGER NOT NULL);
)sql";

constexpr std::array kCategories = {"角色扮演", "卡牌", "传奇", "仙侠", "策略", "休闲"};

// Four games per category, in the order of kCategories.
constexpr std::array kGames = {
    "龙城霸业", "苍穹之剑",   "神域传说",   "星辰奇缘",   "三国群英传", "西游降魔", "幻想卡牌师", "封神召唤",
    "热血传奇", "烈焰屠龙",   "复古传奇",   "沙城争霸",   "问道仙途",   "蜀山剑侠", "青云诀",     "九州仙缘",
    "王者征途", "乱世霸主",   "帝国纷争",   "塔防三国",   "开心消消乐园", "萌宠大作战", "欢乐斗地主", "钓鱼达人"};

constexpr std::array kTags = {"热门", "新游", "高返利", "福利多", "双端互通", "独家", "BT版", "0.1折"};
constexpr std::array kDemoSystemTypes = {"安卓", "iOS", "双端"};

struct PromoterSeed {
    const char* username;
    const char* nickname;
    int playerCount;
    int orderCount;
    long long prepaidCents;
    long long withdrawnCents;
};

// The demo account first; the others fill the promoter ranking. Every
// account's password is the demo password.
constexpr std::array kPromoters = {
    PromoterSeed{kDemoUsername, "演示推广员", 64, 45, 120000, 30000}, PromoterSeed{"liming", "李明", 41, 20, 5000, 0},
    PromoterSeed{"wangfang", "王芳", 35, 16, 0, 8000},               PromoterSeed{"zhangwei", "张伟", 28, 12, 20000, 0},
    PromoterSeed{"chenjing", "陈静", 20, 8, 0, 0},                   PromoterSeed{"liuyang", "刘洋", 15, 6, 3000, 1000},
    PromoterSeed{"zhaolei", "赵磊", 9, 3, 0, 0},                     PromoterSeed{"sunli", "孙丽", 5, 1, 0, 0}};

constexpr std::array kPlayerPrefixes = {"逍遥", "战神", "清风", "夜雨", "孤狼", "白衣", "醉月", "流星"};
constexpr std::array kPlayerSuffixes = {"剑客", "小白", "无敌", "公子", "浪子", "少侠", "仙子", "书生"};
constexpr std::array kRegTypes = {"手机注册", "手机注册", "账号注册", "一键注册", "第三方登录"};
constexpr std::array kPayments = {"支付宝", "支付宝", "涟信支付", "平台币", "银行卡"};
constexpr std::array kTopUpCents = {600LL, 3000LL, 6800LL, 12800LL, 19800LL, 32800LL, 64800LL};

struct NoticeSeed {
    const char* title;
    const char* description;
    const char* kind;
};

constexpr std::array kNotices = {
    NoticeSeed{"推广联盟五月结算公告", "五月佣金已于今日完成结算，请在资产页查看明细。", "公告"},
    NoticeSeed{"新游《龙城霸业》开放推广", "角色扮演新作上线，首充返利提升至七成。", "活动"},
    NoticeSeed{"端午节推广冲榜活动", "活动期间推广排行前十名可获额外奖励。", "活动"},
    NoticeSeed{"关于提现审核时间的调整", "提现审核时间调整为每个工作日十点至十八点。", "公告"},
    NoticeSeed{"《热血传奇》新区火爆开启", "新区开服前三天充值享双倍返利。", "活动"},
    NoticeSeed{"实名认证提醒", "未完成实名认证的推广员请尽快在个人中心完成认证。", "公告"},
    NoticeSeed{"推广素材更新", "各游戏推广海报与链接已更新，请及时替换。", "公告"},
    NoticeSeed{"礼包码领取说明", "礼包码仅限新注册玩家使用，每个账号限领一次。", "公告"},
    NoticeSeed{"系统维护通知", "本周四凌晨两点至四点进行系统维护，期间暂停服务。", "公告"},
    NoticeSeed{"卡牌游戏专题推广", "卡牌类游戏本月分成比例上调五个百分点。", "活动"},
    NoticeSeed{"防诈骗提醒", "官方不会以任何理由索要您的登录密码。", "公告"},
    NoticeSeed{"推广联盟上线新版本", "新版本优化了数据统计与礼包复制功能。", "公告"}};

constexpr std::array kGiftNames = {"新手礼包", "VIP礼包", "节日礼包", "开服礼包", "充值礼包"};
constexpr std::array kGiftContents = {"元宝×888、强化石×20、经验丹×5", "坐骑体验卡×1、金币×50000、复活石×3",
                                      "限定时装×1、钻石×200、体力药水×10", "高级宝箱×2、银两×100000、双倍经验卡×1"};
constexpr std::array kGiftTotals = {200, 500, 1000, 2000};
constexpr std::array kDemoServerNames = {"风云再起", "龙腾四海", "群雄逐鹿", "一统天下", "再战江湖"};

struct MenuSeed {
    const char* screen;
    const char* title;
    std::vector<std::pair<const char*, int>> items;  // caption and function code
};

const std::vector<MenuSeed>& menus() {
    static const std::vector<MenuSeed> seeds = {
        {"home", "功能", {{"推广码", 101}, {"我的游戏", 103}, {"折扣代充", 105}, {"游戏礼包", 117},
                          {"开服信息", 116}, {"人气排行", 115}, {"注册方式", 121}, {"充值方式", 122}}},
        {"mine", "推广管理", {{"推广码", 101}, {"推广游戏", 102}, {"我的游戏", 103}, {"申请游戏", 104}}},
        {"mine", "财务管理", {{"折扣代充", 105}, {"申请结算", 106}, {"结算明细", 107}, {"充值记录", 128},
                              {"提现明细", 129}}},
        {"mine", "团队管理", {{"我的下级", 108}, {"分成明细", 109}, {"提现管理", 110}, {"添加下级", 113},
                              {"分成比例", 114}}},
        {"mine", "数据统计", {{"推广排行", 112}, {"人气排行", 115}, {"开服信息", 116}, {"游戏礼包", 117},
                              {"注册统计", 118}, {"充值统计", 119}, {"角色汇总", 120}, {"注册方式", 121},
                              {"充值方式", 122}, {"消费排行", 123}}},
        {"mine", "账户设置", {{"个人信息", 125}, {"实名认证", 126}, {"修改密码", 127}, {"联系我们", 130},
                              {"推广公告", 131}}}};
    return seeds;
}

class Seeder {
public:
    Seeder(Database& database, std::time_t now) : database_(database), now_(now) {}

    void run() {
        seedCatalogue();
        seedPromoters();
        seedNotices();
        seedGiftBags();
        seedServerOpenings();
        seedMenus();
        seedTeamDemoData(database_, now_);
    }

private:
    void insert(std::string_view sql, const std::vector<SqlValue>& values) {
        database_.prepare(sql).bind(values).step();
    }

    long long pick(long long count) { return static_cast<long long>(random_() % static_cast<unsigned>(count)); }

    void seedCatalogue() {
        for (std::size_t i = 0; i < kCategories.size(); ++i) {
            insert("INSERT INTO categories (id, name) VALUES (?, ?)", {static_cast<long long>(i + 1), kCategories[i]});
        }
        for (long long id = 1; id <= static_cast<long long>(kGames.size()); ++id) {
            nlohmann::ordered_json tags = nlohmann::ordered_json::array();
            for (long long t = 0; t < 2 + id % 2; ++t) tags.push_back(kTags[(id * 3 + t * 5) % kTags.size()]);
            nlohmann::ordered_json shots = nlohmann::ordered_json::array();
            for (int n = 1; n <= 3; ++n) shots.push_back("static/shot/game-" + std::to_string(id) + "-" + std::to_string(n) + ".png");
            insert("INSERT INTO games (id, name, category_id, icon, score, tags, screenshots, share_percent, system_type)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   {id, kGames[id - 1], (id - 1) / 4 + 1, "static/icon/game-" + std::to_string(id) + ".png",
                    7.0 + static_cast<double>(id * 13 % 29) / 10.0, tags.dump(), shots.dump(), 50 + id * 7 % 25,
                    kDemoSystemTypes[id % kDemoSystemTypes.size()]});
        }
    }

    void seedPromoters() {
        const long long gameCount = static_cast<long long>(kGames.size());
        for (std::size_t i = 0; i < kPromoters.size(); ++i) {
            const PromoterSeed& seed = kPromoters[i];
            const long long id = static_cast<long long>(i + 1);
            insert("INSERT INTO promoters (id, username, name_key, password_hash, nickname, head, account_kind,"
                   " prepaid_cents, withdrawn_cents) VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)",
                   {id, seed.username, identityKey(seed.username), passwordHash(seed.username, kDemoPassword), seed.nickname,
                    "static/head/promoter-" + std::to_string(id) + ".png", seed.prepaidCents, seed.withdrawnCents});
            // The demo account promotes the first 18 games, the others six each.
            std::vector<long long> games;
            for (long long g = 0; g < (i == 0 ? 18 : 6); ++g) games.push_back(i == 0 ? g + 1 : (id * 5 + g * 3) % gameCount + 1);
            for (long long game : games) {
                insert("INSERT OR IGNORE INTO promoter_games (promoter_id, game_id) VALUES (?, ?)", {id, game});
            }
            seedPlayersAndOrders(id, seed, games);
        }
    }

    void seedPlayersAndOrders(long long promoterId, const PromoterSeed& seed, const std::vector<long long>& games) {
        const std::time_t today = chinaDayStart(now_);
        std::vector<std::pair<long long, std::time_t>> players;  // id and registration time
        for (int n = 0; n < seed.playerCount; ++n) {
            // A few players every day of the last week, the rest over the month.
            const long long daysAgo = n < 21 ? n % 7 : 7 + pick(23);
            const std::time_t dayStart = today - daysAgo * 86400;
            const std::time_t registered = dayStart + pick(std::max<std::time_t>(1, std::min<std::time_t>(86400, now_ - dayStart)));
            const long long game = games[static_cast<std::size_t>(pick(static_cast<long long>(games.size())))];
            const std::string name = std::string(kPlayerPrefixes[pick(kPlayerPrefixes.size())]) +
                                     kPlayerSuffixes[pick(kPlayerSuffixes.size())] + std::to_string(100 + pick(900));
            insert("INSERT INTO players (promoter_id, game_id, username, reg_type, registered_at) VALUES (?, ?, ?, ?, ?)",
                   {promoterId, game, name, kRegTypes[pick(kRegTypes.size())], static_cast<long long>(registered)});
            players.emplace_back(database_.lastInsertId(), registered);
        }
        // A player tops up at most once a minute: the income details show
        // times to the minute, and two equal top-ups in one minute would
        // read as one row twice (which happens just after midnight, when
        // today's players and their top-ups crowd into a few minutes).
        std::set<std::pair<long long, std::time_t>> toppedUpMinutes;
        for (int n = 0; n < seed.orderCount && !players.empty(); ++n) {
            const auto& [playerId, registered] = players[static_cast<std::size_t>(pick(static_cast<long long>(players.size())))];
            const long long game = database_.scalar("SELECT game_id FROM players WHERE id = ?", {playerId});
            const long long share = database_.scalar("SELECT share_percent FROM games WHERE id = ?", {game});
            const long long amount = kTopUpCents[pick(kTopUpCents.size())];
            const long long paid = amount * 9 / 10;  // players top up at a tenth off
            const std::time_t created = registered + pick(std::max<std::time_t>(1, now_ - registered));
            const std::pair<long long, std::time_t> playerMinute{playerId, created / 60};
            if (!toppedUpMinutes.insert(playerMinute).second) continue;
            insert("INSERT INTO orders (player_id, promoter_id, game_id, amount_cents, paid_cents, commission_cents,"
                   " payment, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   {playerId, promoterId, game, amount, paid, paid * share / 100, kPayments[pick(kPayments.size())],
                    static_cast<long long>(created)});
        }
    }

    void seedNotices() {
        for (std::size_t i = 0; i < kNotices.size(); ++i) {
            insert("INSERT INTO notices (title, description, kind, published_at) VALUES (?, ?, ?, ?)",
                   {kNotices[i].title, kNotices[i].description, kNotices[i].kind,
                    static_cast<long long>(now_ - static_cast<std::time_t>(i) * 2 * 86400 - 3600)});
        }
    }

    void seedGiftBags() {
        for (long long i = 1; i <= 23; ++i) {
            const long long total = kGiftTotals[i % kGiftTotals.size()];
            insert("INSERT INTO gift_bags (game_id, cardname, kind, content, meth, total, remaining)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?)",
                   {i * 5 % static_cast<long long>(kGames.size()) + 1, kGiftNames[i % kGiftNames.size()], "通用",
                    kGiftContents[i % kGiftContents.size()], "登录游戏后在福利中心输入礼包码兑换", total,
                    total * (i * 37 % 100) / 100});
        }
    }

    void seedServerOpenings() {
        const std::time_t today = chinaDayStart(now_);
        constexpr std::array kHours = {10, 14, 20};
        for (long long i = 1; i <= 15; ++i) {
            const std::time_t opens = today + (i / 3 - 2) * 86400 + kHours[i % kHours.size()] * 3600;
            insert("INSERT INTO server_openings (game_id, server_name, opens_at) VALUES (?, ?, ?)",
                   {i * 7 % static_cast<long long>(kGames.size()) + 1,
                    "S" + std::to_string(10 + i) + "区 " + kDemoServerNames[i % kDemoServerNames.size()],
                    static_cast<long long>(opens)});
        }
    }

    void seedMenus() {
        long long groupPosition = 0;
        for (const MenuSeed& group : menus()) {
            insert("INSERT INTO menu_groups (screen, title, position) VALUES (?, ?, ?)",
                   {group.screen, group.title, groupPosition++});
            const long long groupId = database_.lastInsertId();
            long long itemPosition = 0;
            for (const auto& [name, type] : group.items) {
                insert("INSERT INTO menu_items (group_id, name, type, position) VALUES (?, ?, ?, ?)",
                       {groupId, name, static_cast<long long>(type), itemPosition++});
            }
        }
    }

    Database& database_;
    std::time_t now_;
    std::mt19937 random_{20240601};
};

}  // namespace

std::string passwordHash(const std::string& username, const std::string& password) {
    return sha256Hex(username + ":" + password);
}

std::optional<std::string> passwordRefusal(std::string_view password) {
    if (password.empty()) return "密码不能为空";
    if (password.find(' ') != std::string_view::npos) return "密码不能有空格";
    if (password.size() > kLongestPassword) return "密码不能超过" + std::to_string(kLongestPassword) + "个字节";
    return std::nullopt;
}

void installDemoData(Database& database, std::time_t now) {
    database.transaction([&] {
        database.execute(kDemoSchema);
        installNameKeys(database);
        installTeamTables(database);
        if (database.scalar("SELECT COUNT(*) FROM promoters") == 0) Seeder(database, now).run();
        installDashboardData(database);
        installGameDemoData(database, now);
        installPaymentDemoData(database, now);
        installSettlementData(database, now);
        installReportDemoData(database);
        installAccountPageData(database);
        installSignInLimitTable(database);
        installSignedRequestsTable(database);
        installPaymentSecrets(database);
    });
}

}  // namespace backend
