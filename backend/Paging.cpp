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

std::optional<ListPage> listPage(Database& database, const Parameters& parameters, const ListQuery& query,
                                 const RowMapper& map) {
    std::optional<long long> page = requestedPage(parameters);
    if (!page) return std::nullopt;
    const long long total = database.scalar(query.countSql, query.arguments);
    ListPage answer{nlohmann::ordered_json::array(), *page, lastPage(total)};
    if (*page <= answer.lastPage) {
        std::vector<SqlValue> arguments = query.arguments;
        arguments.emplace_back(kPageSize);
        arguments.emplace_back((*page - 1) * kPageSize);
        answer.rows = rowsAsJson(database, query.pageSql, arguments, map);
    }
    return answer;
}

Envelope pagedList(Database& database, const Parameters& parameters, const ListQuery& query, const RowMapper& map) {
    std::optional<ListPage> page = listPage(database, parameters, query, map);
    if (!page) return Envelope::failure(ResultCode::InvalidRequest, "页码无效");
    return Envelope::success(std::move(page->rows)).paged(page->page, page->lastPage);
}

}  // namespace backend
