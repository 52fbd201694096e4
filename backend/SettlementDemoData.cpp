#include "backend/SettlementDemoData.h"

#include <algorithm>
#include <array>

namespace backend {

namespace {

constexpr const char* kSettlementSchema = R"sql(
CREATE TABLE IF NOT EXISTS settlements (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    amount_cents INTEGER NOT NULL, state INTEGER NOT NULL, applied_at INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS prepaid_recharges (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    amount_cents INTEGER NOT NULL, status INTEGER NOT NULL, created_at INTEGER NOT NULL,
    paid_at INTEGER NOT NULL DEFAULT 0);
)sql";

// Splits what a promoter has withdrawn into earlier settlements: paid ones of
// at most 200 yuan, three days apart, the newest still under review when the
// promoter has more than one.
void seedSettlements(Database& database, long long promoterId, long long withdrawnCents, std::time_t now) {
    constexpr long long kLargestSeededCents = 20000;
    long long left = withdrawnCents;
    for (long long n = 0; left > 0; ++n) {
        const long long cents = std::min(left, kLargestSeededCents);
        left -= cents;
        const bool underReview = n == 0 && withdrawnCents > kLargestSeededCents;
        const long long applied = static_cast<long long>(now) - (n + 1) * 3 * 86400 - promoterId * 600;
        database.prepare("INSERT INTO settlements (promoter_id, amount_cents, state, applied_at) VALUES (?, ?, ?, ?)")
            .bind({promoterId, cents, underReview ? 0LL : 1LL, applied})
            .step();
    }
}

constexpr std::array kRechargeCents = {10000LL, 50000LL, 20000LL, 100000LL, 30000LL, 5000LL, 8800LL};

void seedRecharges(Database& database, std::time_t now) {
    if (database.scalar("SELECT COUNT(*) FROM promoters WHERE id = 1") == 0) return;
    for (long long n = 0; n < 14; ++n) {
        const long long created = static_cast<long long>(now) - (n * 48 + 7) * 3600 - n * 97;
        database
            .prepare("INSERT INTO prepaid_recharges (promoter_id, amount_cents, status, created_at, paid_at)"
                     " VALUES (1, ?, 1, ?, ?)")
            .bind({kRechargeCents[static_cast<std::size_t>(n) % kRechargeCents.size()], created, created + 45})
            .step();
    }
}

}  // namespace

void installSettlementData(Database& database, std::time_t now) {
    database.execute(kSettlementSchema);
    if (database.scalar("SELECT COUNT(*) FROM settlements") == 0) {
        Statement promoters = database.prepare("SELECT id, withdrawn_cents FROM promoters ORDER BY id");
        while (promoters.step()) seedSettlements(database, promoters.integer(0), promoters.integer(1), now);
    }
    if (database.scalar("SELECT COUNT(*) FROM prepaid_recharges") == 0) seedRecharges(database, now);
}

}  // namespace backend
