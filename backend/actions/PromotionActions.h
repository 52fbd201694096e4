#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's own promotion page (GET, ct "app"): "qrcode" answers the
// card's title, the promoter's icon, the address of the QR picture and the
// promotion link the app copies and encodes.
void addPromotionActions(ActionRouter& router);

}  // namespace backend
