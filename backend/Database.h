#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "backend/Statement.h"

struct sqlite3;

namespace backend {

// One SQLite connection. Failures throw DatabaseError; the action router
// turns any of them into a server-error answer, so nothing escapes a request.
class Database {
public:
    // An empty path opens a private in-memory database. Answers nullptr when
    // the file cannot be opened.
    static std::unique_ptr<Database> open(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    void execute(std::string_view sql);
    Statement prepare(std::string_view sql);
    // The first column of the first row of a query, as an integer (0 when
    // the query answers no row).
    long long scalar(std::string_view sql, const std::vector<SqlValue>& arguments = {});
    long long lastInsertId() const;

    // Runs `body` inside one transaction: committed when it returns, rolled
    // back (and the exception passed on) when it throws, so nothing is ever
    // written half-way.
    template <class Body>
    void transaction(Body&& body) {
        execute("BEGIN IMMEDIATE");
        try {
            body();
        } catch (...) {
            rollback();
            throw;
        }
        execute("COMMIT");
    }

private:
    explicit Database(sqlite3* connection) : connection_(connection) {}
    void rollback() noexcept;

    sqlite3* connection_;
};

}  // namespace backend
