#pragma once

#include <optional>
#include <string>
#include <vector>

#include "backend/Envelope.h"
#include "backend/Parameters.h"
#include "backend/Queries.h"

namespace backend {

// Rows per page of every paged list.
inline constexpr long long kPageSize = 10;
// Page numbers above this are refused as malformed.
inline constexpr long long kLargestPage = 1'000'000'000;

// The page a request asks for: `p` absent means page 1; otherwise it must be
// a whole number from 1 to kLargestPage. Nothing when it is not.
std::optional<long long> requestedPage(const Parameters& parameters);

// The last page of a list of `total` rows; 1 for an empty list.
long long lastPage(long long total);

// One page of a list. `countSql` counts the list's rows; `pageSql` reads
// them in order and ends in "LIMIT ? OFFSET ?", bound after `arguments`.
struct ListQuery {
    std::string countSql;
    std::string pageSql;
    std::vector<SqlValue> arguments;
};

// The requested page of a list: its rows (an empty array past the last
// page), its number and the list's last page. Nothing when `p` is malformed.
struct ListPage {
    nlohmann::ordered_json rows;
    long long page = 1;
    long long lastPage = 1;
};
std::optional<ListPage> listPage(Database& database, const Parameters& parameters, const ListQuery& query,
                                 const RowMapper& map);

// Answers the requested page of the list with `p` and `max_p`: an empty
// `data` array past the last page, a refusal when `p` is malformed.
Envelope pagedList(Database& database, const Parameters& parameters, const ListQuery& query, const RowMapper& map);

}  // namespace backend
