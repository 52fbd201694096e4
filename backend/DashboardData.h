#pragma once

#include "backend/Database.h"

namespace backend {

// The tables of the earlier dashboards and the real-name check, and their
// demo rows: the function tiles of the home dashboard (menu screen
// "dashboard"), the sections of the management page ("management", one
// group per section) and the my page ("mypage"); the real-name records
// (`real_names`: one row per verified promoter, written by the verification
// form, read by the check), with 李明 (uid 2) verified and the demo account
// not; and 孙丽 (uid 8) as an account of kind 3, which brings players but
// handles no money. The rows are added once, when the management sections
// are missing; the tables are created whenever they are missing. Runs inside
// the caller's transaction.
void installDashboardData(Database& database);

}  // namespace backend
