#pragma once

#include <ctime>

#include "backend/Database.h"
#include "backend/Parameters.h"

namespace backend {

// A signed request that changes state acts once. The `uid`, `ac`, `t` and
// `sign` of one that acted are kept for as long as checkSignature accepts its
// `t`; the same four again are a replay (a request sent twice, or copied by
// someone who saw it) and are refused. A request that was refused did not
// act and is not kept: sent again, it is judged again. Requests whose `t`
// has left the window are dropped as new ones come, so the table holds one
// window's requests at most.
void installSignedRequestsTable(Database& database);

// Whether a request with this `uid`, `ac`, `t` and `sign` has acted.
bool signedRequestActed(Database& database, const Parameters& parameters);

// Keeps the `uid`, `ac`, `t` and `sign` of a request that acted, within the
// action's transaction, so that they are kept exactly when what it did is.
void recordSignedRequest(Database& database, const Parameters& parameters, std::time_t now);

}  // namespace backend
