#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The promoter's own money: the settlement (payout) application
// ("jiesuan") and the settlements ("jiesuan_list"); recharging the prepaid
// balance online ("recharge", paid through the payment page like a
// top-up) and asking whether a recharge is paid ("recharge_log"); the paid
// recharges ("recharge_list", paged) and the paid top-ups made for players
// ("fuli_list").
void addSettlementActions(ActionRouter& router);

}  // namespace backend
