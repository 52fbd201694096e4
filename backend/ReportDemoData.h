#pragma once

#include "backend/Database.h"

namespace backend {

// The game roles of the demo players (the role report): creates the table
// when missing and, when it is empty, gives about two players in three a role
// on one of the game's servers. Runs inside the demo data's transaction,
// after the players exist.
void installReportDemoData(Database& database);

}  // namespace backend
