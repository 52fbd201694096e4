#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's registrations by channel ("regment") and top-ups by
// payment channel ("payment").
void addStatisticsActions(ActionRouter& router);

}  // namespace backend
