#include "backend/actions/PromotionActions.h"

#include <regex>

namespace backend {

namespace {

const char* const kQRCodeImagePrefix = "qrcode/promoter-";

Envelope promotionCard(const ActionContext& context) {
    Statement promoter = context.database.prepare("SELECT username, head FROM promoters WHERE id = ?");
    promoter.bind({context.promoterId});
    if (!promoter.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    const std::string uid = std::to_string(context.promoterId);
    // The picture at `qrcode` is the code of `url` (see promoterOfQRCodeImage).
    return Envelope::success({{"title", promoter.text(0) + " 邀您畅玩精品手游"},
                              {"qrcode", context.link("static/" + std::string(kQRCodeImagePrefix) + uid + ".png")},
                              {"url", promotionLink(context.baseURL, context.promoterId)},
                              {"icon", context.link(promoter.text(1))}});
}

}  // namespace

void addPromotionActions(ActionRouter& router) { router.add("app", "qrcode", Signing::Promoter, promotionCard); }

std::string promotionLink(const std::string& baseURL, long long promoterId) {
    return baseURL + "h5/promote?uid=" + std::to_string(promoterId);
}

std::optional<long long> promoterOfQRCodeImage(std::string_view path) {
    static const std::regex pattern(std::string(kQRCodeImagePrefix) + R"((\d{1,9}))");
    std::match_results<std::string_view::const_iterator> match;
    if (!std::regex_match(path.begin(), path.end(), match, pattern)) return std::nullopt;
    return std::stoll(match[1].str());
}

}  // namespace backend
