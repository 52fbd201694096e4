#include "backend/Discount.h"

namespace backend {

long long discountedCents(long long amountCents, long long ratePermille) {
    return (amountCents * (1000 - ratePermille) + 500) / 1000;
}

}  // namespace backend
