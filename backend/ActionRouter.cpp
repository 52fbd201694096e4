#include "backend/ActionRouter.h"

#include <exception>
#include <optional>

#include "backend/Signature.h"
#include "backend/SignedRequests.h"
#include "backend/TypedText.h"

namespace backend {

namespace {

// Promoter ids are positive whole numbers well inside SQLite's integers.
constexpr long long kLargestPromoterId = 1'000'000'000'000LL;

}  // namespace

ActionRouter::ActionRouter(DatabasePool& databases, std::string baseURL)
    : databases_(databases), baseURL_(std::move(baseURL)) {}

void ActionRouter::add(std::string ct, std::string ac, Signing signing, ActionHandler handler,
                       std::vector<std::string> signedFields) {
    actions_[{std::move(ct), std::move(ac)}] = Action{signing, std::move(handler), std::move(signedFields)};
}

Envelope ActionRouter::dispatch(const Parameters& parameters) {
    auto found = actions_.find({parameters.textOrEmpty("ct"), parameters.textOrEmpty("ac")});
    if (found == actions_.end()) return Envelope::failure(ResultCode::UnknownAction, "未知的请求");
    try {
        return databases_.run([&](Database& database) { return run(found->second, parameters, database); });
    } catch (const std::exception&) {
        return Envelope::failure(ResultCode::ServerError, "服务器繁忙，请稍后再试");
    }
}

Envelope ActionRouter::run(const Action& action, const Parameters& parameters, Database& database) {
    const std::time_t now = std::time(nullptr);
    long long promoterId = 0;
    if (action.signing == Signing::Credentials) {
        if (isBlankText(parameters.textOrEmpty("username"))) {
            return Envelope::failure(ResultCode::InvalidRequest, "请输入账号");
        }
        if (parameters.textOrEmpty("passwd").empty()) {
            return Envelope::failure(ResultCode::InvalidRequest, "请输入密码");
        }
        if (auto refusal = checkSignature(parameters, {"username", "passwd", "t"}, now)) return *refusal;
    } else if (action.signing == Signing::Promoter || action.signing == Signing::PromoterOnce) {
        std::vector<std::string_view> signedNames{"uid"};
        signedNames.insert(signedNames.end(), action.signedFields.begin(), action.signedFields.end());
        signedNames.push_back("t");
        if (auto refusal = checkSignature(parameters, signedNames, now)) return *refusal;
        std::optional<long long> uid = parseWholeNumber(parameters.textOrEmpty("uid"), kLargestPromoterId);
        if (uid && database.scalar("SELECT COUNT(*) FROM promoters WHERE id = ?", {*uid}) == 1) promoterId = *uid;
        if (promoterId == 0) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
        if (action.signing == Signing::PromoterOnce && signedRequestActed(database, parameters)) {
            return Envelope::failure(ResultCode::BadSignature, "该请求已处理，请勿重复提交");
        }
    }
    Envelope answer = action.handler(ActionContext{parameters, database, promoterId, baseURL_, now});
    // Kept in the action's own transaction: kept exactly when it acted.
    if (action.signing == Signing::PromoterOnce && answer.code() == ResultCode::Success) {
        recordSignedRequest(database, parameters, now);
    }
    return answer;
}

}  // namespace backend
