#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

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

// The longest password, in bytes, that an account may be given or signed in
// with: the app's sign-in takes no longer one, so a longer one set anywhere
// would lock its account out.
inline constexpr std::size_t kLongestPassword = 100;

// Why a password may not be given to an account or signed in with (empty, a
// space in it, longer than kLongestPassword); nothing when it may.
std::optional<std::string> passwordRefusal(std::string_view password);

}  // namespace backend
