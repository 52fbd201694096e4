#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// Sign-in ("login"), the Mine tab ("my"), the Assets summary ("cps") and
// the income details ("mingxi").
void addAccountActions(ActionRouter& router);

}  // namespace backend
