#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <limits>
#include <map>
#include <tuple>

#include "foundation/NSFileManager.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

// The library's one lock around every SQLite call ("__UTA_LOCK__").
std::recursive_mutex& utaLock() {
    static std::recursive_mutex lock;
    return lock;
}

const char* const kInsertEvent =
    "insert into events(content, status, send_count,ts) values(@CONTENT, @STATUS, @SENDCOUNT, @TS)";
const char* const kReplaceConfig =
    "replace into config(type, content, md5sum, version) values(@TYPE, @CONTENT, @MD5, @VER)";

void bindAll(sqlite3_stmt* statement, const Array& values) {
    for (std::size_t i = 0; i < values.size(); ++i) {
        const int index = static_cast<int>(i) + 1;
        if (const std::string* text = values[i].text()) {
            sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_TRANSIENT);
        } else {
            sqlite3_bind_int64(statement, index, values[i].longLongValue());
        }
    }
}

// Steps a statement kept prepared between runs: prepared from `sql` at first
// use, reset for the next run when it succeeds, finalized (and prepared again
// next time) when it fails. The log lines say which of the two went wrong.
// SQLite's result, SQLITE_DONE for success.
int stepKeptStatement(sqlite3* db, sqlite3_stmt*& statement, const char* sql, const Array& values,
                      const char* prepareFailure, const char* stepFailure) {
    if (!statement) {
        const int prepared = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (prepared != SQLITE_OK) {
            UTALog(prepareFailure);
            statement = nullptr;
            return prepared;
        }
    }
    bindAll(statement, values);
    const int result = sqlite3_step(statement);
    if (result == SQLITE_DONE) {
        sqlite3_clear_bindings(statement);
        sqlite3_reset(statement);
        return result;
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    UTALog(stepFailure);
    return result;
}

std::uint32_t now() { return static_cast<std::uint32_t>(std::time(nullptr)); }

// A damaged file, or one that is no database at all: each is replaced. A
// file the store may read but not write is not: its rows are still sent.
bool isUnusableFile(int result) { return result == SQLITE_CORRUPT || result == SQLITE_NOTADB; }

// A write the file could not take: no room for it or its journal, a journal
// that could not be made (a folder that cannot be written), a file opened
// read-only, an I/O error.
bool notWritten(int result) {
    switch (result & 0xff) {
        case SQLITE_FULL:
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_IOERR:
            return true;
        default:
            return false;
    }
}

// The rows waiting to be sent, but for those that are gone though the file
// still holds them; bound to `waitingRowValues`.
const char* const kWaitingRows = "status in (?, ?) and event_id not in (select value from json_each(?))";

// The integer a column's text holds; nothing for any other text.
std::optional<long long> columnInteger(const std::string& text) { return NSString::strictInteger(text); }

// An event row read as (event_id, content, status, send_count, ts) texts,
// of the file opened as `generation`; nothing when a number does not read.
std::optional<RPOUTAStoreEvent> eventFromRow(const std::vector<std::string>& row, std::uint64_t generation) {
    if (row.size() != 5) return std::nullopt;
    const auto eventId = columnInteger(row[0]), status = columnInteger(row[2]), sendCount = columnInteger(row[3]),
               ts = columnInteger(row[4]);
    if (!eventId || !status || !sendCount || !ts) return std::nullopt;
    RPOUTAStoreEvent event;
    event.eventId = *eventId;
    event.content = row[1];
    event.status = static_cast<std::uint32_t>(*status);
    event.sendCount = *sendCount;
    event.ts = static_cast<std::uint32_t>(*ts);
    event.fileGeneration = generation;
    return event;
}

// The store's tables and how each is made.
struct StoreTable {
    const char* name;
    const char* create;
};
const StoreTable kTables[] = {
    {"events",
     "create table if not exists events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, content TEXT, "
     "status INTEGER, send_count INTEGER, ts INTEGER)"},
    {"user", "create table if not exists user(uid TEXT, user_type INTEGER, app_ver TEXT, ts INTEGER, PRIMARY KEY(uid))"},
    {"config",
     "create table if not exists config(type INTEGER, content TEXT, md5sum TEXT, version INTEGER, PRIMARY KEY(type))"},
};

// A test that an integer column holds no value of the field it is read
// into (a count of tries: 0 up to what any retry setting allows): a value cut
// to fit would read as another.
template <typename Field>
std::string outside(const char* column) {
    return std::string(" or ") + column + " not between " + std::to_string(std::numeric_limits<Field>::min()) +
           " and " + std::to_string(std::numeric_limits<Field>::max());
}

// The rows the loaders cannot read, or that the store never writes: a column
// they convert to a number holds something else (text, NULL, a fraction, a
// value past its field), a text they need is missing or empty, a state is
// neither waiting nor in flight. An event's time stamp only orders the rows,
// so an event is not lost for it.
const std::string kUnreadableEvents =
    "content is Null or typeof(status) != 'integer' or status not in (" +
    std::to_string(RPOUTAStore::kStored) + ", " + std::to_string(RPOUTAStore::kSending) +
    ") or typeof(send_count) != 'integer'" + outside<std::uint32_t>("send_count") + " or typeof(ts) != 'integer'";
const std::string kUnreadableUsers =
    "uid is Null or uid = '' or app_ver is Null or typeof(user_type) != 'integer' or typeof(ts) != 'integer'" +
    outside<std::int32_t>("user_type") + outside<std::uint32_t>("ts");
const std::string kUnreadableConfigs =
    "content is Null or md5sum is Null or typeof(type) != 'integer' or typeof(version) != 'integer'" +
    outside<std::uint32_t>("type") + outside<std::uint32_t>("version");

// What each column of a table is, in order: name, declared type, NOT NULL,
// primary key, AUTOINCREMENT (which only a column that is the row id takes).
using TableShape = std::vector<std::tuple<std::string, std::string, int, int, int>>;

TableShape tableShape(sqlite3* db, const char* table) {
    std::vector<std::string> names;
    sqlite3_stmt* statement = nullptr;
    const std::string query = std::string("pragma table_info(") + table + ")";
    if (sqlite3_prepare_v2(db, query.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
        while (sqlite3_step(statement) == SQLITE_ROW) {
            const unsigned char* name = sqlite3_column_text(statement, 1);
            names.emplace_back(name ? reinterpret_cast<const char*>(name) : "");
        }
    }
    sqlite3_finalize(statement);
    TableShape shape;
    for (const auto& name : names) {
        const char *type = nullptr, *collation = nullptr;
        int notNull = 0, primaryKey = 0, autoIncrement = 0;
        sqlite3_table_column_metadata(db, "main", table, name.c_str(), &type, &collation, &notNull, &primaryKey,
                                      &autoIncrement);
        shape.emplace_back(name, type ? type : "", notNull, primaryKey, autoIncrement);
    }
    return shape;
}

// The shape the store's own statement gives the table.
const TableShape& madeShape(const StoreTable& table) {
    static const auto shapes = [] {
        std::map<std::string, TableShape> made;
        sqlite3* db = nullptr;
        sqlite3_open(":memory:", &db);
        for (const auto& each : kTables) {
            sqlite3_exec(db, each.create, nullptr, nullptr, nullptr);
            made[each.name] = tableShape(db, each.name);
        }
        sqlite3_close(db);
        return made;
    }();
    return shapes.at(table.name);
}

// Makes the tables that are missing (their names into `made` when given);
// what keeps the store from using them, nothing when each is as the store
// makes it.
std::string tablesProblem(sqlite3* db, std::vector<std::string>* made = nullptr) {
    for (const auto& table : kTables) {
        const TableShape shape = tableShape(db, table.name);
        if (shape.empty()) {
            if (sqlite3_exec(db, table.create, nullptr, nullptr, nullptr) != SQLITE_OK) return sqlite3_errmsg(db);
            if (made) made->emplace_back(table.name);
        } else if (shape != madeShape(table)) {
            return std::string("the table ") + table.name + " is not the store's";
        }
    }
    return "";
}

void logUnusable(const std::string& path, const std::string& problem) {
    UTALog("Unable to use the database %@: %@", path, problem);
}

// A connection to the database at `path` when the store can use it: one it
// can read, with its three tables (made when missing) as the store makes
// them. A file it may not write is read all the same: what it holds is
// sent, and its user and configuration go on.
sqlite3* openUsableFile(const std::string& path) {
    sqlite3* db = nullptr;
    std::string problem;
    if (sqlite3_open(path.c_str(), &db) != SQLITE_OK) {
        problem = db ? sqlite3_errmsg(db) : "out of memory";
    } else {
        problem = tablesProblem(db);
    }
    if (problem.empty()) {
        if (sqlite3_db_readonly(db, "main") != 0) {
            UTALog("The database %@ cannot be written; new events are kept in memory", path);
        }
        return db;
    }
    logUnusable(path, problem);
    sqlite3_close(db);
    return nullptr;
}

// What SQLite adds to a database file's name for its journals.
const char* const kJournals[] = {"-journal", "-wal", "-shm"};

// Where a file the store cannot use is kept: only the newest such is.
std::string asidePath(const std::string& path) { return path + ".unusable"; }

// Removes a database file and its journals, whatever of them is there.
void removeWithJournals(const std::string& path) {
    auto fileManager = NSFileManager::defaultManager();
    const auto remove = [&](const std::string& file) {
        if (fileManager->fileExistsAtPath(file)) fileManager->removeItemAtPath(file);
    };
    remove(path);
    for (const char* journal : kJournals) remove(path + journal);
}

// Moves what stands at `path` aside, its journals with it, so that a fresh
// file can take its place. NO when it could not be moved.
bool setAside(const std::string& path) {
    auto fileManager = NSFileManager::defaultManager();
    const std::string aside = asidePath(path);
    removeWithJournals(aside);
    const auto move = [&](const std::string& suffix) {
        if (!fileManager->fileExistsAtPath(path + suffix)) return false;
        Ref<NSError> error;
        if (fileManager->moveItemAtPath(path + suffix, aside + suffix, &error)) return true;
        UTALog("Unable to move file: %@", error ? error->localizedDescription() : std::string());
        return false;
    };
    if (!move("")) return false;
    for (const char* journal : kJournals) move(journal);
    UTALog("Moved the unusable database aside to %@", aside);
    return true;
}

// Where a fresh file is built beside the store's file, until it is whole
// and takes that file's place.
std::string freshPath(const std::string& path) { return path + ".fresh"; }

std::function<void(const std::string&)>& renewalStepHook() {
    static std::function<void(const std::string&)> hook;
    return hook;
}

void renewalStep(const char* step) {
    if (renewalStepHook()) renewalStepHook()(step);
}

// Copies the rows `select` (its values bound) answers on `from` through
// `insert` on `to`, each value as it is stored (the first columns, one per
// parameter of `insert`; further columns are for `copied`, which sees each
// row after it went in). SQLite's result: SQLITE_OK when every row went in.
int copyRows(sqlite3* from, const std::string& select, const Array& selectValues, sqlite3* to, const char* insert,
             const std::function<void(sqlite3_stmt* row)>& copied = {}) {
    sqlite3_stmt *reading = nullptr, *writing = nullptr;
    int result = sqlite3_prepare_v2(from, select.c_str(), -1, &reading, nullptr);
    if (result == SQLITE_OK) bindAll(reading, selectValues);
    if (result == SQLITE_OK) result = sqlite3_prepare_v2(to, insert, -1, &writing, nullptr);
    while (result == SQLITE_OK && (result = sqlite3_step(reading)) == SQLITE_ROW) {
        for (int column = 0; column < sqlite3_bind_parameter_count(writing); ++column) {
            sqlite3_bind_value(writing, column + 1, sqlite3_column_value(reading, column));
        }
        result = sqlite3_step(writing);
        sqlite3_reset(writing);
        if (result != SQLITE_DONE) break;
        if (copied) copied(reading);
        result = SQLITE_OK;
    }
    if (result == SQLITE_DONE) result = SQLITE_OK;
    sqlite3_finalize(reading);
    sqlite3_finalize(writing);
    return result;
}

}  // namespace

Ref<RPOUTAStore> RPOUTAStore::getInstance() { return UTASharedInstance<RPOUTAStore>(); }

void RPOUTAStore::setRenewalStepHookForTests(std::function<void(const std::string&)> hook) {
    renewalStepHook() = std::move(hook);
}

RPOUTAStore::RPOUTAStore(Ref<RPOUTASocket> channel) : channel_(std::move(channel)) { initDB(); }

RPOUTAStore::~RPOUTAStore() { closeDB(); }

std::string RPOUTAStore::getUTAStorePath() {
    const std::string caches = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true).front();
    const std::string folder = caches + "/.uta";
    auto fileManager = NSFileManager::defaultManager();
    bool isDirectory = false;
    if (fileManager->fileExistsAtPath(folder, &isDirectory) && !isDirectory) fileManager->removeItemAtPath(folder);
    fileManager->createDirectoryAtPath(folder, true);
    return folder;
}

std::string RPOUTAStore::getDbPath() {
    const std::string name = ".nimbus_analysis_" + className();
    const std::string path = getUTAStorePath() + "/" + name;
    // A file left in the documents folder by an earlier version moves here.
    const std::string documents =
        NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true).front() + "/" + name;
    auto fileManager = NSFileManager::defaultManager();
    if (fileManager->fileExistsAtPath(documents)) {
        if (fileManager->fileExistsAtPath(path)) {
            closeDB();
            fileManager->removeItemAtPath(path);
        }
        Ref<NSError> error;
        if (!fileManager->moveItemAtPath(documents, path, &error)) {
            UTALog("Unable to move file: %@", error ? error->localizedDescription() : std::string());
        }
    }
    return path;
}

sqlite3* RPOUTAStore::getDB() {
    std::lock_guard lock(utaLock());
    if (shutDown_) return nullptr;
    if (db_ && fileReplaced()) {
        // Whatever now stands at the path gets the events from here on.
        UTALog("The database was replaced under the open store; opening the one now at %@", openPath_);
        closeDB();
    }
    if (!db_) openStore();
    return db_;
}

void RPOUTAStore::openStore() {
    const std::string path = getDbPath();
    // A fresh file left part-built by a process that ended is never used:
    // the file at the path still holds everything.
    removeWithJournals(freshPath(path));
    db_ = openUsableFile(path);
    if (!db_ && setAside(path)) db_ = openUsableFile(path);
    openPath_.clear();
    if (db_) {
        struct stat file {};
        if (::stat(path.c_str(), &file) == 0) {
            openPath_ = path;
            openDevice_ = file.st_dev;
            openInode_ = file.st_ino;
        }
    } else {
        UTALog("open sqlite db failed.");
        UTALog("Events are kept in memory until the app ends.");
        db_ = openUsableFile(":memory:");
    }
    // Rows gone from the file before read as they are in this one.
    goneRows_.clear();
    inFlightRowsWait_ = false;
    ++fileGeneration_;
    recount();
}

bool RPOUTAStore::fileReplaced() const {
    if (openPath_.empty()) return false;
    struct stat file {};
    return ::stat(openPath_.c_str(), &file) != 0 || file.st_dev != openDevice_ || file.st_ino != openInode_;
}

bool RPOUTAStore::rowIdsUsedUp() {
    // SQLite gives a new event row the id after the highest it ever gave
    // (kept in sqlite_sequence) or that a row holds; past the largest integer
    // there is none, and every insertion fails as on a full disk, whatever
    // rows are deleted since. The counter is read as SQLite reads it, cast
    // to an integer, so a real (1e19) or a long text of digits counts as the
    // largest integer too.
    std::vector<std::vector<std::string>> rows;
    execute("select max(ifnull((select cast(seq as integer) from sqlite_sequence where name = 'events'), 0), "
            "ifnull((select max(event_id) from events), 0)) >= ?",
            {std::numeric_limits<std::int64_t>::max()}, &rows);
    return !rows.empty() && rows[0][0] == "1";
}

bool RPOUTAStore::renewFile() {
    std::lock_guard lock(utaLock());
    // Inside a transaction the open file's rows are not settled.
    if (!db_ || openPath_.empty() || !sqlite3_get_autocommit(db_)) return false;
    const std::string path = openPath_, fresh = freshPath(path);
    removeWithJournals(fresh);
    // Rows of a batch in flight: their ids here and in the fresh file.
    std::vector<std::pair<std::int64_t, std::int64_t>> inFlight;
    std::size_t carried = 0;
    sqlite3* to = nullptr;
    std::string problem;
    if (sqlite3_open(fresh.c_str(), &to) != SQLITE_OK) {
        problem = to ? sqlite3_errmsg(to) : "out of memory";
    } else {
        problem = tablesProblem(to);
    }
    // One transaction: a process ended part-way leaves a fresh file that is
    // never used, and the open file whole at the path.
    if (problem.empty() && sqlite3_exec(to, "BEGIN TRANSACTION", nullptr, nullptr, nullptr) != SQLITE_OK) {
        problem = sqlite3_errmsg(to);
    }
    if (problem.empty()) {
        renewalStep("fresh file made");
        // Rows gone for the store though this file could not take their
        // deletion stay behind.
        const int result =
            copyRows(db_,
                     "select content, status, send_count, ts, event_id from events where not (" + kUnreadableEvents +
                         ") and event_id not in (select value from json_each(?)) order by event_id",
                     {goneRowIds()}, to, "insert into events(content, status, send_count, ts) values(?, ?, ?, ?)",
                     [&](sqlite3_stmt* row) {
                         ++carried;
                         if (sqlite3_column_int64(row, 1) == kSending) {
                             inFlight.emplace_back(sqlite3_column_int64(row, 4), sqlite3_last_insert_rowid(to));
                         }
                         renewalStep("event carried");
                     });
        const bool copied =
            result == SQLITE_OK &&
            copyRows(db_, "select uid, user_type, app_ver, ts from user", {}, to,
                     "insert into user values(?, ?, ?, ?)") == SQLITE_OK &&
            copyRows(db_, "select type, content, md5sum, version from config", {}, to,
                     "insert into config values(?, ?, ?, ?)") == SQLITE_OK &&
            sqlite3_exec(to, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
        if (!copied) problem = sqlite3_errmsg(to);
    }
    sqlite3_close(to);
    if (!problem.empty()) {
        logUnusable(fresh, problem);
        removeWithJournals(fresh);
        return false;
    }
    renewalStep("fresh file complete");
    // The old file stays under the aside name as well (a second name for
    // it, so the path is never without a file); only the newest is kept.
    // Everything it held is in the fresh file, so not keeping it loses nothing.
    const std::string aside = asidePath(path);
    removeWithJournals(aside);
    if (::link(path.c_str(), aside.c_str()) != 0) {
        UTALog("Unable to move file: %@", std::string(std::strerror(errno)));
    }
    renewalStep("old file kept aside");
    if (::rename(fresh.c_str(), path.c_str()) != 0) {
        logUnusable(fresh, std::strerror(errno));
        removeWithJournals(fresh);
        return false;
    }
    renewalStep("fresh file in place");
    const std::uint64_t old = fileGeneration_;
    closeDB();
    initDB();
    if (openPath_ != path) return true;
    // A row of a batch in flight keeps its place in that batch: its outcome
    // reaches the row under its new id.
    for (const auto& [oldId, newId] : inFlight) carriedRows_[{old, oldId}] = {fileGeneration_, newId};
    UTALog("Moved %d events into the fresh database", static_cast<int>(carried));
    return true;
}

std::optional<RPOUTAStoreEvent> RPOUTAStore::inCurrentFile(const RPOUTAStoreEvent& event) const {
    std::pair<std::uint64_t, std::int64_t> row{event.fileGeneration, event.eventId};
    while (row.first != fileGeneration_) {
        const auto carried = carriedRows_.find(row);
        if (carried == carriedRows_.end()) return std::nullopt;
        row = carried->second;
    }
    RPOUTAStoreEvent current = event;
    current.eventId = row.second;
    return current;
}

void RPOUTAStore::replaceUnusableFile() {
    std::lock_guard lock(utaLock());
    if (!db_ || openPath_.empty()) return;
    const std::string path = openPath_;
    // A file that another hand put in its place since is not this one's fault.
    const bool replaced = fileReplaced();
    closeDB();
    if (!replaced) setAside(path);
    initDB();
}

void RPOUTAStore::closeDB() {
    std::lock_guard lock(utaLock());
    sqlite3_finalize(insertEvent_);
    sqlite3_finalize(replaceConfig_);
    insertEvent_ = replaceConfig_ = nullptr;
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
}

void RPOUTAStore::shutDown() {
    std::lock_guard lock(utaLock());
    shutDown_ = true;
    closeDB();
}

void RPOUTAStore::deleteDB() {
    closeDB();
    Ref<NSError> error;
    const std::string path = getDbPath();
    if (NSFileManager::defaultManager()->fileExistsAtPath(path) &&
        !NSFileManager::defaultManager()->removeItemAtPath(path, &error)) {
        UTALog("Delete database failed reason:%@", error ? error->localizedDescription() : std::string());
    }
}

void RPOUTAStore::initDB() {
    // Opening makes the tables: a file in which they cannot be made is not used.
    if (!getDB()) {
        UTALog("NULL database to init table.");
        return;
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    if (defaults->integerForKey("UTA_SDK_DB_VER") == 0) {
        defaults->setInteger(1, "UTA_SDK_DB_VER");
        defaults->synchronize();
    }
}

int RPOUTAStore::execute(const std::string& sql, const Array& values, std::vector<std::vector<std::string>>* rows) {
    std::lock_guard lock(utaLock());
    sqlite3* db = getDB();
    if (!db) return -1;
    sqlite3_stmt* statement = nullptr;
    int result = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
    if (result == SQLITE_OK) {
        bindAll(statement, values);
        while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
            if (!rows) continue;
            const int columns = sqlite3_column_count(statement);
            std::vector<std::string> row;
            bool complete = columns > 0;
            for (int column = 0; column < columns && complete; ++column) {
                const unsigned char* text = sqlite3_column_text(statement, column);
                if (!text) complete = false;
                else row.emplace_back(reinterpret_cast<const char*>(text),
                                      static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
            }
            if (complete) rows->push_back(std::move(row));
        }
        if (result == SQLITE_DONE) result = SQLITE_OK;
    }
    if (result != SQLITE_OK) UTALog("Failed to execute sql:%s for reason:%s", sql.c_str(), sqlite3_errmsg(db));
    sqlite3_finalize(statement);
    return result;
}

int RPOUTAStore::updateDatabase(const std::string& sql, const Array& values) {
    std::lock_guard lock(utaLock());
    // Inside a transaction the journal stays as it is: the caller runs the
    // transaction again (see runPerRow).
    const bool ownTransaction = !db_ || sqlite3_get_autocommit(db_);
    const auto run = [&] { return execute(sql, values); };
    int result = run();
    if (ownTransaction) result = againWithJournalInMemory(result, run);
    mendFile(result);
    return result;
}

int RPOUTAStore::commit() {
    std::lock_guard lock(utaLock());
    const int result = updateDatabase("END TRANSACTION");
    if (result != SQLITE_OK) rollBack();
    return result;
}

void RPOUTAStore::rollBack() {
    std::lock_guard lock(utaLock());
    // A write that failed may have undone the transaction already, or not.
    if (db_ && !sqlite3_get_autocommit(db_)) execute("ROLLBACK", {});
}

int RPOUTAStore::againWithJournalInMemory(int result, const std::function<int()>& write) {
    std::lock_guard lock(utaLock());
    if (!notWritten(result) || journalInMemory_) return result;
    withJournalInMemory([&] { result = write(); });
    return result;
}

bool RPOUTAStore::mendFile(int result) {
    if (isUnusableFile(result)) {
        replaceUnusableFile();
        return true;
    }
    std::lock_guard lock(utaLock());
    if (result == SQLITE_FULL && renewalFailedFor_ != fileGeneration_ && rowIdsUsedUp()) {
        // The file is sound, only full of ids: what it holds goes on in a
        // fresh one, each event once, those of a batch in flight still in
        // that batch.
        logUnusable(openPath_, "no event row id is left");
        if (renewFile()) return true;
        // Its rows stay in it, to be sent and deleted there; new events
        // wait in memory, as on a full disk.
        renewalFailedFor_ = fileGeneration_;
        UTALog("Unable to make a fresh database; new events are kept in memory");
        return false;
    }
    // A statement of the store's own fails with a plain error when its
    // tables went from under it (the file emptied in place, a table dropped).
    if (result != SQLITE_ERROR || !db_) return false;
    std::vector<std::string> made;
    const std::string problem = tablesProblem(db_, &made);
    if (!problem.empty()) {
        logUnusable(openPath_, problem);
        replaceUnusableFile();
        return true;
    }
    if (made.empty()) return false;
    UTALog("Made the tables gone from the database again: %@", NSString::componentsJoinedByString(made, ", "));
    if (std::find(made.begin(), made.end(), "events") != made.end()) {
        // The events went with their table and the row ids start again:
        // batches loaded before touch none of the new rows.
        ++fileGeneration_;
        recount();
    }
    return true;
}

int RPOUTAStore::runMended(const std::function<int()>& statement) {
    int result = statement();
    if (mendFile(result)) result = statement();
    return againWithJournalInMemory(result, statement);
}

void RPOUTAStore::withJournalInMemory(const std::function<void()>& work) {
    // A full disk has no room for the journal file a write makes first, and
    // a folder that cannot be written takes no such file; rows deleted or
    // updated in place need no new room in the file itself. A crash in the
    // middle may leave the file damaged, and a damaged file is set aside at
    // the next opening.
    std::lock_guard lock(utaLock());
    if (journalInMemory_) return work();
    journalInMemory_ = true;
    // The journal cannot change inside a transaction: one that the full
    // disk kept from committing is given up, as `work` runs whole again.
    rollBack();
    execute("pragma journal_mode=memory", {});
    work();
    execute("pragma journal_mode=delete", {});
    journalInMemory_ = false;
}

int RPOUTAStore::runKept(sqlite3_stmt*& statement, const char* sql, const Array& values, const char* prepareFailure,
                         const char* stepFailure) {
    return runMended([&] {
        std::lock_guard lock(utaLock());
        sqlite3* db = getDB();
        if (!db) return -1;
        return stepKeptStatement(db, statement, sql, values, prepareFailure, stepFailure);
    });
}

int RPOUTAStore::insertRow(const RPOUTAStoreEvent& row) {
    return runKept(insertEvent_, kInsertEvent, {row.content, kStored, row.sendCount, row.ts},
                   "Failed to prepare insert events", "Failed to exec satement to insert events.");
}

void RPOUTAStore::writeUnwritten() {
    std::lock_guard lock(utaLock());
    while (!unwrittenEvents_.empty() && insertRow(unwrittenEvents_.front()) == SQLITE_DONE) {
        unwrittenEvents_.pop_front();
    }
}

void RPOUTAStore::dropUnreadableRows(const std::string& table, const std::string& unreadable) {
    std::vector<std::vector<std::string>> rows;
    execute("select count(*) from " + table + " where " + unreadable, {}, &rows);
    const auto count = rows.empty() ? std::nullopt : columnInteger(rows[0][0]);
    if (!count || *count == 0) return;
    UTALog("Dropped %d rows of %@ that cannot be read", static_cast<int>(*count), table);
    updateDatabase("delete from " + table + " where " + unreadable);
}

void RPOUTAStore::recount() {
    std::lock_guard lock(utaLock());
    numStoredEvents_ = getStoredEventsNum() + static_cast<std::uint32_t>(unwrittenEvents_.size());
}

void RPOUTAStore::launch() {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>()] {
        auto store = weak.lock();
        if (!store || !store->getDB()) return;
        std::lock_guard lock(utaLock());
        if (store->updateDatabase("update events set status=?  where status = ?", {kStored, kSending}) != SQLITE_OK) {
            // A file that cannot be written keeps them in flight: they wait all
            // the same (this process marks none in flight that it could load
            // again, as it loads no batch while one is in flight).
            store->inFlightRowsWait_ = true;
        }
        store->recount();
    });
}

std::string RPOUTAStore::getUtaStableUDID() {
    // The uid of the user the store goes by, before loading as after: the
    // user row is read (made when missing, mended when damaged) as loading does.
    return loadUser()->uid;
}

Array RPOUTAStore::waitingRowValues() const {
    return {kStored, inFlightRowsWait_ ? kSending : kStored, goneRowIds()};
}

std::string RPOUTAStore::goneRowIds() const {
    std::string ids = "[";
    for (const std::int64_t id : goneRows_) ids += (ids.size() > 1 ? "," : "") + std::to_string(id);
    return ids + "]";
}

std::uint32_t RPOUTAStore::getStoredEventsNum() {
    std::lock_guard lock(utaLock());
    std::vector<std::vector<std::string>> rows;
    if (execute(std::string("select count(*) from events where ") + kWaitingRows, waitingRowValues(), &rows) !=
            SQLITE_OK ||
        rows.empty()) {
        return 0;
    }
    const auto count = static_cast<std::uint32_t>(columnInteger(rows[0][0]).value_or(0));
    UTALog("%d unsent events.", static_cast<int>(count));
    return count;
}

void RPOUTAStore::storeEvent(const Ref<RPOUTAEvent>& event, bool hasTrySent, std::function<void()> completion) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), event, hasTrySent, completion = std::move(completion)] {
        auto store = weak.lock();
        if (!store) return;
        store->makeRoomForOneMore();
        const std::string content = event->reportText();
        UTALog(hasTrySent ? "Send failed, then store event:%@" : "Environment setting, then store event:%@", content);
        if (event->isTooLongToReport()) {
            UTALog("[ERROR]Too large event content length to report:%lu",
                   static_cast<unsigned long>(event->contentLength()));
            completion();
            return;
        }
        if (content != "{}") {
            RPOUTAStoreEvent row;
            row.content = content;
            row.ts = event->ts;
            store->keepRow(std::move(row));
        }
        completion();
    });
}

void RPOUTAStore::makeRoomForOneMore() {
    auto config = RPOUTAConfig::getInstance();
    if (numStoredEvents_ < config->maxStoreEventCount()) return;
    UTALog("Too many events stored in db, erase oldest event");
    updateDatabase("delete from events where ts in (select min(ts) from events)");
    // Those kept in memory are held to the same cap.
    std::lock_guard lock(utaLock());
    if (unwrittenEvents_.size() >= config->maxStoreEventCount()) unwrittenEvents_.pop_front();
    // The count is what is left, which the report policy reads.
    recount();
}

void RPOUTAStore::keepRow(RPOUTAStoreEvent row) {
    {
        // Behind those the file could not take yet, in order.
        std::lock_guard lock(utaLock());
        writeUnwritten();
        if (!unwrittenEvents_.empty() || insertRow(row) != SQLITE_DONE) {
            unwrittenEvents_.push_back(std::move(row));
            UTALog("Unable to write events to the database; %d kept in memory",
                   static_cast<int>(unwrittenEvents_.size()));
        }
    }
    ++numStoredEvents_;
}

void RPOUTAStore::loadCachedEvents(std::vector<RPOUTAStoreEvent>& batch) {
    auto config = RPOUTAConfig::getInstance();
    std::int64_t size = config->maxLoadEventCount();
    if (batchLimit_ > 0) size = std::min<std::int64_t>(size, batchLimit_);
    const std::int64_t limit = size - static_cast<std::int64_t>(batch.size());
    std::vector<std::vector<std::string>> rows;
    std::uint64_t generation = 0;
    {
        // One file from the clean-up to the select.
        std::lock_guard lock(utaLock());
        writeUnwritten();
        updateDatabase("BEGIN TRANSACTION");
        dropUnreadableRows("events", kUnreadableEvents);
        Array values = waitingRowValues();
        values.emplace_back(std::max<std::int64_t>(limit, 0));
        execute(std::string("select event_id, content, status, send_count,ts from events where ") + kWaitingRows +
                    " order by ts limit ?",
                values, &rows);
        commit();
        generation = fileGeneration_;
    }
    for (const auto& row : rows) {
        // Dropped above; a row changed since by another hand waits for the next load.
        auto event = eventFromRow(row, generation);
        if (!event) continue;
        // The try under way; the row is charged it only when it fails.
        ++event->sendCount;
        batch.push_back(std::move(*event));
    }
    {
        // What the file still cannot take goes from memory, behind the
        // file's rows.
        std::lock_guard lock(utaLock());
        while (static_cast<std::int64_t>(batch.size()) < size && !unwrittenEvents_.empty()) {
            RPOUTAStoreEvent event = std::move(unwrittenEvents_.front());
            unwrittenEvents_.pop_front();
            ++event.sendCount;
            event.fileGeneration = 0;
            batch.push_back(std::move(event));
        }
    }
    recount();
}

void RPOUTAStore::enqueueMemEvent(const Ref<RPOUTAEvent>& event) {
    std::lock_guard lock(memEventLock_);
    cachedEventsArr_.enqueue(event);
}

std::size_t RPOUTAStore::memCachedEventCount() {
    std::lock_guard lock(memEventLock_);
    return cachedEventsArr_.size();
}

void RPOUTAStore::loadMemCachedEvents(std::vector<RPOUTAStoreEvent>& batch) {
    {
        std::lock_guard lock(memEventLock_);
        if (cachedEventsArr_.empty()) return;
        const std::uint32_t limit = RPOUTAConfig::getInstance()->maxLoadEventCount();
        for (std::uint32_t i = 0; i < limit && !cachedEventsArr_.empty(); ++i) {
            const auto queued = cachedEventsArr_.dequeue();
            RPOUTAStoreEvent event;
            event.content = queued->content.value_or("");
            event.ts = queued->ts;
            batch.push_back(std::move(event));
        }
    }
    UTALog("evs count is %d", static_cast<int>(batch.size()));
}

void RPOUTAStore::runPerRow(const std::vector<RPOUTAStoreEvent>& batch,
                            const std::function<RowStatement(const RPOUTAStoreEvent&)>& statement) {
    std::lock_guard lock(utaLock());
    // One transaction over `rows`; those whose statement failed into
    // `failed` (all of them when the transaction did not reach the file).
    // SQLite's result for the transaction: a write the file could not take,
    // or the commit's.
    std::vector<RPOUTAStoreEvent> failed;
    const auto pass = [&](const std::vector<RPOUTAStoreEvent>& rows) {
        failed.clear();
        std::vector<RPOUTAStoreEvent> tried;
        updateDatabase("BEGIN TRANSACTION");
        for (const auto& event : rows) {
            // The row ids of a file since replaced name other rows in this
            // one; a row carried over from it goes by its new id.
            getDB();
            const auto current = inCurrentFile(event);
            if (!current) continue;
            tried.push_back(event);
            const RowStatement row = statement(*current);
            const int result = updateDatabase(row.sql, row.values);
            if (result == SQLITE_OK) continue;
            failed.push_back(event);
            if (notWritten(result)) {
                // The file may have undone the whole transaction already.
                rollBack();
                failed = rows;
                return result;
            }
        }
        const int result = commit();
        if (result != SQLITE_OK) failed = tried;
        return result;
    };
    int result = pass(batch);
    // A write the file could not take may have undone the whole
    // transaction, the rows that went well included: all of them again,
    // with the journal in memory.
    result = againWithJournalInMemory(result, [&] { return pass(batch); });
    if (result == SQLITE_OK && !failed.empty()) pass(std::vector<RPOUTAStoreEvent>(failed));
    // A row the store is done with whose deletion the file did not take is
    // left out of later batches all the same: sent once, not again and again.
    for (const auto& event : failed)
        if (const auto current = inCurrentFile(event); current && statement(*current).deletes)
            goneRows_.insert(current->eventId);
    if (!failed.empty()) UTALog("Unable to write %d rows to the database", static_cast<int>(failed.size()));
    recount();
}

void RPOUTAStore::markEvents(const std::vector<RPOUTAStoreEvent>& batch, std::int32_t status) {
    runPerRow(batch, [status](const RPOUTAStoreEvent& event) {
        return RowStatement{"update events set status = ? where event_id = ?", {status, event.eventId}};
    });
}

void RPOUTAStore::updateEvents(std::vector<RPOUTAStoreEvent> batch, std::int32_t status) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), batch = std::move(batch), status] {
        if (auto store = weak.lock()) store->markEvents(batch, status);
    });
}

void RPOUTAStore::deleteEvents(std::vector<RPOUTAStoreEvent> batch, std::function<void()> callback) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), batch = std::move(batch), callback = std::move(callback)] {
        auto store = weak.lock();
        if (!store) return;
        store->runPerRow(batch, [](const RPOUTAStoreEvent& event) {
            return RowStatement{"delete from events where event_id = ?", {event.eventId}, true};
        });
        if (callback) callback();
    });
}

void RPOUTAStore::updateSendFailedEvents(std::vector<RPOUTAStoreEvent> batch) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), batch = std::move(batch)] {
        auto store = weak.lock();
        if (!store) return;
        const auto maxTries = static_cast<std::int64_t>(RPOUTAConfig::getInstance()->maxSendRetryCount());
        // Which row of a refused batch made it fail is not known: the try
        // counts only for a row sent alone. The next batches are smaller,
        // down to one row, so that a row the report host refuses ends up
        // alone and uses up its own tries, not those of the rows with it.
        const bool alone = batch.size() == 1;
        if (!alone) store->batchLimit_ = static_cast<std::uint32_t>(batch.size() / 2);
        // The tries a row has used after this one failed; none when it was its last.
        const auto triesUsed = [maxTries, alone](const RPOUTAStoreEvent& event) -> std::optional<std::int64_t> {
            if (!alone) return event.sendCount - 1;
            if (event.sendCount >= maxTries) return std::nullopt;
            return event.sendCount;
        };
        for (const auto& event : batch) UTALog("This event has tried %d times", static_cast<int>(event.sendCount));
        store->runPerRow(batch, [&](const RPOUTAStoreEvent& event) -> RowStatement {
            const auto used = triesUsed(event);
            if (!used) return {"delete from events where event_id = ?", {event.eventId}, true};
            return {"update events set status=?, send_count=? where event_id = ?", {kStored, *used, event.eventId}};
        });
        // Events sent from memory go back to its front, in their order.
        std::lock_guard lock(utaLock());
        for (auto event = batch.rbegin(); event != batch.rend(); ++event) {
            const auto used = event->fileGeneration == 0 ? triesUsed(*event) : std::nullopt;
            if (!used) continue;
            RPOUTAStoreEvent kept = *event;
            kept.sendCount = *used;
            store->unwrittenEvents_.push_front(std::move(kept));
        }
        store->recount();
    });
}

void RPOUTAStore::growBatchLimit() {
    if (batchLimit_ == 0) return;
    batchLimit_ *= 2;
    if (batchLimit_ >= RPOUTAConfig::getInstance()->maxLoadEventCount()) batchLimit_ = 0;
}

Ref<RPOUTASocket> RPOUTAStore::channel() const { return channel_ ? channel_ : RPOUTASocket::getInstance(); }

void RPOUTAStore::clearFlag(std::mutex& lock, std::atomic<bool>& flag) {
    std::lock_guard guard(lock);
    flag = false;
}

void RPOUTAStore::sendCachedEvents(std::int32_t count) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), count] {
        auto store = weak.lock();
        if (!store) return;
        {
            std::lock_guard lock(store->cacheEventLock_);
            if (store->isSendingCacheEvent_) {
                UTALog("sending cache event, return");
                return;
            }
            store->isSendingCacheEvent_ = true;
        }
        if (!RPOUTAConfig::getInstance()->statEnable() || store->numStoredEvents_ == 0) {
            clearFlag(store->cacheEventLock_, store->isSendingCacheEvent_);
            return;
        }
        std::vector<RPOUTAStoreEvent> batch;
        store->loadCachedEvents(batch);
        if (batch.empty()) {
            clearFlag(store->cacheEventLock_, store->isSendingCacheEvent_);
            return;
        }
        // In flight from now on: no later load on this queue takes them again.
        store->markEvents(batch, kSending);
        auto delivered = [weak, batch, count](bool success) {
            auto store = weak.lock();
            if (!store) return;
            if (!success) {
                store->updateSendFailedEvents(batch);
                store->taskQueue_->async([weak] {
                    if (auto store = weak.lock()) clearFlag(store->cacheEventLock_, store->isSendingCacheEvent_);
                });
                return;
            }
            const auto sent = static_cast<std::int64_t>(batch.size());
            store->deleteEvents(batch, [weak, count, sent] {
                auto store = weak.lock();
                if (!store) return;
                store->growBatchLimit();
                clearFlag(store->cacheEventLock_, store->isSendingCacheEvent_);
                if (count < 0) store->sendCachedEvents(-1);
                if (count >= 1 && count > sent) store->sendCachedEvents(static_cast<std::int32_t>(count - sent));
                if (count >= 1 && store->numStoredEvents_ >= static_cast<std::uint32_t>(count)) {
                    store->sendCachedEvents(count);
                }
            });
        };
        store->channel()->send(make<RPOUTASendItem>(std::move(batch), std::move(delivered)));
    });
}

void RPOUTAStore::sendMemCachedEvents(std::int32_t) {
    taskQueue_->async([weak = weakSelf<RPOUTAStore>()] {
        auto store = weak.lock();
        if (!store || store->isSendingCacheEvent_) return;
        {
            // One in-memory batch at a time; the one in flight sends the
            // next when it is done.
            std::lock_guard lock(store->cacheMemEventLock_);
            if (store->isSendingMemCacheEvent_) return;
            store->isSendingMemCacheEvent_ = true;
        }
        std::vector<RPOUTAStoreEvent> batch;
        store->loadMemCachedEvents(batch);
        if (batch.empty()) {
            clearFlag(store->cacheMemEventLock_, store->isSendingMemCacheEvent_);
            return;
        }
        // A batch the channel did not deliver goes into the file, as a
        // failed real-time event does, and is sent from there with the
        // stored events: the collector being down loses none of it.
        auto sent = batch;
        store->channel()->send(make<RPOUTASendItem>(std::move(sent), [weak, batch](bool delivered) {
            auto store = weak.lock();
            if (!store) return;
            if (!delivered) {
                store->taskQueue_->async([weak, batch] {
                    auto store = weak.lock();
                    if (!store) return;
                    UTALog("Send failed, then store %d events of memory", static_cast<int>(batch.size()));
                    for (const auto& row : batch) {
                        store->makeRoomForOneMore();
                        store->keepRow(row);
                    }
                });
            }
            clearFlag(store->cacheMemEventLock_, store->isSendingMemCacheEvent_);
            store->sendMemCachedEvents(-1);
        }));
    });
}

void RPOUTAStore::storeUser(const Ref<RPOUTAUser>& user) {
    if (!user) return;
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), userType = user->userType, appVer = user->appVer,
                       tagTime = user->tagTime, uid = user->uid] {
        if (auto store = weak.lock()) {
            store->updateDatabase("update user set user_type=?, app_ver=?, ts=? where uid=?",
                                  {userType, appVer, tagTime, uid});
        }
    });
}

Ref<RPOUTAUser> RPOUTAStore::loadUser() {
    auto user = make<RPOUTAUser>();
    taskQueue_->sync([&] {
        std::vector<std::vector<std::string>> rows;
        dropUnreadableRows("user", kUnreadableUsers);
        const bool read = execute("select uid,user_type,app_ver,ts from user order by uid", {}, &rows) == SQLITE_OK;
        if (!rows.empty()) {
            const auto userType = columnInteger(rows[0][1]), tagTime = columnInteger(rows[0][3]);
            if (userType && tagTime) {
                // There is one user: the first row.
                if (rows.size() > 1) {
                    UTALog("Dropped %d extra rows of user", static_cast<int>(rows.size() - 1));
                    updateDatabase("delete from user where uid != ?", {rows[0][0]});
                }
                user->uid = rows[0][0];
                user->userType = static_cast<std::int32_t>(*userType);
                user->appVer = rows[0][2];
                user->tagTime = static_cast<std::uint32_t>(*tagTime);
                return;
            }
        }
        // No readable row: the device's user, stored when the table could be read.
        auto env = RPOUTAHelper::getInstance()->getEnv();
        user->uid = env->deviceid();
        user->userType = 0;
        user->appVer = env->app_version();
        user->tagTime = now();
        if (read && rows.empty()) {
            updateDatabase("insert into user values(?, ?, ?, ?)", {user->uid, 0, user->appVer, user->tagTime});
        }
    });
    return user;
}

void RPOUTAStore::storeConfig(const Ref<RPOUTADataConfig>& config) {
    if (!config) return;
    taskQueue_->async([weak = weakSelf<RPOUTAStore>(), config] {
        auto store = weak.lock();
        if (!store) return;
        store->runKept(store->replaceConfig_, kReplaceConfig,
                       {config->type, config->content, config->md5, config->version},
                       "Failed to prepare replace configs", "Failed to exec satement to insert configs.");
    });
}

void RPOUTAStore::loadConfig(const std::function<void(const Ref<RPOUTADataConfig>&)>& block) {
    std::vector<std::vector<std::string>> rows;
    dropUnreadableRows("config", kUnreadableConfigs);
    execute("select type, content, md5sum, version from config;", {}, &rows);
    for (const auto& row : rows) {
        if (row.size() != 4) continue;
        const auto type = columnInteger(row[0]), version = columnInteger(row[3]);
        if (!type || !version) continue;
        auto config = make<RPOUTADataConfig>();
        config->type = static_cast<std::uint32_t>(*type);
        config->content = row[1];
        config->md5 = row[2];
        config->version = static_cast<std::uint32_t>(*version);
        block(config);
    }
}
