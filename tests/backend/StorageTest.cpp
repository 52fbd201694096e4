#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "BackendClient.h"
#include "backend/AnalyticsCollector.h"
#include "backend/Database.h"
#include "backend/DatabasePool.h"
#include "backend/DemoData.h"
#include "backend/SignInLimit.h"
#include "backend/TemporaryFolder.h"
#include "tests/support/TempSandbox.h"
#include "tests/support/UnwritablePath.h"

using backend::Database;

TEST(Storage, ATransactionThatFailsLeavesNothingBehind) {
    auto database = Database::open("");
    ASSERT_NE(database, nullptr);
    database->execute("CREATE TABLE t (v INTEGER NOT NULL)");
    EXPECT_THROW(database->transaction([&] {
        database->execute("INSERT INTO t VALUES (1)");
        database->execute("INSERT INTO t VALUES (NULL)");
    }),
                 backend::DatabaseError);
    EXPECT_EQ(database->scalar("SELECT COUNT(*) FROM t"), 0);
    database->transaction([&] { database->execute("INSERT INTO t VALUES (2)"); });
    EXPECT_EQ(database->scalar("SELECT SUM(v) FROM t"), 2);
    EXPECT_THROW(database->prepare("SELECT nonsense FROM"), backend::DatabaseError);
}

namespace {

// The files of the databases `path` and its collector's beside it, with
// their journals and indexes, that are there and open to others.
std::vector<std::string> openToOthers(const std::string& path) {
    std::vector<std::string> open;
    for (const std::string& database : {path, backend::AnalyticsCollector::databasePathBeside(path)})
        for (const char* companion : {"", "-wal", "-shm"})
            if (struct stat status {}; ::stat((database + companion).c_str(), &status) == 0 && (status.st_mode & 077))
                open.push_back(database + companion);
    return open;
}

}  // namespace

TEST(Storage, AFileDatabaseIsSeededOnceAndKeptAcrossStarts) {
    // The back end's file, and the collector's beside it.
    const TempFolder folder("velmaro-storage");
    const std::string path = folder / "backend.sqlite";
    long long promoters = 0;
    std::string secret;
    {
        auto server = backend::LocalBackend::start({0, path});
        ASSERT_NE(server, nullptr);
        BackendClient client(server->port());
        EXPECT_EQ(client.login("demo", "123456").json["code"], 1);
        secret = server->paymentProviderSecret();
        // The secrets and the password hashes are their owner's alone.
        EXPECT_EQ(openToOthers(path), std::vector<std::string>{});
    }
    // Files kept open to others (with a journal and index a killed back end
    // left) are closed at the next start.
    for (const char* companion : {"", "-wal", "-shm"}) {
        std::ofstream(path + companion, std::ios::app).flush();
        std::filesystem::permissions(path + companion, std::filesystem::perms(0644));
    }
    ASSERT_EQ(openToOthers(path).size(), 3u);
    {
        auto database = Database::open(path);
        promoters = database->scalar("SELECT COUNT(*) FROM promoters");
        backend::installDemoData(*database, 0);  // a second install adds nothing
        EXPECT_EQ(database->scalar("SELECT COUNT(*) FROM promoters"), promoters);
    }
    auto again = backend::LocalBackend::start({0, path});
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(openToOthers(path), std::vector<std::string>{});
    EXPECT_EQ(BackendClient(again->port()).login("demo", "123456").json["code"], 1);
    EXPECT_EQ(again->paymentProviderSecret(), secret);
    again.reset();
    EXPECT_GT(promoters, 1);
    EXPECT_FALSE(secret.empty());
}

// A database file the back end may not use as it should would start and
// then answer every action with a server error, or be taken for damaged:
// it is refused at start, naming the file or folder and why, as the
// stand-alone back end prints it.
TEST(Storage, AFileOrFolderWithoutPermissionIsRefusedAtStartSayingWhy) {
    namespace fs = std::filesystem;
    const TempFolder folder("velmaro-storage");
    const std::string path = folder / "backend.db";
    ASSERT_NE(backend::LocalBackend::start({0, path}), nullptr);
    std::string failure;
    {
        UnwritablePath readOnly(path);
        if (!readOnly.made()) GTEST_SKIP() << "the file system keeps no immutable flag";
        EXPECT_EQ(backend::LocalBackend::start({0, path}, &failure), nullptr);
        EXPECT_EQ(failure, "cannot open " + path + ": " + path + " is not writable (no permission to write it)");
    }
    // A file that may be written but not read, a folder that may be written
    // but not entered.
    for (const auto& [changed, why] : {std::pair(path, path), std::pair(folder.path(), "the folder " + folder.path())}) {
        const fs::perms before = fs::status(changed).permissions();
        fs::permissions(changed, fs::perms::owner_write);
        EXPECT_TRUE(runHeldByPermissions([&] { EXPECT_EQ(backend::LocalBackend::start({0, path}, &failure), nullptr); }));
        fs::permissions(changed, before);
        EXPECT_EQ(failure, "cannot open " + path + ": " + why + " cannot be read (no permission to read it)");
    }
}

// A database file removed or replaced under a running back end would take
// every later change with it: a change is refused, never answered as done,
// while reads go on.
TEST(Storage, ChangesAreRefusedOnceTheDatabaseFileIsRemovedOrReplaced) {
    namespace fs = std::filesystem;
    for (const bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "replaced" : "removed");
        const TempFolder folder("velmaro-storage");
        const std::string path = folder / "backend.db";
        auto server = backend::LocalBackend::start({0, path});
        ASSERT_NE(server, nullptr);
        BackendClient client(server->port());
        ASSERT_EQ(client.classicGet("jiesuan", {{"money", "10"}}).json["code"], 1);
        if (replaced) fs::copy_file(path, folder / "copy.db");
        fs::remove(path);
        if (replaced) fs::rename(folder / "copy.db", path);
        // Another amount: never the same request as the first.
        const auto refused = client.classicGet("jiesuan", {{"money", "11"}});
        EXPECT_EQ(refused.json["code"], 9);
        EXPECT_EQ(refused.json["message"], "服务器繁忙，请稍后再试");
        EXPECT_EQ(client.classicGet("jiesuan_list").json["data"]["number"], "3");
    }
}

// A file whose first pages are whole opens; a request that reads its damage
// fails, and the file is named once, with what mends it.
TEST(Storage, ADatabaseDamagedPastItsFirstPageIsNamedOnceWhereItIsRead) {
    const TempFolder folder("velmaro-storage");
    const std::string path = folder / "backend.db";
    ASSERT_NE(backend::LocalBackend::start({0, path}), nullptr);
    {
        auto database = Database::open(path);
        const long long page = database->scalar("SELECT rootpage FROM sqlite_master WHERE name = 'promoters'");
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp((page - 1) * database->scalar("PRAGMA page_size"));
        file << std::string(512, '\xff');
    }
    auto server = backend::LocalBackend::start({0, path});
    ASSERT_NE(server, nullptr);
    testing::internal::CaptureStderr();
    for (int attempt = 0; attempt < 2; ++attempt)
        EXPECT_EQ(BackendClient(server->port()).login("demo", "123456").json["code"], 9);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "back end: the database " + path + " is damaged: requests that read its damaged part fail: set " + path +
                  " aside (move or rename it) and the next session starts it again from the demo data\n");
}

namespace {

// Every connection opened while it lives may hold only a few pages: a disk
// that fills as the demo data is stored, as SQLite meets it.
class TinyDisk {
public:
    TinyDisk() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&limit)); }
    ~TinyDisk() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&limit)); }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

private:
    static int limit(sqlite3* connection, char**, const void*) {
        sqlite3_exec(connection, "PRAGMA max_page_count = 2", nullptr, nullptr, nullptr);
        return SQLITE_OK;
    }
};

}  // namespace

// A disk that fills while the demo data is stored is named: SQLite gives
// the room back as it rolls the store back, so only its answer tells.
TEST(Storage, ADiskThatFillsWhileTheDemoDataIsStoredIsNamed) {
    const TempFolder folder("velmaro-storage");
    const std::string path = folder / "backend.db";
    std::string failure;
    {
        TinyDisk tiny;
        EXPECT_EQ(backend::LocalBackend::start({0, path}, &failure), nullptr);
    }
    EXPECT_EQ(failure, "cannot store the demo data in " + path + ": the disk is full (no space left for " +
                           folder.path() + ")");
    // With room, the same file takes the demo data.
    EXPECT_NE(backend::LocalBackend::start({0, path}, &failure), nullptr) << failure;
    // The analytics events' file beside it, made on a disk that fills, is
    // refused alike.
    const std::string analytics = folder / "backend-analytics.db";
    std::filesystem::remove(analytics);
    {
        TinyDisk tiny;
        EXPECT_EQ(backend::LocalBackend::start({0, path}, &failure), nullptr);
    }
    EXPECT_EQ(failure, analytics + ": the disk is full (no space left for " + folder.path() + ")");
}

// A disk that fills while the back end serves is named once, as at start:
// every change fails alike.
TEST(Storage, ADiskThatFillsWhileTheBackEndServesIsNamedOnce) {
    const TempFolder folder("velmaro-storage");
    const std::string path = folder / "backend.db";
    TinyDisk tiny;
    auto pool = backend::DatabasePool::open(path);
    pool->run([](Database& database) { database.execute("CREATE TABLE t (v TEXT)"); });
    const auto fill = [&] {
        pool->run([](Database& database) { database.execute("INSERT INTO t VALUES (hex(randomblob(1000)))"); });
    };
    testing::internal::CaptureStderr();
    for (int row = 0; row < 100; ++row) {
        try {
            fill();
        } catch (const backend::DatabaseError&) {
            break;
        }
    }
    EXPECT_THROW(fill(), backend::DatabaseError);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "back end: cannot use the database " + path +
                                                          ": the disk is full (no space left for " + folder.path() + ")\n");
}

TEST(Storage, AStartRemovesOnlyTheFoldersOfBackEndsThatEnded) {
    namespace fs = std::filesystem;
    const TempFolder base("velmaro-folders");
    const std::string prefix = "velmaro-backend-";
    auto live = backend::TemporaryFolder::make(base.path(), prefix);
    ASSERT_NE(live, nullptr);
    // One being made (not marked yet), and one whose back end was killed.
    const fs::path unmarked = base / (prefix + "unmarked"), ended = base / (prefix + "ended");
    fs::create_directory(unmarked);
    fs::create_directory(ended);
    std::ofstream(ended / backend::TemporaryFolder::kOwnerMark) << "1\n";

    auto next = backend::TemporaryFolder::make(base.path(), prefix);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(fs::exists(live->path() / backend::TemporaryFolder::kOwnerMark));
    EXPECT_TRUE(fs::exists(unmarked));
    EXPECT_FALSE(fs::exists(ended));
}

TEST(Storage, StartFailsCleanlyWhenTheDatabaseOrPortIsUnusable) {
    std::string failure;
    EXPECT_EQ(backend::LocalBackend::start({0, "/nonexistent-dir/x/backend.sqlite"}, &failure), nullptr);
    EXPECT_EQ(failure, "cannot open /nonexistent-dir/x/backend.sqlite: the folder /nonexistent-dir is not there");
    // The part of the path that is missing or no folder is the one named.
    const TempFolder folder("velmaro-storage");
    std::ofstream(folder / "file") << "not a folder";
    std::ofstream(folder / "text.db") << "not a database";
    std::filesystem::create_symlink("nowhere/x.db", folder / "link.db");
    // A pipe opening would wait on for good, a device, the analytics file alike.
    ASSERT_EQ(::mkfifo((folder / "pipe.db").c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo((folder / "new-analytics.db").c_str(), 0600), 0);
    // SQLite's journal and index beside a database, which it opens as they are.
    ASSERT_EQ(::mkfifo((folder / "wal.db-wal").c_str(), 0600), 0);
    std::filesystem::create_symlink("/dev/null", folder / "device.db-wal");
    std::filesystem::create_symlink("nowhere/x.db-shm", folder / "shm.db-shm");
    std::filesystem::create_directory(folder / "folder.db-shm");
    // Links to a file (SQLite opens none), beside both databases: intact, not damaged.
    std::ofstream(folder / "other") << "a file";
    std::filesystem::create_symlink("other", folder / "linked.db-wal");
    std::filesystem::create_symlink("other", folder / "linked2-analytics.db-shm");
    for (const auto& [path, named, why] :
         {std::tuple(folder / "missing/x/y/backend.db", folder / "missing/x/y/backend.db", "the folder " + folder / "missing is not there"),
          std::tuple(folder / "file/backend.db", folder / "file/backend.db", folder / "file is a file, not a folder"),
          std::tuple(folder / "link.db", folder / "link.db", folder / "link.db is a link to nowhere/x.db, which is not there"),
          std::tuple(folder / "pipe.db", folder / "pipe.db", folder / "pipe.db is not a regular file (a named pipe)"),
          std::tuple(std::string("/dev/null"), std::string("/dev/null"), std::string("/dev/null is not a regular file (a device)")),
          std::tuple(folder / "new.db", folder / "new-analytics.db", folder / "new-analytics.db is not a regular file (a named pipe)"),
          std::tuple(folder / "text.db", folder / "text.db", std::string("the database text.db is damaged")),
          std::tuple(folder / "wal.db", folder / "wal.db", folder / "wal.db-wal is not a regular file (a named pipe)"),
          std::tuple(folder / "device.db", folder / "device.db", folder / "device.db-wal is not a regular file (a device)"),
          std::tuple(folder / "shm.db", folder / "shm.db", folder / "shm.db-shm is a link to nowhere/x.db-shm, which is not there"),
          std::tuple(folder / "folder.db", folder / "folder.db", folder / "folder.db-shm is a folder"),
          std::tuple(folder / "linked.db", folder / "linked.db",
                     folder / "linked.db-wal is a link to other: the database's journal must be a file of its own, not a link"),
          std::tuple(folder / "linked2.db", folder / "linked2-analytics.db",
                     folder / "linked2-analytics.db-shm is a link to other: the database's index must be a file of its own, not a link")}) {
        EXPECT_EQ(backend::LocalBackend::start({0, path}, &failure), nullptr);
        EXPECT_EQ(failure, "cannot open " + named + ": " + why);
    }
    // A refused start makes no file.
    for (const char* made : {"new.db", "text-analytics.db", "pipe-analytics.db"})
        EXPECT_FALSE(std::filesystem::exists(folder / made)) << made;
    auto first = backend::LocalBackend::start({});
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(backend::LocalBackend::start({first->port(), ""}, &failure), nullptr);
    EXPECT_EQ(failure, "cannot listen on 127.0.0.1:" + std::to_string(first->port()));
}

TEST(Storage, FailedSignInsAreStoredOnlyForNamesOfAccounts) {
    auto database = Database::open("");
    ASSERT_NE(database, nullptr);
    backend::installDemoData(*database, 0);
    for (int guess = 0; guess < 10; ++guess) backend::recordFailedSignIn(*database, "nobody-" + std::to_string(guess), 0);
    backend::recordFailedSignIn(*database, "demo", 0);
    EXPECT_EQ(database->scalar("SELECT COUNT(*) FROM failed_sign_ins"), 1);
}
