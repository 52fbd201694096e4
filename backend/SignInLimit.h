#pragma once

#include <ctime>
#include <string>

#include "backend/Database.h"

namespace backend {

// Failed sign-ins are counted per account name: after kMostFailedSignIns
// within kFailedSignInWindow seconds, the account's sign-ins are refused,
// whatever the password, until the oldest of them is that old. A successful
// sign-in clears the count. Without it a password is guessed by trying them
// all (ten thousand guesses took seconds). Only names of accounts are
// counted: guesses under made-up names store nothing.
inline constexpr long long kMostFailedSignIns = 5;
inline constexpr long long kFailedSignInWindow = 15 * 60;

void installSignInLimitTable(Database& database);
bool signInsAreLocked(Database& database, const std::string& username, std::time_t now);
void recordFailedSignIn(Database& database, const std::string& username, std::time_t now);
void clearFailedSignIns(Database& database, const std::string& username);

}  // namespace backend
