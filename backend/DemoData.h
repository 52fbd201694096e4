#pragma once

#include <ctime>

#include "backend/Database.h"

namespace backend {

// The demo account that the seed always creates.
inline constexpr const char* kDemoUsername = "demo";
inline constexpr const char* kDemoPassword = "123456";

// Creates the tables when they are missing and, when there are no promoters
// yet, fills them with the demo content (promoters, games in categories,
// players, orders, notices, gift bags, server openings, menus), dated
// around `now`. Runs in one transaction; throws DatabaseError on failure.
void installDemoData(Database& database, std::time_t now);

// How a password is kept: SHA-256 hex of the account name, ":" and the password.
std::string passwordHash(const std::string& username, const std::string& password);

}  // namespace backend
