#pragma once

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "backend/Database.h"
#include "backend/DatabaseProblem.h"
#include "backend/TemporaryFolder.h"

namespace backend {

// The connections to one database, handed to the threads that serve
// requests: each piece of work gets a connection of its own (with its
// statements compiled already) for as long as it runs.
//
// Work runs as one transaction. It starts as a reader, which in WAL mode
// sees one consistent state and never waits for a writer. Work that turns
// out to write is rolled back and run again from the start as a writer,
// which holds the writers' lock throughout: so whatever it read and checked
// before writing still holds when it writes, as if requests ran one at a
// time.
class DatabasePool {
public:
    // An empty path: a private database in a temporary folder of its own,
    // removed with the pool (see TemporaryFolder: one a killed back end left
    // is removed by the next). Throws DatabaseError when the database cannot
    // be opened, or only for reading. A file found damaged while it serves
    // (SQLite meets a damaged page) is named once on standard error, with
    // how to start it again (`startsAgain`); the storage failing (a disk that
    // fills, a journal that is no file) names the file and the cause there,
    // once for each cause.
    static std::unique_ptr<DatabasePool> open(const std::string& path, StartsAgain startsAgain = StartsAgain::Empty);
    ~DatabasePool();
    DatabasePool(const DatabasePool&) = delete;
    DatabasePool& operator=(const DatabasePool&) = delete;

    // Runs `work(Database&)` as described above and answers what it answers.
    // It may run twice, so it must not act outside the database before its
    // last write. A storage failure rolls everything back and is passed on.
    template <class Work>
    auto run(Work&& work) {
        try {
            return runUntold(work);
        } catch (const DatabaseError& error) {
            tell(error);
            throw;
        }
    }
    // The same, the failure left to the caller to tell (a start that fails
    // names its cause itself).
    template <class Work>
    auto runUntold(Work&& work) {
        // A new connection may fail as a statement does.
        Lease lease(*this);
        try {
            return inTransaction(*lease.database, Database::Transaction::Kind::Read, work);
        } catch (const Database::WritesNeeded&) {
        }
        return inTransaction(*lease.database, Database::Transaction::Kind::Write, work);
    }

    // Copies the journal's pages into the file and cuts the journal back to
    // nothing, outside any transaction (as far as no reader still needs
    // them: those pages stay); a storage failure is let be (the next
    // checkpoint takes the pages up).
    void checkpoint() noexcept;

    // Connections open now, leased or idle.
    std::size_t openConnections() const;

private:
    DatabasePool() = default;

    struct Lease {
        explicit Lease(DatabasePool& pool) : pool(pool), database(pool.take()) {}
        ~Lease() { pool.giveBack(std::move(database)); }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        DatabasePool& pool;
        std::unique_ptr<Database> database;
    };

    template <class Work>
    static auto inTransaction(Database& database, Database::Transaction::Kind kind, Work& work) {
        Database::Transaction transaction(database, kind);
        if constexpr (std::is_void_v<decltype(work(database))>) {
            work(database);
            transaction.commit();
        } else {
            auto result = work(database);
            transaction.commit();
            return result;
        }
    }

    std::unique_ptr<Database> take();
    void giveBack(std::unique_ptr<Database> database) noexcept;
    // Names the file once when `error` is SQLite finding it damaged, and
    // the file and the cause when it is the storage failing (once for each
    // cause: the same failure meets every change alike).
    void tell(const DatabaseError& error) noexcept;

    std::string path_;
    std::unique_ptr<TemporaryFolder> privateFolder_;
    std::shared_ptr<Database::Shared> shared_ = std::make_shared<Database::Shared>();
    mutable std::mutex mutex_;
    std::vector<std::unique_ptr<Database>> idle_;
    std::size_t open_ = 0;
    StartsAgain startsAgain_ = StartsAgain::Empty;
    std::atomic<bool> toldDamaged_ = false;
    std::mutex toldMutex_;
    std::string toldCause_;
};

}  // namespace backend
