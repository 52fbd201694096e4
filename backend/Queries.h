#pragma once

#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "backend/Database.h"

namespace backend {

// Turns the current row of a query into the JSON object an action answers.
using RowMapper = std::function<nlohmann::ordered_json(const Statement&)>;

// Every row of a query, mapped, as a JSON array.
nlohmann::ordered_json rowsAsJson(Database& database, std::string_view sql, const std::vector<SqlValue>& arguments,
                          const RowMapper& map);

// A JSON array of texts kept in a column as a JSON array text; an empty
// array when the column holds anything else.
nlohmann::ordered_json textArrayColumn(const std::string& stored);

}  // namespace backend
