#include "backend/Queries.h"

namespace backend {

nlohmann::ordered_json rowsAsJson(Database& database, std::string_view sql, const std::vector<SqlValue>& arguments,
                          const RowMapper& map) {
    Statement statement = database.prepare(sql);
    statement.bind(arguments);
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    while (statement.step()) rows.push_back(map(statement));
    return rows;
}

nlohmann::ordered_json textArrayColumn(const std::string& stored) {
    nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(stored, nullptr, false);
    nlohmann::ordered_json texts = nlohmann::ordered_json::array();
    if (!parsed.is_array()) return texts;
    for (const auto& element : parsed) {
        if (element.is_string()) texts.push_back(element);
    }
    return texts;
}

}  // namespace backend
