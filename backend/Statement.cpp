#include "backend/Statement.h"

#include <sqlite3.h>

#include "backend/Database.h"

namespace backend {

Statement::~Statement() {
    if (statement_) owner_->giveBack(statement_);
}

Statement::Statement(Statement&& other) noexcept : owner_(other.owner_), statement_(other.statement_) {
    other.statement_ = nullptr;
}

void Statement::fail(const char* what) const {
    sqlite3* connection = sqlite3_db_handle(statement_);
    throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(connection), sqlite3_errcode(connection) & 0xff,
                        sqlite3_system_errno(connection));
}

Statement& Statement::bind(const std::vector<SqlValue>& arguments) {
    int index = 1;
    for (const SqlValue& argument : arguments) {
        int result = SQLITE_OK;
        if (const auto* number = std::get_if<long long>(&argument)) {
            result = sqlite3_bind_int64(statement_, index, *number);
        } else if (const auto* real = std::get_if<double>(&argument)) {
            result = sqlite3_bind_double(statement_, index, *real);
        } else {
            const std::string& text = std::get<std::string>(argument);
            result = sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                                       SQLITE_TRANSIENT);
        }
        if (result != SQLITE_OK) fail("bind");
        ++index;
    }
    return *this;
}

bool Statement::step() {
    if (!sqlite3_stmt_busy(statement_)) owner_->aboutToRun(sqlite3_stmt_readonly(statement_) != 0);
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    fail("step");
}

long long Statement::integer(int column) const { return sqlite3_column_int64(statement_, column); }

double Statement::real(int column) const { return sqlite3_column_double(statement_, column); }

std::string Statement::text(int column) const {
    const unsigned char* bytes = sqlite3_column_text(statement_, column);
    if (!bytes) return {};
    return std::string(reinterpret_cast<const char*>(bytes),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

}  // namespace backend
