#include "backend/DatabasePool.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "foundation/FileProblem.h"

namespace backend {

namespace {

// Idle connections kept for the next requests; more are closed as they
// come back. As many as the clients a busy moment brings, with room.
constexpr std::size_t kIdleConnections = 32;
constexpr const char* kSharedMemoryFolder = "/dev/shm";

}  // namespace

std::unique_ptr<DatabasePool> DatabasePool::open(const std::string& path, StartsAgain startsAgain) {
    std::unique_ptr<DatabasePool> pool(new DatabasePool());
    pool->path_ = path;
    pool->startsAgain_ = startsAgain;
    if (path.empty()) {
        // Several connections cannot share a private in-memory database in
        // WAL mode, so a private one lives in a folder of its own: in
        // shared memory where the system has it (thrown away at the end, it
        // needs no disk, and its syncs cost nothing there), else among the
        // temporary files.
        std::error_code error;
        std::filesystem::path base = kSharedMemoryFolder;
        if (!std::filesystem::is_directory(base, error) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path(error);
        if (error || !(pool->privateFolder_ = TemporaryFolder::make(base, "velmaro-backend-")))
            throw DatabaseError("cannot make a folder for the private database in " + base.string());
        pool->path_ = (pool->privateFolder_->path() / "backend.db").string();
    }
    pool->giveBack(pool->take());
    return pool;
}

DatabasePool::~DatabasePool() {
    idle_.clear();
    privateFolder_.reset();
}

std::size_t DatabasePool::openConnections() const {
    std::lock_guard lock(mutex_);
    return open_;
}

void DatabasePool::checkpoint() noexcept {
    try {
        Lease lease(*this);
        lease.database->execute("PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const std::exception&) {
    }
}

std::unique_ptr<Database> DatabasePool::take() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            std::unique_ptr<Database> database = std::move(idle_.back());
            idle_.pop_back();
            return database;
        }
    }
    std::unique_ptr<Database> database = Database::connect(path_, shared_);
    std::lock_guard lock(mutex_);
    ++open_;
    return database;
}

void DatabasePool::tell(const DatabaseError& error) noexcept {
    if (error.code == SQLITE_CORRUPT || error.code == SQLITE_NOTADB) {
        // A file may open whole and be damaged further in: only the pages
        // read tell, and every request reading them fails alike, so it is
        // told once. A private database is no one's to mend.
        if (privateFolder_ || toldDamaged_.exchange(true)) return;
        std::cerr << "back end: the database " << path_ << kDamagedDatabase
                  << ": requests that read its damaged part fail" << setAside(path_, startsAgain_) << std::endl;
        return;
    }
    if (!isStorageFailure(error)) return;
    try {
        // Named as a start names it; else in the system's or SQLite's words.
        const std::string cause = storageProblem(path_, &error).value_or(
            error.systemError ? FileProblem::why(path_, error.systemError) : sqlite3_errstr(error.code));
        std::lock_guard lock(toldMutex_);
        if (cause == toldCause_) return;
        toldCause_ = cause;
        std::cerr << "back end: cannot use the database " << path_ << ": " << cause << std::endl;
    } catch (...) {
    }
}

void DatabasePool::giveBack(std::unique_ptr<Database> database) noexcept {
    std::lock_guard lock(mutex_);
    if (idle_.size() < kIdleConnections) {
        idle_.push_back(std::move(database));
        return;
    }
    // Closed once the lock is let go.
    --open_;
}

}  // namespace backend
