#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's reports on the players brought ("reg" registrations, "pay"
// top-ups, "role" game roles), the share table ("fcbl"), the commission per
// player ("fencheng") and the promoters' ranking ("paihang"); all GET actions
// of `ct` "app".
void addReportActions(ActionRouter& router);

}  // namespace backend
