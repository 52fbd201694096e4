#pragma once

#include <sys/types.h>

#include <atomic>
#include <memory>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "backend/Statement.h"

struct sqlite3;

namespace backend {

// One SQLite connection, used by one thread at a time, with a cache of its
// prepared statements. Failures throw DatabaseError; the action router turns
// any of them into a server-error answer, so nothing escapes a request.
//
// File databases are kept in WAL mode, so readers on other connections
// never wait for a writer; writers take turns on a lock shared by the
// connections of one database (see DatabasePool).
//
// A file removed or replaced while it is open would take every later write
// with it (SQLite writes on into the file it holds, which is gone when the
// process ends): a writing transaction begins only while the path still
// names the file the database opened, and is refused otherwise (a storage
// failure, with the cause in the log once). Reads go on.
class Database {
public:
    // A connection of its own (with its own writer lock). An empty path opens
    // a private in-memory database. Answers nullptr when the file cannot be
    // opened, or only for reading.
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
    // written half-way. Inside a writing transaction it nests.
    template <class Body>
    void transaction(Body&& body) {
        Transaction writing(*this, Transaction::Kind::Write);
        body();
        writing.commit();
    }

    // Thrown when work running as a reader is about to write: it is run
    // again as a writer. Not a std::exception, so that no handler of storage
    // failures takes it for one.
    struct WritesNeeded {};

    // One transaction on this connection, rolled back unless committed.
    // A reader begins only when its first statement runs and may not write
    // (WritesNeeded); a writer holds the writers' lock from beginning to end,
    // or nests as a savepoint inside another writer.
    class Transaction {
    public:
        enum class Kind { Read, Write };
        Transaction(Database& database, Kind kind);
        ~Transaction();
        Transaction(const Transaction&) = delete;
        Transaction& operator=(const Transaction&) = delete;
        void commit();

    private:
        void finish();

        Database& database_;
        Kind kind_;
        bool nested_ = false;
        bool open_ = true;
        std::unique_lock<std::mutex> writers_;
    };

private:
    friend class Statement;
    friend class DatabasePool;
    enum class Scope { None, Reading, Writing };

    // What the connections of one database share: the writers' turn, and the
    // file the first connection opened (its device and inode; none for an
    // in-memory database). Set by the first connection, before the
    // connections are shared.
    struct Shared {
        std::mutex writers;
        std::string path;
        bool opened = false;
        std::optional<std::pair<dev_t, ino_t>> file;
        std::atomic<bool> toldGone = false;
        // Throws DatabaseError when the path no longer names that file
        // (removed, or replaced by another), and says so in the log the
        // first time.
        void refuseWhenGone();
    };

    Database(sqlite3* connection, std::shared_ptr<Shared> shared);
    // Throws DatabaseError when the file cannot be opened, or only for
    // reading, or (for any connection after the first) is gone.
    static std::unique_ptr<Database> connect(const std::string& name, std::shared_ptr<Shared> shared);
    // A statement leaving a Statement, back into the cache.
    void giveBack(sqlite3_stmt* statement) noexcept;
    // Called before a statement's first step.
    void aboutToRun(bool readOnly);
    // Runs a transaction-control statement through the cache.
    void control(std::string_view sql);
    bool controlQuietly(std::string_view sql) noexcept;

    sqlite3* connection_;
    std::shared_ptr<Shared> shared_;
    Scope scope_ = Scope::None;
    bool readerBegun_ = false;
    // Looked up by the query's text without copying it.
    struct TextHash : std::hash<std::string_view> {
        using is_transparent = void;
    };
    std::unordered_map<std::string, std::vector<sqlite3_stmt*>, TextHash, std::equal_to<>> idleStatements_;
};

}  // namespace backend
