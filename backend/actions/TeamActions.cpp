#include "backend/actions/TeamActions.h"

#include <optional>

#include "backend/DemoData.h"
#include "backend/Format.h"
#include "backend/Paging.h"
#include "backend/PromoterNames.h"
#include "backend/TypedText.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// Longest user name accepted, in bytes.
constexpr std::size_t kLongestUsername = 64;

// The withdrawal states as stored and as the list words them.
enum WithdrawalStatus : long long { Waiting = 0, Allowed = 1, RefusedWithdrawal = 2 };

const char* statusWording(long long status) {
    switch (status) {
        case Allowed: return "已通过";
        case RefusedWithdrawal: return "已拒绝";
        default: return "待审核";
    }
}

// A Chinese mobile number: eleven digits, the first 1, the second 3 to 9.
bool isMobileNumber(const std::string& phone) {
    return phone.size() == 11 && phone[0] == '1' && phone[1] >= '3' && phone[1] <= '9' && isDigits(phone);
}

std::optional<long long> idField(const ActionContext& context) {
    std::optional<long long> id = parseWholeNumber(context.parameters.textOrEmpty("id"), kLargestId);
    if (id && *id == 0) return std::nullopt;
    return id;
}

json subPromoterRow(const Statement& row) {
    return json{{"id", std::to_string(row.integer(0))},
                {"username", row.text(1)},
                {"phone", row.text(2)},
                {"fcbl", std::to_string(row.integer(3)) + "%"},
                {"is_login", row.integer(4) != 0 ? "1" : "2"}};
}

constexpr const char* kSubPromoterColumns =
    "SELECT p.id, p.username, s.phone, s.share_percent, s.may_log_in"
    " FROM sub_promoters s JOIN promoters p ON p.id = s.promoter_id";

// Newest first, so an account just added leads the first page.
Envelope subPromoters(const ActionContext& context) {
    ListQuery query{"SELECT COUNT(*) FROM sub_promoters WHERE parent_id = ?",
                    std::string(kSubPromoterColumns) +
                        " WHERE s.parent_id = ? ORDER BY s.created_at DESC, p.id DESC LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, subPromoterRow);
}

// Removes a sub-promoter of the promoter with its withdrawal requests. An
// account with players, orders or a team of its own, which would be
// orphaned, stays.
Envelope deleteSubPromoter(const ActionContext& context) {
    std::optional<long long> id = idField(context);
    if (!id) return Envelope::failure(ResultCode::InvalidRequest, "参数 id 无效");
    Database& database = context.database;
    if (database.scalar("SELECT COUNT(*) FROM sub_promoters WHERE promoter_id = ? AND parent_id = ?",
                        {*id, context.promoterId}) == 0) {
        return Envelope::failure(ResultCode::Refused, "下线不存在");
    }
    if (database.scalar("SELECT (SELECT COUNT(*) FROM players WHERE promoter_id = ?1)"
                        " + (SELECT COUNT(*) FROM orders WHERE promoter_id = ?1)"
                        " + (SELECT COUNT(*) FROM sub_promoters WHERE parent_id = ?1)",
                        {*id}) > 0) {
        return Envelope::failure(ResultCode::Refused, "该下线已有推广数据，不能删除");
    }
    database.transaction([&] {
        for (const char* sql : {"DELETE FROM team_withdrawals WHERE promoter_id = ?",
                                "DELETE FROM promoter_games WHERE promoter_id = ?",
                                "DELETE FROM sub_promoters WHERE promoter_id = ?", "DELETE FROM promoters WHERE id = ?"}) {
            database.prepare(sql).bind({*id}).step();
        }
    });
    return Envelope::success(nullptr).with("message", "删除成功");
}

Envelope shareLevels(const ActionContext& context) {
    return Envelope::success(rowsAsJson(context.database, "SELECT title, percent FROM share_levels ORDER BY position",
                                        {}, [](const Statement& level) {
                                            return json{{"title", level.text(0)}, {"fcbl", level.integer(1)}};
                                        }));
}

// The first thing wrong with a new account's fields, or nothing; `username`
// is the user name as kept (keptText).
std::optional<Envelope> refusalOfNewAccount(const ActionContext& context, const KeptText& username) {
    const Parameters& fields = context.parameters;
    const std::string password = fields.textOrEmpty("passwd");
    auto invalid = [](const std::string& message) { return Envelope::failure(ResultCode::InvalidRequest, message); };
    if (username.refusal) return invalid(*username.refusal);
    if (auto refusal = passwordRefusal(password)) return Envelope::failure(ResultCode::InvalidRequest, *refusal);
    if (!isMobileNumber(fields.textOrEmpty("phone"))) return invalid("请输入正确的电话号码");
    std::optional<long long> percent = parseWholeNumber(fields.textOrEmpty("fcbl"), 100);
    if (!percent || context.database.scalar("SELECT COUNT(*) FROM share_levels WHERE percent = ?", {*percent}) == 0) {
        return invalid("参数 fcbl 无效");
    }
    const std::string mayLogIn = fields.textOrEmpty("is_login");
    if (mayLogIn != "1" && mayLogIn != "2") return invalid("参数 is_login 无效");
    // A name that shows as a taken one, or differs from it only in
    // characters that draw nothing or in width, is the taken one.
    if (nameIsTaken(context.database, username.text)) {
        return Envelope::failure(ResultCode::Refused, "用户名已存在");
    }
    return std::nullopt;
}

// Creates a promoter account under the signed-in promoter.
Envelope addSubPromoter(const ActionContext& context) {
    const KeptText kept = keptText(context.parameters.textOrEmpty("username"), "用户名", kLongestUsername);
    if (auto refusal = refusalOfNewAccount(context, kept)) return *refusal;
    const Parameters& fields = context.parameters;
    const std::string& username = kept.text;
    Database& database = context.database;
    long long id = 0;
    database.transaction([&] {
        id = addPromoterAccount(database, username, fields.textOrEmpty("passwd"));
        database.prepare("INSERT INTO sub_promoters (promoter_id, parent_id, phone, share_percent, may_log_in, created_at)"
                         " VALUES (?, ?, ?, ?, ?, ?)")
            .bind({id, context.promoterId, fields.textOrEmpty("phone"), *parseWholeNumber(fields.textOrEmpty("fcbl"), 100),
                   fields.textOrEmpty("is_login") == "1" ? 1LL : 0LL, static_cast<long long>(context.now)})
            .step();
    });
    Statement added = database.prepare(std::string(kSubPromoterColumns) + " WHERE p.id = ?");
    added.bind({id});
    added.step();
    return Envelope::success(subPromoterRow(added)).with("message", "添加成功");
}

// The team's withdrawal requests, newest first.
Envelope teamWithdrawals(const ActionContext& context) {
    const std::string team =
        " FROM team_withdrawals w JOIN sub_promoters s ON s.promoter_id = w.promoter_id"
        " JOIN promoters p ON p.id = w.promoter_id WHERE s.parent_id = ?";
    ListQuery query{"SELECT COUNT(*)" + team,
                    "SELECT w.id, w.promoter_id, w.amount_cents, w.created_at, w.status, w.decided_at, p.username" +
                        team + " ORDER BY w.created_at DESC, w.id DESC LIMIT ? OFFSET ?",
                    {context.promoterId}};
    return pagedList(context.database, context.parameters, query, [](const Statement& row) {
        const long long status = row.integer(4);
        return json{{"id", std::to_string(row.integer(0))},
                    {"member_id", std::to_string(row.integer(1))},
                    {"money", formatYuan(row.integer(2))},
                    {"create_time", formatChinaTime(row.integer(3), "%Y-%m-%d %H:%M")},
                    {"state", std::to_string(status)},
                    {"username", row.text(6)},
                    {"status", statusWording(status)},
                    {"time1", formatChinaTime(row.integer(3), "%Y-%m-%d")},
                    {"time2", status == Waiting ? "" : formatChinaTime(row.integer(5), "%Y-%m-%d %H:%M")}};
    });
}

// Allows ("1") or refuses ("2") a waiting request of the promoter's team. A
// decided request stays decided.
Envelope decideWithdrawal(const ActionContext& context) {
    std::optional<long long> id = idField(context);
    if (!id) return Envelope::failure(ResultCode::InvalidRequest, "参数 id 无效");
    const std::string decision = context.parameters.textOrEmpty("status");
    if (decision != "1" && decision != "2") return Envelope::failure(ResultCode::InvalidRequest, "参数 status 无效");
    Database& database = context.database;
    Statement request = database.prepare(
        "SELECT w.status FROM team_withdrawals w JOIN sub_promoters s ON s.promoter_id = w.promoter_id"
        " WHERE w.id = ? AND s.parent_id = ?");
    request.bind({*id, context.promoterId});
    if (!request.step()) return Envelope::failure(ResultCode::Refused, "提现申请不存在");
    if (request.integer(0) != Waiting) return Envelope::failure(ResultCode::Refused, "该申请已处理");
    const long long status = decision == "1" ? Allowed : RefusedWithdrawal;
    database.transaction([&] {
        database.prepare("UPDATE team_withdrawals SET status = ?, decided_at = ? WHERE id = ?")
            .bind({status, static_cast<long long>(context.now), *id})
            .step();
    });
    return Envelope::success(nullptr).with("message", status == Allowed ? "已同意提现" : "已拒绝提现");
}

}  // namespace

void addTeamActions(ActionRouter& router) {
    router.add("app", "down", Signing::Promoter, subPromoters);
    router.add("app", "down_del", Signing::PromoterOnce, deleteSubPromoter, {"id"});
    router.add("app", "down_fcbl", Signing::Promoter, shareLevels);
    router.add("app", "down_add", Signing::PromoterOnce, addSubPromoter, {"username", "passwd", "phone", "fcbl"});
    router.add("app", "down_tixian", Signing::Promoter, teamWithdrawals);
    router.add("app", "down_status", Signing::PromoterOnce, decideWithdrawal, {"id", "status"});
}

bool mayLogIn(Database& database, long long promoterId) {
    return database.scalar("SELECT COUNT(*) FROM sub_promoters WHERE promoter_id = ? AND may_log_in = 0",
                           {promoterId}) == 0;
}

}  // namespace backend
