#include "backend/actions/AccountActions.h"

#include "backend/DemoData.h"
#include "backend/Earnings.h"
#include "backend/Format.h"
#include "backend/Paging.h"
#include "backend/SignInLimit.h"
#include "backend/PromoterNames.h"
#include "backend/actions/DashboardActions.h"
#include "backend/actions/TeamActions.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Notices shown in the Mine tab's ticker.
constexpr long long kTickerNotices = 5;

Envelope login(const ActionContext& context) {
    const std::string username = storedNameOf(context.database, context.parameters.textOrEmpty("username"));
    const std::string password = context.parameters.textOrEmpty("passwd");
    // No account has a password that the rule refuses: such a guess is
    // wrong without a look, and costs the account no attempt.
    if (auto refusal = passwordRefusal(password)) return Envelope::failure(ResultCode::Refused, *refusal);
    if (signInsAreLocked(context.database, username, context.now)) {
        return Envelope::failure(ResultCode::Refused, "密码错误次数过多，请15分钟后再试");
    }
    Statement promoter = context.database.prepare(
        "SELECT id, username, head, account_kind FROM promoters WHERE username = ? AND password_hash = ?");
    promoter.bind({username, passwordHash(username, password)});
    if (!promoter.step()) {
        recordFailedSignIn(context.database, username, context.now);
        return Envelope::failure(ResultCode::Refused, "账号或密码错误");
    }
    clearFailedSignIns(context.database, username);
    if (!mayLogIn(context.database, promoter.integer(0))) return Envelope::failure(ResultCode::Refused, "该账号已被禁止登录");
    json data = {{"uid", std::to_string(promoter.integer(0))},
                 {"username", promoter.text(1)},
                 {"head", context.link(promoter.text(2))}};
    return Envelope::success(std::move(data)).with("app", promoter.integer(3));
}

json menuGroups(const ActionContext& context) {
    return rowsAsJson(context.database, "SELECT id, title FROM menu_groups WHERE screen = 'mine' ORDER BY position", {},
                      [&](const Statement& group) {
                          json items = rowsAsJson(
                              context.database,
                              "SELECT name, type FROM menu_items WHERE group_id = ? ORDER BY position",
                              {group.integer(0)}, [&](const Statement& item) {
                                  return json{{"name", item.text(0)},
                                              {"icon", context.link("static/menu/" + std::to_string(item.integer(1)) + ".png")},
                                              {"type", item.integer(1)},
                                              {"url", ""}};
                              });
                          return json{{"title", group.text(1)},
                                      {"icon", context.link("static/menu/group-" + std::to_string(group.integer(0)) + ".png")},
                                      {"data", std::move(items)}};
                      });
}

Envelope mine(const ActionContext& context) {
    Statement promoter = context.database.prepare("SELECT username, head FROM promoters WHERE id = ?");
    promoter.bind({context.promoterId});
    if (!promoter.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    const Earnings earnings = earningsOf(context);
    json news = rowsAsJson(context.database, "SELECT id, title FROM notices ORDER BY published_at DESC, id LIMIT ?",
                           {kTickerNotices}, [&](const Statement& notice) {
                               return json{{"title", notice.text(1)},
                                           {"url", context.link("notice/" + std::to_string(notice.integer(0)))}};
                           });
    return Envelope::success({{"username", promoter.text(0)},
                              {"head", context.link(promoter.text(1))},
                              {"shareMoney", formatYuan(earnings.availableCents())},
                              {"yufu", formatYuan(earnings.prepaidCents)},
                              {"money", formatYuan(earnings.salesCents)},
                              {"news", std::move(news)},
                              {"nav", menuGroups(context)}});
}

Envelope assets(const ActionContext& context) {
    const Earnings earnings = earningsOf(context);
    const long long players = context.database.scalar("SELECT COUNT(*) FROM players WHERE promoter_id = ?", {context.promoterId});
    const long long games =
        context.database.scalar("SELECT COUNT(*) FROM promoter_games WHERE promoter_id = ?", {context.promoterId});
    return Envelope::success({{"money", formatYuan(earnings.salesCents)},
                              {"shareMoney", formatYuan(earnings.availableCents())},
                              {"withdraw", formatYuan(earnings.withdrawnCents)},
                              {"accumulate", formatYuan(earnings.commissionCents)},
                              {"popularizeNumber", std::to_string(players)},
                              {"gameDescription", "已推广" + std::to_string(games) + "款游戏"},
                              {"show", promotionPageRows(context)}});
}

Envelope incomeDetails(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM orders WHERE promoter_id = ?",
                    "SELECT o.player_id, p.username, o.amount_cents, o.paid_cents, o.game_id, o.created_at, g.name,"
                    " o.commission_cents FROM orders o JOIN players p ON p.id = o.player_id"
                    " JOIN games g ON g.id = o.game_id WHERE o.promoter_id = ?"
                    " ORDER BY o.created_at DESC, o.id DESC LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [](const Statement& row) {
        return json{{"uid", std::to_string(row.integer(0))},
                    {"username", row.text(1)},
                    {"money", formatYuan(row.integer(2))},
                    {"paymoney", formatYuan(row.integer(3))},
                    {"appid", std::to_string(row.integer(4))},
                    {"time", formatChinaTime(row.integer(5), "%Y-%m-%d %H:%M")},
                    {"gname", row.text(6)},
                    {"fencheng", formatYuan(row.integer(7))}};
    });
}

}  // namespace

void addAccountActions(ActionRouter& router) {
    router.add("app", "login", Signing::Credentials, login);
    router.add("app2022", "my", Signing::Promoter, mine);
    router.add("app", "cps", Signing::Promoter, assets);
    router.add("app2022", "mingxi", Signing::Promoter, incomeDetails);
}

}  // namespace backend
