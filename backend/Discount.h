#pragma once

namespace backend {

// What a discount top-up charges: the amount less its discount, rounded to
// the fen with halves up. `ratePermille` is the discount in thousandths
// (300 is 30 % off); the app shows the same figure before the order.
long long discountedCents(long long amountCents, long long ratePermille);

}  // namespace backend
