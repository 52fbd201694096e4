#pragma once

#include <ctime>

#include "backend/Database.h"

namespace backend {

// Creates the discount top-up tables when they are missing: the promoter's
// discount per game (`game_discounts`, in permille: 300 = 30 % off) and the
// top-up orders (`discount_topups`, amounts in fen, `status` 0 awaiting
// payment, 1 paid; `paid_at` 0 until paid). When no game has a discount yet, gives every game one
// and the demo account a month of paid top-ups. Runs inside the caller's
// transaction, after the catalogue and the promoters are seeded.
void installPaymentDemoData(Database& database, std::time_t now);

}  // namespace backend
