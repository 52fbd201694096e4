#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The discount top-up: the prepaid balance ("yufu"), the games the promoter
// may top up with their discounts ("fuli_game"), placing a top-up order
// ("fuli", paid online through the payment page or from the prepaid
// balance) and asking whether an order is paid ("fuli_status").
void addPaymentActions(ActionRouter& router);

}  // namespace backend
