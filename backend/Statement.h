#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3_stmt;

namespace backend {

class Database;

// A storage failure. `code` is SQLite's primary result code (SQLITE_FULL for
// a full disk, SQLITE_READONLY ...), 0 when the failure is none of SQLite's;
// `systemError` the errno SQLite last met, 0 when none.
struct DatabaseError : std::runtime_error {
    explicit DatabaseError(const std::string& what, int code = 0, int systemError = 0)
        : std::runtime_error(what), code(code), systemError(systemError) {}
    int code;
    int systemError;
};

// A value bound to a statement's "?" placeholder.
using SqlValue = std::variant<long long, double, std::string>;

// A prepared statement borrowed from its connection's statement cache: bind
// the arguments, then step through the rows. When it goes, the statement is
// reset and handed back to the cache, so a query is compiled once per
// connection. It must not outlive the connection.
class Statement {
public:
    Statement(Database& owner, sqlite3_stmt* statement) : owner_(&owner), statement_(statement) {}
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    // Binds the arguments to the placeholders 1, 2, ... in order.
    Statement& bind(const std::vector<SqlValue>& arguments);
    // Advances to the next row; false when there is none left.
    bool step();

    long long integer(int column) const;
    double real(int column) const;
    // NULL reads as the empty text.
    std::string text(int column) const;

private:
    friend class Database;
    [[noreturn]] void fail(const char* what) const;

    Database* owner_;
    sqlite3_stmt* statement_;
};

}  // namespace backend
