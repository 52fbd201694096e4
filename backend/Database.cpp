#include "backend/Database.h"

#include <sqlite3.h>

namespace backend {

std::unique_ptr<Database> Database::open(const std::string& path) {
    sqlite3* connection = nullptr;
    const std::string name = path.empty() ? ":memory:" : path;
    // One connection serves every request thread; the router serialises the
    // requests, and SQLite's own full mutex guards the connection besides.
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
    if (sqlite3_open_v2(name.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(connection);
        return nullptr;
    }
    sqlite3_busy_timeout(connection, 2000);
    return std::unique_ptr<Database>(new Database(connection));
}

Database::~Database() { sqlite3_close(connection_); }

void Database::execute(std::string_view sql) {
    char* error = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(connection_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw DatabaseError("execute: " + message);
    }
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        throw DatabaseError(std::string("prepare: ") + sqlite3_errmsg(connection_));
    }
    return Statement(connection_, statement);
}

long long Database::scalar(std::string_view sql, const std::vector<SqlValue>& arguments) {
    Statement statement = prepare(sql);
    statement.bind(arguments);
    return statement.step() ? statement.integer(0) : 0;
}

long long Database::lastInsertId() const { return sqlite3_last_insert_rowid(connection_); }

void Database::rollback() noexcept { sqlite3_exec(connection_, "ROLLBACK", nullptr, nullptr, nullptr); }

}  // namespace backend
