#include "backend/Statement.h"

#include <sqlite3.h>

namespace backend {

namespace {

[[noreturn]] void fail(sqlite3* connection, const char* what) {
    throw DatabaseError(std::string(what) + ": " + sqlite3_errmsg(connection));
}

}  // namespace

Statement::~Statement() { sqlite3_finalize(statement_); }

Statement::Statement(Statement&& other) noexcept : connection_(other.connection_), statement_(other.statement_) {
    other.statement_ = nullptr;
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
        if (result != SQLITE_OK) fail(connection_, "bind");
        ++index;
    }
    return *this;
}

bool Statement::step() {
    int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW) return true;
    if (result == SQLITE_DONE) return false;
    fail(connection_, "step");
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
