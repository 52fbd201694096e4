#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's team, all under ct "app": the sub-promoter list ("down"),
// deleting one ("down_del"), the share levels ("down_fcbl") and adding a
// sub-promoter ("down_add"), the team's withdrawal requests ("down_tixian")
// and deciding one ("down_status").
void addTeamActions(ActionRouter& router);

// False for a sub-promoter whose creator refused it the sign-in.
bool mayLogIn(Database& database, long long promoterId);

}  // namespace backend
