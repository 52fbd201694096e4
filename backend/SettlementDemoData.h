#pragma once

#include <ctime>

#include "backend/Database.h"

namespace backend {

// Creates the tables of the settlements (`settlements`: amounts in fen,
// `state` 0 under review, 1 paid, 2 refused) and of the prepaid-balance
// recharges (`prepaid_recharges`: amounts in fen, `status` 0 awaiting
// payment, 1 paid, `paid_at` 0 until paid) when they are missing. While
// there are no settlements, records each promoter's earlier ones: rows
// adding up to what the promoter has withdrawn. While there are no
// recharges, gives the demo account fourteen paid ones, one every other
// day. Runs inside the caller's transaction, after the promoters are seeded.
void installSettlementData(Database& database, std::time_t now);

}  // namespace backend
