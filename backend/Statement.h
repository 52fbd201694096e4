#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3_stmt;

namespace backend {

class Database;

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
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
