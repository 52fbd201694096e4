#include "backend/Paging.h"

namespace backend {

std::optional<long long> requestedPage(const Parameters& parameters) {
    std::optional<std::string> page = parameters.text("p");
    if (!page) return 1;
    std::optional<long long> number = parseWholeNumber(*page, kLargestPage);
    if (!number || *number < 1) return std::nullopt;
    return number;
}

long long lastPage(long long total) { return total <= 0 ? 1 : (total + kPageSize - 1) / kPageSize; }

Envelope pagedList(Database& database, const Parameters& parameters, const ListQuery& query, const RowMapper& map) {
    std::optional<long long> page = requestedPage(parameters);
    if (!page) return Envelope::failure(ResultCode::InvalidRequest, "页码无效");
    const long long total = database.scalar(query.countSql, query.arguments);
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    if (*page <= lastPage(total)) {
        std::vector<SqlValue> arguments = query.arguments;
        arguments.emplace_back(kPageSize);
        arguments.emplace_back((*page - 1) * kPageSize);
        rows = rowsAsJson(database, query.pageSql, arguments, map);
    }
    return Envelope::success(std::move(rows)).paged(*page, lastPage(total));
}

}  // namespace backend
