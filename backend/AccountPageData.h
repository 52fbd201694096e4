#pragma once

#include "backend/Database.h"

namespace backend {

// The promoters' profile records (`promoter_profiles`: Pal account, phone,
// e-mail, Alipay account, payee and address, "" while not filled in), one
// per promoter, with the demo account's Pal account and phone filled in and
// the rest left for the profile screen, and 李明's record complete. The table
// is created whenever it is missing and seeded once; accounts made later get
// their row when they first fill in a field. Runs inside the caller's
// transaction.
void installAccountPageData(Database& database);

}  // namespace backend
