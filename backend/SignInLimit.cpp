#include "backend/SignInLimit.h"

namespace backend {

void installSignInLimitTable(Database& database) {
    database.execute(
        "CREATE TABLE IF NOT EXISTS failed_sign_ins (username TEXT NOT NULL, failed_at INTEGER NOT NULL);"
        "CREATE INDEX IF NOT EXISTS failed_sign_ins_by_name ON failed_sign_ins (username, failed_at);");
}

bool signInsAreLocked(Database& database, const std::string& username, std::time_t now) {
    return database.scalar("SELECT COUNT(*) FROM failed_sign_ins WHERE username = ? AND failed_at > ?",
                           {username, static_cast<long long>(now) - kFailedSignInWindow}) >= kMostFailedSignIns;
}

void recordFailedSignIn(Database& database, const std::string& username, std::time_t now) {
    // Only an account can be locked: a name that names none stores nothing,
    // or guesses under made-up names would fill the table without end.
    if (database.scalar("SELECT EXISTS (SELECT 1 FROM promoters WHERE username = ?)", {username}) == 0) return;
    database.transaction([&] {
        database.prepare("DELETE FROM failed_sign_ins WHERE username = ? AND failed_at <= ?")
            .bind({username, static_cast<long long>(now) - kFailedSignInWindow})
            .step();
        database.prepare("INSERT INTO failed_sign_ins (username, failed_at) VALUES (?, ?)")
            .bind({username, static_cast<long long>(now)})
            .step();
    });
}

void clearFailedSignIns(Database& database, const std::string& username) {
    // Most sign-ins have nothing to clear, and then write nothing.
    if (database.scalar("SELECT EXISTS (SELECT 1 FROM failed_sign_ins WHERE username = ?)", {username}) == 0) return;
    database.transaction(
        [&] { database.prepare("DELETE FROM failed_sign_ins WHERE username = ?").bind({username}).step(); });
}

}  // namespace backend
