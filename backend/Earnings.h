#pragma once

#include "backend/ActionContext.h"

namespace backend {

// The signed-in promoter's money, in fen.
struct Earnings {
    long long salesCents = 0;       // what the promoter's players topped up
    long long commissionCents = 0;  // the promoter's share of it
    long long withdrawnCents = 0;
    long long prepaidCents = 0;
    long long availableCents() const { return commissionCents - withdrawnCents; }
};

Earnings earningsOf(const ActionContext& context);

}  // namespace backend
