#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// One game's details ("game_info"), applying to promote a game ("shenqing")
// and the games a promoter may still apply for ("games").
void addGameActions(ActionRouter& router);

}  // namespace backend
