#include "backend/PaymentDemoData.h"

#include <array>
#include <vector>

#include "backend/Discount.h"

namespace backend {

namespace {

constexpr const char* kPaymentSchema = R"sql(
CREATE TABLE IF NOT EXISTS game_discounts (
    game_id INTEGER PRIMARY KEY REFERENCES games(id), rate_permille INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS discount_topups (
    id INTEGER PRIMARY KEY, promoter_id INTEGER NOT NULL REFERENCES promoters(id),
    game_id INTEGER NOT NULL REFERENCES games(id), account TEXT NOT NULL,
    amount_cents INTEGER NOT NULL, paid_cents INTEGER NOT NULL, rate_permille INTEGER NOT NULL,
    payment TEXT NOT NULL, status INTEGER NOT NULL, created_at INTEGER NOT NULL,
    paid_at INTEGER NOT NULL DEFAULT 0);
)sql";

// Discounts that show the rounding the app applies (0.29 and 0.58 are cut
// to 28 % and 57 % on screen, 0.125 to 12 %).
constexpr std::array kRates = {300, 350, 290, 580, 125, 200, 450, 100};
constexpr std::array kAccounts = {"wanjia001", "xiaoyu88", "tianya_ke", "long9527", "yueguang"};
constexpr std::array kAmountCents = {1000LL, 3000LL, 6800LL, 10000LL, 32800LL, 64800LL};

}  // namespace

void installPaymentDemoData(Database& database, std::time_t now) {
    database.execute(kPaymentSchema);
    if (database.scalar("SELECT COUNT(*) FROM game_discounts") > 0) return;
    std::vector<long long> games;
    for (Statement ids = database.prepare("SELECT id FROM games ORDER BY id"); ids.step();) games.push_back(ids.integer(0));
    for (long long id : games) {
        database.prepare("INSERT INTO game_discounts (game_id, rate_permille) VALUES (?, ?)")
            .bind({id, static_cast<long long>(kRates[static_cast<std::size_t>(id - 1) % kRates.size()])})
            .step();
    }
    if (database.scalar("SELECT COUNT(*) FROM promoters WHERE id = 1") == 0) return;
    // The demo account's earlier top-ups, one every two and a half days.
    for (long long n = 0; n < 12; ++n) {
        const long long game = n % 6 + 1;
        const long long rate = kRates[static_cast<std::size_t>(game - 1) % kRates.size()];
        const long long amount = kAmountCents[static_cast<std::size_t>(n) % kAmountCents.size()];
        const long long created = static_cast<long long>(now) - (n * 60 + 5) * 3600;
        database
            .prepare("INSERT INTO discount_topups (promoter_id, game_id, account, amount_cents, paid_cents,"
                     " rate_permille, payment, status, created_at, paid_at) VALUES (1, ?, ?, ?, ?, ?, ?, 1, ?, ?)")
            .bind({game, kAccounts[static_cast<std::size_t>(n) % kAccounts.size()], amount,
                   discountedCents(amount, rate), rate, n % 3 == 0 ? "prepaid" : "online", created, created + 60})
            .step();
    }
}

}  // namespace backend
