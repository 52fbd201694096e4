#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The earlier dashboards and the real-name check, all GET (ct "app"): the
// real-name status ("shiming"), the my page ("my", with the top-level
// `pay`), the home dashboard ("index") and the management sections
// ("guanli").
void addDashboardActions(ActionRouter& router);

// The rows the earlier promotion page lists for the signed-in promoter (the
// `show` of "cps"): 4, or 2 (no settlement) for an account of kind 3.
long long promotionPageRows(const ActionContext& context);

}  // namespace backend
