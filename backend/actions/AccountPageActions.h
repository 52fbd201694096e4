#pragma once

#include "backend/ActionRouter.h"

namespace backend {

// The account pages, all GET (ct "app"): the profile record ("my_config"),
// filling in one empty profile field or changing the password ("my_edit"),
// the real-name verification form ("shiming_edit") and the customer-service
// contacts ("kefu", unsigned).
void addAccountPageActions(ActionRouter& router);

}  // namespace backend
