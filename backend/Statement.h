#pragma once

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace backend {

struct DatabaseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A value bound to a statement's "?" placeholder.
using SqlValue = std::variant<long long, double, std::string>;

// A prepared statement: bind the arguments, then step through the rows.
class Statement {
public:
    Statement(sqlite3* connection, sqlite3_stmt* statement) : connection_(connection), statement_(statement) {}
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
    sqlite3* connection_;
    sqlite3_stmt* statement_;
};

}  // namespace backend
