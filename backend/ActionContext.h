#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "backend/Database.h"
#include "backend/Parameters.h"

namespace backend {

// What an action's handler gets: the request's values, the storage, the
// signed-in promoter (0 for the sign-in action, which has none yet), and
// the address the server is reached at, to build absolute links.
struct ActionContext {
    const Parameters& parameters;
    Database& database;
    long long promoterId;
    std::string baseURL;  // ends in "/"
    std::time_t now;

    // An absolute address on this server for a path stored without the base
    // ("static/icon/game-1.png").
    std::string link(std::string_view path) const { return baseURL + std::string(path); }
};

}  // namespace backend
