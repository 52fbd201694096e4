#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

#include "backend/DatabasePool.h"
#include "tests/support/Eventually.h"
#include "tests/support/TempSandbox.h"

using backend::Database;
using backend::DatabasePool;

namespace {

std::unique_ptr<DatabasePool> poolWithCounter() {
    auto pool = DatabasePool::open("");
    pool->run([](Database& database) {
        database.execute("CREATE TABLE counter (v INTEGER NOT NULL); INSERT INTO counter VALUES (1)");
    });
    return pool;
}

long long counter(DatabasePool& pool) {
    return pool.run([](Database& database) { return database.scalar("SELECT v FROM counter"); });
}

}  // namespace

TEST(DatabasePool, ReadersGoOnWhileAWriterHoldsItsTransaction) {
    auto pool = poolWithCounter();
    std::promise<void> written, read;
    std::future<void> readDone = read.get_future();
    std::thread writer([&] {
        pool->run([&](Database& database) {
            database.transaction([&] { database.execute("UPDATE counter SET v = 2"); });
            written.set_value();
            // Still inside the writer's transaction: the reader must finish meanwhile.
            EXPECT_EQ(readDone.wait_for(kGiveUpAfter), std::future_status::ready);
        });
    });
    written.get_future().wait();
    EXPECT_EQ(counter(*pool), 1);  // the state before the uncommitted write
    read.set_value();
    writer.join();
    EXPECT_EQ(counter(*pool), 2);
    EXPECT_GE(pool->openConnections(), 2u);
}

TEST(DatabasePool, WhatAWriterCheckedStillHoldsWhenItWrites) {
    auto pool = poolWithCounter();
    pool->run([](Database& database) { database.execute("CREATE TABLE claims (n INTEGER)"); });
    // Each worker claims a place while fewer than five are taken; the pause
    // between check and write lets the others check in between, unless
    // writers run as one.
    std::vector<std::thread> workers;
    for (int i = 0; i < 16; ++i) {
        workers.emplace_back([&] {
            pool->run([](Database& database) {
                if (database.scalar("SELECT COUNT(*) FROM claims") >= 5) return;
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
                database.prepare("INSERT INTO claims VALUES (1)").step();
            });
        });
    }
    for (auto& worker : workers) worker.join();
    EXPECT_EQ(pool->run([](Database& database) { return database.scalar("SELECT COUNT(*) FROM claims"); }), 5);
}

TEST(DatabasePool, FailedWorkLeavesNothingAndTheConnectionServesOn) {
    auto pool = poolWithCounter();
    EXPECT_THROW(pool->run([](Database& database) {
        database.transaction([&] { database.execute("UPDATE counter SET v = 7"); });
        database.execute("UPDATE counter SET v = NULL");
    }),
                 backend::DatabaseError);
    EXPECT_EQ(counter(*pool), 1);
    pool->run([](Database& database) { database.transaction([&] { database.execute("UPDATE counter SET v = 3"); }); });
    EXPECT_EQ(counter(*pool), 3);
}

TEST(DatabasePool, ACachedStatementComesBackResetAndTwoAtOnceAreApart) {
    auto pool = poolWithCounter();
    pool->run([](Database& database) {
        database.execute("INSERT INTO counter VALUES (2), (3)");
        const char* sql = "SELECT v FROM counter WHERE v >= ? ORDER BY v";
        {
            backend::Statement outer = database.prepare(sql);
            outer.bind({2LL});
            ASSERT_TRUE(outer.step());
            backend::Statement inner = database.prepare(sql);  // the same query while the first runs
            inner.bind({1LL});
            ASSERT_TRUE(inner.step());
            EXPECT_EQ(inner.integer(0), 1);
            EXPECT_EQ(outer.integer(0), 2);
        }
        backend::Statement again = database.prepare(sql);
        again.bind({3LL});
        ASSERT_TRUE(again.step());
        EXPECT_EQ(again.integer(0), 3);
        EXPECT_FALSE(again.step());
    });
}

TEST(DatabasePool, APrivateDatabaseLeavesNoFileBehind) {
    auto pool = poolWithCounter();
    const std::filesystem::path file = pool->run([](Database& database) {
        backend::Statement main = database.prepare("SELECT file FROM pragma_database_list WHERE name = 'main'");
        main.step();
        return main.text(0);
    });
    ASSERT_TRUE(std::filesystem::exists(file));
    pool.reset();
    EXPECT_FALSE(std::filesystem::exists(file.parent_path()));
}

// A connection opened after the database's file was removed or replaced
// would find no file, or another database: it is refused, saying which.
TEST(DatabasePool, AConnectionOpenedAfterItsFileWentIsRefusedSayingSo) {
    namespace fs = std::filesystem;
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "replaced" : "removed");
        const TempFolder folder("velmaro-pool");
        const std::string path = folder / "backend.db";
        auto pool = DatabasePool::open(path);
        ASSERT_NE(pool, nullptr);
        if (replaced) fs::copy_file(path, folder / "copy.db");
        fs::remove(path);
        if (replaced) fs::rename(folder / "copy.db", path);
        std::string refused;
        try {
            // Two at once: the second is a connection opened now.
            pool->run([&](Database&) { return pool->run([](Database& database) { return database.scalar("SELECT 1"); }); });
        } catch (const backend::DatabaseError& error) {
            refused = error.what();
        }
        EXPECT_EQ(refused, "the database " + path + (replaced ? " was replaced by another file" : " was removed") +
                               " while the back end ran");
    }
}
