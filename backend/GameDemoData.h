#pragma once

#include <ctime>

#include "backend/Database.h"

namespace backend {

// The catalogue's promotion side: a profile per game (description, the
// window in which promoters may apply, the players' discount) and a set of
// newly listed games that no promoter promotes yet, so the list of games
// open for application spans several pages. Creates its table when missing
// and seeds it when empty; call inside the demo data's transaction, after
// the games are seeded.
void installGameDemoData(Database& database, std::time_t now);

}  // namespace backend
