#pragma once

// What the analytics store left in its SQLite file, read beside the store's
// own connection.
#include <sqlite3.h>

#include <string>
#include <vector>

// The rows `sql` answers from the SQLite file at `path`, each column as its
// text ("" for NULL).
inline std::vector<std::vector<std::string>> storeFileRows(const std::string& path, const std::string& sql) {
    std::vector<std::vector<std::string>> rows;
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int column = 0; column < sqlite3_column_count(statement); ++column) {
            const unsigned char* text = sqlite3_column_text(statement, column);
            row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}
