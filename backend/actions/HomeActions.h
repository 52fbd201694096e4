#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The Home tab (ct "app2022" without an action) and the two game rankings
// ("paihangbang" by active players, "xiaofeibang" by top-up amount).
void addHomeActions(ActionRouter& router);

}  // namespace backend
