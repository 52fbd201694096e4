#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's own promotion page (GET, ct "app"): "qrcode" answers the
// card's title, the promoter's icon, the address of the QR picture and the
// promotion link the app copies and encodes.
void addPromotionActions(ActionRouter& router);

// A promoter's promotion link: what the QR page copies and its code encodes.
std::string promotionLink(const std::string& baseURL, long long promoterId);

// The promoter whose QR picture an image address below "static/" without
// ".png" names ("qrcode/promoter-1"); nothing for any other address.
std::optional<long long> promoterOfQRCodeImage(std::string_view path);

}  // namespace backend
