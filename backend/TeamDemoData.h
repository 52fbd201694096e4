#pragma once

#include <ctime>

#include "backend/Database.h"

namespace backend {

// The team tables: share levels a promoter may give a sub-promoter,
// sub-promoters (promoter accounts linked to the promoter who created them)
// and their withdrawal requests. Creates what is missing; keeps what is there.
void installTeamTables(Database& database);

// The demo team: the share levels, twelve sub-promoters of the demo account
// and two of the second promoter, and withdrawal requests of both teams,
// some still waiting for a decision. Runs inside the demo seeding.
void seedTeamDemoData(Database& database, std::time_t now);

}  // namespace backend
