#include "backend/Earnings.h"

namespace backend {

Earnings earningsOf(const ActionContext& context) {
    Earnings earnings;
    Statement orders = context.database.prepare(
        "SELECT COALESCE(SUM(amount_cents), 0), COALESCE(SUM(commission_cents), 0) FROM orders WHERE promoter_id = ?");
    orders.bind({context.promoterId});
    if (orders.step()) {
        earnings.salesCents = orders.integer(0);
        earnings.commissionCents = orders.integer(1);
    }
    Statement account = context.database.prepare("SELECT withdrawn_cents, prepaid_cents FROM promoters WHERE id = ?");
    account.bind({context.promoterId});
    if (account.step()) {
        earnings.withdrawnCents = account.integer(0);
        earnings.prepaidCents = account.integer(1);
    }
    return earnings;
}

}  // namespace backend
