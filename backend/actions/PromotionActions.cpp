#include "backend/actions/PromotionActions.h"

namespace backend {

namespace {

Envelope promotionCard(const ActionContext& context) {
    Statement promoter = context.database.prepare("SELECT username, head FROM promoters WHERE id = ?");
    promoter.bind({context.promoterId});
    if (!promoter.step()) return Envelope::failure(ResultCode::UnknownUser, "用户不存在，请重新登录");
    const std::string uid = std::to_string(context.promoterId);
    // The picture is a placeholder: the app shows it as delivered and
    // encodes `url` itself wherever a readable code matters.
    return Envelope::success({{"title", promoter.text(0) + " 邀您畅玩精品手游"},
                              {"qrcode", context.link("static/qrcode/promoter-" + uid + ".png")},
                              {"url", context.link("h5/promote?uid=" + uid)},
                              {"icon", context.link(promoter.text(1))}});
}

}  // namespace

void addPromotionActions(ActionRouter& router) { router.add("app", "qrcode", Signing::Promoter, promotionCard); }

}  // namespace backend
