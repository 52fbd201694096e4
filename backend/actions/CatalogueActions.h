#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// Game categories ("fenlei"), the promoter's games ("mygames"), notices
// ("news"), gift bags ("lb") and server openings ("kaifu").
void addCatalogueActions(ActionRouter& router);

}  // namespace backend
