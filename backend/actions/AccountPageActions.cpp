#include "backend/actions/AccountPageActions.h"

#include <array>
#include <optional>
#include <string>

#include "backend/DemoData.h"
#include "backend/Format.h"
#include "backend/TypedText.h"

namespace backend {

namespace {

using json = nlohmann::ordered_json;

// The profile fields the app may fill in, by request name (= column name).
constexpr std::array kProfileFields = {"pal", "phone", "email", "bank_id", "bank_user", "address"};

// The longest text a profile field or a real name may hold, in bytes, once
// kept (keptText).
constexpr std::size_t kLongestField = 100;
constexpr std::size_t kShortestPassword = 8;
constexpr std::size_t kShortestIdCard = 15;
constexpr std::size_t kLongestIdCard = 18;

Envelope profile(const ActionContext& context) {
    Statement row = context.database.prepare(
        "SELECT p.nickname, p.head, f.pal, f.phone, f.email, f.bank_id, f.bank_user, f.address"
        " FROM promoters p LEFT JOIN promoter_profiles f ON f.promoter_id = p.id WHERE p.id = ?");
    // A promoter without a record yet (a sub-promoter) reads as all empty.
    row.bind({context.promoterId});
    if (!row.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    json data = {{"head", context.link(row.text(1))}, {"username", row.text(0)}};
    for (std::size_t i = 0; i < kProfileFields.size(); ++i) data[kProfileFields[i]] = row.text(static_cast<int>(i) + 2);
    return Envelope::success(std::move(data));
}

Envelope changePassword(const ActionContext& context) {
    const std::optional<std::string> oldPassword = context.parameters.text("oldpasswd");
    const std::optional<std::string> newPassword = context.parameters.text("passwd");
    if (!oldPassword || oldPassword->empty()) return Envelope::failure(ResultCode::InvalidRequest, "缺少参数 oldpasswd");
    if (!newPassword || newPassword->empty()) return Envelope::failure(ResultCode::InvalidRequest, "缺少参数 passwd");
    if (newPassword->size() < kShortestPassword || newPassword->find(' ') != std::string::npos) {
        return Envelope::failure(ResultCode::Refused, "密码必须大于8位有效数字或者字母");
    }
    if (auto refusal = passwordRefusal(*newPassword)) return Envelope::failure(ResultCode::Refused, *refusal);
    Statement promoter = context.database.prepare("SELECT username, password_hash FROM promoters WHERE id = ?");
    promoter.bind({context.promoterId});
    if (!promoter.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    const std::string username = promoter.text(0);
    if (passwordHash(username, *oldPassword) != promoter.text(1)) {
        return Envelope::failure(ResultCode::Refused, "旧密码错误");
    }
    context.database.prepare("UPDATE promoters SET password_hash = ? WHERE id = ?")
        .bind({passwordHash(username, *newPassword), context.promoterId})
        .step();
    return Envelope::success(nullptr).with("message", "密码修改成功");
}

// Why a kept value may not go into a profile field; nothing when it may.
std::optional<Envelope> refusalOfField(const std::string& field, const std::string& value) {
    if (field == "phone" && (value.size() != 11 || !isDigits(value))) {
        return Envelope::failure(ResultCode::Refused, "手机号格式不正确");
    }
    if (field == "email" && value.find('@') == std::string::npos) {
        return Envelope::failure(ResultCode::Refused, "邮箱格式不正确");
    }
    return std::nullopt;
}

// Fills in one profile field that is still empty; a filled one stays.
Envelope fillProfileField(const ActionContext& context) {
    std::optional<std::string> field;
    for (const char* name : kProfileFields) {
        if (!context.parameters.text(name)) continue;
        if (field) return Envelope::failure(ResultCode::InvalidRequest, "一次只能填写一项");
        field = name;
    }
    if (!field) return Envelope::failure(ResultCode::InvalidRequest, "缺少参数");
    // A value that shows nothing would lock the field with nothing in it.
    const KeptText value = keptText(context.parameters.textOrEmpty(*field), "内容", kLongestField);
    if (value.refusal) return Envelope::failure(ResultCode::InvalidRequest, *value.refusal);
    if (auto refusal = refusalOfField(*field, value.text)) return *refusal;
    // Accounts made after the demo data (sub-promoters) get their record now.
    context.database.prepare("INSERT OR IGNORE INTO promoter_profiles (promoter_id) VALUES (?)")
        .bind({context.promoterId})
        .step();
    // The column name comes from kProfileFields, never from the request. A
    // blank value stored before blanks were refused counts as empty.
    Statement stored =
        context.database.prepare("SELECT " + *field + " FROM promoter_profiles WHERE promoter_id = ?");
    stored.bind({context.promoterId});
    if (stored.step() && !isBlankText(stored.text(0)))
        return Envelope::failure(ResultCode::Refused, "信息添加后禁止修改");
    context.database.prepare("UPDATE promoter_profiles SET " + *field + " = ? WHERE promoter_id = ?")
        .bind({value.text, context.promoterId})
        .step();
    return Envelope::success(nullptr);
}

Envelope edit(const ActionContext& context) {
    if (context.parameters.text("passwd") || context.parameters.text("oldpasswd")) return changePassword(context);
    return fillProfileField(context);
}

Envelope verifyRealName(const ActionContext& context) {
    const KeptText name = keptText(context.parameters.textOrEmpty("name"), "姓名", kLongestField);
    const std::string idcard = context.parameters.textOrEmpty("idcard");
    if (name.refusal) return Envelope::failure(ResultCode::InvalidRequest, *name.refusal);
    const bool lastMayBeX = !idcard.empty() && (idcard.back() == 'X' || idcard.back() == 'x');
    const std::string digits = lastMayBeX ? idcard.substr(0, idcard.size() - 1) : idcard;
    if (idcard.size() < kShortestIdCard || idcard.size() > kLongestIdCard || !isDigits(digits)) {
        return Envelope::failure(ResultCode::Refused, "身份证号格式不正确");
    }
    if (context.database.scalar("SELECT COUNT(*) FROM real_names WHERE promoter_id = ?", {context.promoterId}) > 0) {
        return Envelope::failure(ResultCode::Refused, "您已经实名认证");
    }
    context.database.prepare("INSERT INTO real_names (promoter_id, name, idcard, verified_at) VALUES (?, ?, ?, ?)")
        .bind({context.promoterId, name.text, idcard, static_cast<long long>(context.now)})
        .step();
    return Envelope::success(nullptr);
}

Envelope contacts(const ActionContext& context) {
    return Envelope::success({{"icon", context.link("static/kefu/logo.png")},
                              {"gzh", context.link("static/kefu/gzh.png")},
                              {"time", "每天 9:00-21:00"},
                              {"phone", "400-820-8820"},
                              {"pal", "velmaro_kf"}});
}

}  // namespace

void addAccountPageActions(ActionRouter& router) {
    router.add("app", "my_config", Signing::Promoter, profile);
    router.add("app", "my_edit", Signing::Promoter, edit);
    router.add("app", "shiming_edit", Signing::Promoter, verifyRealName);
    router.add("app", "kefu", Signing::Open, contacts);
}

}  // namespace backend
