#include "backend/Database.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <iostream>

#include "backend/OwnerOnly.h"

namespace backend {

namespace {

// Distinct queries one connection keeps compiled; the queries are the
// program's own texts, so this bounds only a runaway.
constexpr std::size_t kMostCachedQueries = 512;
// How long a writer of another process may hold the database before a
// statement gives up.
constexpr int kBusyMilliseconds = 5000;

}  // namespace

void Database::Shared::refuseWhenGone() {
    if (!file) return;
    struct stat now {};
    std::string cause;
    if (::stat(path.c_str(), &now) != 0) {
        // Only a path that is not there tells: another failure (a folder
        // closed to this user) says nothing of the file.
        if (errno != ENOENT && errno != ENOTDIR) return;
        const std::string folder = std::filesystem::path(path).parent_path().string();
        struct stat holding {};
        cause = !folder.empty() && ::stat(folder.c_str(), &holding) != 0
                    ? "the folder " + folder + " holding the database " + path + " was removed"
                    : "the database " + path + " was removed";
    } else if (std::pair(now.st_dev, now.st_ino) != *file) {
        cause = "the database " + path + " was replaced by another file";
    } else {
        return;
    }
    cause += " while the back end ran";
    if (!toldGone.exchange(true))
        std::cerr << "back end: " << cause << ": every change is refused from now on (what it stored would be lost)"
                  << std::endl;
    throw DatabaseError(cause);
}

Database::Database(sqlite3* connection, std::shared_ptr<Shared> shared)
    : connection_(connection), shared_(std::move(shared)) {}

std::unique_ptr<Database> Database::connect(const std::string& name, std::shared_ptr<Shared> shared) {
    // A later connection opens the file the first one did, or none: a file
    // made anew where it was removed would be another database.
    const bool first = !shared->opened;
    if (!first) shared->refuseWhenGone();
    sqlite3* connection = nullptr;
    // Each connection serves one thread at a time, so SQLite's own mutex
    // would only cost.
    const int flags = SQLITE_OPEN_READWRITE | (first ? SQLITE_OPEN_CREATE : 0) | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(name.c_str(), &connection, flags, nullptr) != SQLITE_OK) {
        DatabaseError error("cannot open " + name + ": " + sqlite3_errmsg(connection),
                            sqlite3_errcode(connection) & 0xff, sqlite3_system_errno(connection));
        sqlite3_close(connection);
        throw error;
    }
    // SQLite opens a file it may not write for reading only, and every
    // write would then fail: such a file is refused here, where it is met.
    if (sqlite3_db_readonly(connection, "main") == 1) {
        sqlite3_close(connection);
        throw DatabaseError("cannot open " + name + ": it can only be read", SQLITE_READONLY);
    }
    sqlite3_busy_timeout(connection, kBusyMilliseconds);
    if (first) {
        shared->opened = true;
        shared->path = name;
        if (struct stat opened {}; name != ":memory:" && ::stat(name.c_str(), &opened) == 0)
            shared->file = std::pair(opened.st_dev, opened.st_ino);
        // The file holds secrets: it is its owner's alone, made so before
        // anything is written in it, and so are its journal and index, which
        // SQLite makes with the file's mode (those found are closed too).
        if (shared->file)
            for (const char* companion : {"", "-wal", "-shm"}) OwnerOnly::tighten(name + companion);
    }
    std::unique_ptr<Database> database(new Database(connection, std::move(shared)));
    // In WAL mode a commit need not reach the disk at once to stay intact;
    // the last commits before a power cut may be lost, never half-written.
    database->execute("PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL");
    return database;
}

std::unique_ptr<Database> Database::open(const std::string& path) {
    try {
        return connect(path.empty() ? ":memory:" : path, std::make_shared<Shared>());
    } catch (const DatabaseError&) {
        return nullptr;
    }
}

Database::~Database() {
    for (auto& [sql, statements] : idleStatements_) {
        for (sqlite3_stmt* statement : statements) sqlite3_finalize(statement);
    }
    sqlite3_close(connection_);
}

void Database::execute(std::string_view sql) {
    if (scope_ == Scope::Reading) throw WritesNeeded{};
    char* error = nullptr;
    const std::string text(sql);
    if (sqlite3_exec(connection_, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw DatabaseError("execute: " + message, sqlite3_errcode(connection_) & 0xff,
                            sqlite3_system_errno(connection_));
    }
}

Statement Database::prepare(std::string_view sql) {
    if (auto idle = idleStatements_.find(sql); idle != idleStatements_.end() && !idle->second.empty()) {
        sqlite3_stmt* statement = idle->second.back();
        idle->second.pop_back();
        return Statement(*this, statement);
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection_, sql.data(), static_cast<int>(sql.size()), &statement, nullptr) != SQLITE_OK) {
        throw DatabaseError(std::string("prepare: ") + sqlite3_errmsg(connection_), sqlite3_errcode(connection_) & 0xff,
                            sqlite3_system_errno(connection_));
    }
    if (!statement) throw DatabaseError("prepare: no statement in the text");
    return Statement(*this, statement);
}

void Database::giveBack(sqlite3_stmt* statement) noexcept {
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    const std::string_view sql = sqlite3_sql(statement);
    auto idle = idleStatements_.find(sql);
    if (idle == idleStatements_.end()) {
        if (idleStatements_.size() >= kMostCachedQueries) {
            sqlite3_finalize(statement);
            return;
        }
        idle = idleStatements_.emplace(std::string(sql), std::vector<sqlite3_stmt*>()).first;
    }
    idle->second.push_back(statement);
}

void Database::aboutToRun(bool readOnly) {
    if (scope_ != Scope::Reading) return;
    if (!readOnly) throw WritesNeeded{};
    if (!readerBegun_) {
        control("BEGIN");
        readerBegun_ = true;
    }
}

void Database::control(std::string_view sql) {
    Statement statement = prepare(sql);
    // Straight to SQLite: these statements are the transaction itself.
    if (sqlite3_step(statement.statement_) != SQLITE_DONE) statement.fail("transaction");
}

bool Database::controlQuietly(std::string_view sql) noexcept {
    try {
        control(sql);
        return true;
    } catch (...) {
        return false;
    }
}

long long Database::scalar(std::string_view sql, const std::vector<SqlValue>& arguments) {
    Statement statement = prepare(sql);
    statement.bind(arguments);
    return statement.step() ? statement.integer(0) : 0;
}

long long Database::lastInsertId() const { return sqlite3_last_insert_rowid(connection_); }

Database::Transaction::Transaction(Database& database, Kind kind) : database_(database), kind_(kind) {
    if (kind == Kind::Read) {
        // A read inside any transaction simply belongs to it.
        nested_ = database.scope_ != Scope::None;
        if (!nested_) {
            database.scope_ = Scope::Reading;
            database.readerBegun_ = false;
        }
        return;
    }
    if (database.scope_ == Scope::Reading) throw WritesNeeded{};
    nested_ = database.scope_ == Scope::Writing;
    if (nested_) {
        database.control("SAVEPOINT nested");
        return;
    }
    writers_ = std::unique_lock(database.shared_->writers);
    database.shared_->refuseWhenGone();
    database.control("BEGIN IMMEDIATE");
    database.scope_ = Scope::Writing;
}

void Database::Transaction::commit() {
    if (!open_) return;
    if (nested_) {
        if (kind_ == Kind::Write) database_.control("RELEASE nested");
    } else if (kind_ == Kind::Write || database_.readerBegun_) {
        database_.control("COMMIT");
    }
    finish();
}

Database::Transaction::~Transaction() {
    if (!open_) return;
    if (nested_) {
        if (kind_ == Kind::Write) {
            database_.controlQuietly("ROLLBACK TO nested");
            database_.controlQuietly("RELEASE nested");
        }
    } else if (kind_ == Kind::Write || database_.readerBegun_) {
        database_.controlQuietly("ROLLBACK");
    }
    finish();
}

void Database::Transaction::finish() {
    open_ = false;
    if (nested_) return;
    database_.scope_ = Scope::None;
    database_.readerBegun_ = false;
    if (writers_.owns_lock()) writers_.unlock();
}

}  // namespace backend
