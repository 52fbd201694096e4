#include "backend/CollectedEvents.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "backend/DatabasePool.h"
#include "backend/DatabaseProblem.h"
#include "backend/Digest.h"

namespace backend {

namespace {

// What a row costs beside its text: the digest in the row and again in its
// index, the numbers, the cells' headers and the pages' slack. Only a
// guess of how many of the oldest rows to drop at once: the pages in use
// are measured again after each drop.
constexpr long long kRowBytes = 192;

// The pages in use may fill five eighths of the database's bytes. One
// request's events (at most 4 MiB of text) may grow the file beyond them.
// The journal holds one request's pages (its events and the index entries
// of the events it adds), or one batch of dropped events (their rows and
// index entries), a sixteenth of the bytes at most, before it is
// checkpointed and cut: the digests are scattered over the whole index, so
// dropping thousands of small events at once would write most of the
// index to the journal.
long long storeBytes(const CollectedEventLimits& limits) { return static_cast<long long>(limits.databaseBytes) * 5 / 8; }
long long journalBytes(const CollectedEventLimits& limits) { return static_cast<long long>(limits.databaseBytes) / 16; }

const std::set<std::string> kColumns = {"id", "digest", "length", "kept", "received_at", "content"};

// The first `limit` bytes of a UTF-8 text at most, not cutting a character.
std::string_view cutAt(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

void createTables(Database& database) {
    // `length` is the whole event's bytes, `content` what is kept of it and
    // `kept` its bytes, so that dropping events never reads their texts
    // (the text comes last: the numbers before it are read without it).
    // An earlier version kept a running total of the texts by triggers;
    // the database's pages are the measure now.
    database.execute(
        "CREATE TABLE IF NOT EXISTS analytics_events (id INTEGER PRIMARY KEY, digest TEXT NOT NULL UNIQUE, "
        "length INTEGER NOT NULL, kept INTEGER NOT NULL, received_at INTEGER NOT NULL, content TEXT NOT NULL);"
        "DROP TRIGGER IF EXISTS analytics_event_kept;"
        "DROP TRIGGER IF EXISTS analytics_event_dropped;"
        "DROP TABLE IF EXISTS analytics_totals;");
}

// Settings of the connection that the bounds rely on.
void configure(Database& database, const CollectedEventLimits& limits) {
    // Events are no secrets: the pages of dropped ones are freed, not
    // overwritten with zeros as well (which SQLite may be built to do).
    database.execute("PRAGMA secure_delete = OFF; PRAGMA journal_size_limit = " +
                     std::to_string(journalBytes(limits)));
    database.execute("PRAGMA wal_autocheckpoint = " +
                     std::to_string(journalBytes(limits) / database.scalar("PRAGMA page_size")));
}

void insertEvent(Database& database, const std::string& event, long long receivedAt, const CollectedEventLimits& limits) {
    std::string kept(cutAt(event, limits.eventBytes));
    const auto keptBytes = static_cast<long long>(kept.size());
    database
        .prepare("INSERT OR IGNORE INTO analytics_events (digest, content, length, kept, received_at) "
                 "VALUES (?, ?, ?, ?, ?)")
        .bind({sha256Hex(event), std::move(kept), static_cast<long long>(event.size()), keptBytes, receivedAt})
        .step();
}

long long bytesInUse(Database& database) {
    return (database.scalar("PRAGMA page_count") - database.scalar("PRAGMA freelist_count")) *
           database.scalar("PRAGMA page_size");
}

// Drops a batch of the oldest events while the pages in use pass their
// share of the bytes: as many as make up the excess, within half the journal's bytes
// of their texts and as many as that holds pages (each may change a page
// of the index). False when nothing was to be dropped.
bool dropOldest(Database& database, const CollectedEventLimits& limits) {
    long long excess = bytesInUse(database) - storeBytes(limits);
    if (excess <= 0) return false;
    const long long batchBytes = journalBytes(limits) / 2;
    const long long batchRows = std::max(1LL, batchBytes / database.scalar("PRAGMA page_size"));
    long long last = -1, rows = 0, bytes = 0;
    {
        Statement oldest = database.prepare("SELECT id, kept FROM analytics_events ORDER BY id");
        while (excess > 0 && rows < batchRows && bytes < batchBytes && oldest.step()) {
            last = oldest.integer(0);
            excess -= oldest.integer(1) + kRowBytes;
            bytes += oldest.integer(1);
            ++rows;
        }
    }
    if (last < 0) return false;
    database.prepare("DELETE FROM analytics_events WHERE id <= ?").bind({last}).step();
    return true;
}

std::set<std::string> columnsOf(Database& database, const std::string& table) {
    std::set<std::string> columns;
    Statement info = database.prepare("SELECT name FROM pragma_table_info(?)");
    info.bind({table});
    while (info.step()) columns.insert(info.text(0));
    return columns;
}

// Moves the newest events of an older version's table
// (`analytics_events_older`) that fit in the pages' share of the bytes, all
// of them when they do, oldest first so that they keep their order.
void moveNewest(Database& database, const CollectedEventLimits& limits) {
    long long first = -1;
    {
        Statement newest = database.prepare(
            "SELECT rowid, length(CAST(content AS BLOB)) FROM analytics_events_older ORDER BY rowid DESC");
        for (long long room = storeBytes(limits); newest.step(); first = newest.integer(0)) {
            room -= std::min(newest.integer(1), static_cast<long long>(limits.eventBytes)) + kRowBytes;
            if (room < 0) break;
        }
    }
    if (first < 0) return;
    Statement events = database.prepare(
        "SELECT content, received_at FROM analytics_events_older WHERE rowid >= ? ORDER BY rowid");
    events.bind({first});
    while (events.step()) insertEvent(database, events.text(0), events.integer(1), limits);
}

// What SQLite's quick check finds first in the file's pages, if anything.
std::optional<std::string> firstDamage(Database& database) {
    Statement check = database.prepare("PRAGMA quick_check(1)");
    if (!check.step()) return std::nullopt;
    std::string found = check.text(0);
    if (found == "ok") return std::nullopt;
    return found;
}

}  // namespace

std::optional<std::string> CollectedEvents::prepareFile(const std::string& path, CollectedEventLimits limits) {
    std::unique_ptr<Database> database = Database::open(path);
    if (!database) return withDatabaseProblem("cannot open " + path, path);
    try {
        configure(*database, limits);
        // Damaged pages would fail every frame's events for good.
        if (auto damage = firstDamage(*database)) return path + " is damaged: " + *damage;
        const std::set<std::string> columns = columnsOf(*database, "analytics_events");
        const bool older = !columns.empty() && columns != kColumns;
        if (older && !(columns.count("content") && columns.count("received_at")))
            return path + " holds an analytics_events table this version cannot read";
        database->transaction([&] {
            if (older) database->execute("ALTER TABLE analytics_events RENAME TO analytics_events_older");
            createTables(*database);
            if (older) {
                moveNewest(*database, limits);
                database->execute("DROP TABLE analytics_events_older");
            }
        });
        database->execute("PRAGMA wal_checkpoint(TRUNCATE)");
        for (bool dropped = true; dropped; database->execute("PRAGMA wal_checkpoint(TRUNCATE)"))
            database->transaction([&] { dropped = dropOldest(*database, limits); });
        // Pages freed stay in the file until it is rebuilt: a file moved
        // from an older table, or grown past what the bounds let it reach
        // (by a version without them), is rebuilt.
        const long long fileBytes = database->scalar("PRAGMA page_count") * database->scalar("PRAGMA page_size");
        if (older || fileBytes > static_cast<long long>(limits.databaseBytes) - journalBytes(limits))
            database->execute("VACUUM; PRAGMA wal_checkpoint(TRUNCATE)");
    } catch (const DatabaseError& error) {
        // What strikes the file (a disk that filled), else SQLite's words.
        return path + ": " + databaseProblem(path, &error).value_or(error.what());
    }
    return std::nullopt;
}

CollectedEvents::CollectedEvents(DatabasePool& databases, CollectedEventLimits limits)
    : databases_(databases), limits_(limits) {
    databases_.run([](Database& database) { createTables(database); });
}

void CollectedEvents::add(const std::vector<std::string>& events, long long receivedAt) {
    std::lock_guard adding(adding_);
    databases_.run([&](Database& database) {
        configure(database, limits_);
        for (const std::string& event : events) insertEvent(database, event, receivedAt, limits_);
    });
    databases_.checkpoint();
    while (databases_.run([&](Database& database) { return dropOldest(database, limits_); }))
        databases_.checkpoint();
}

long long CollectedEvents::count() {
    return databases_.run([](Database& database) { return database.scalar("SELECT count(*) FROM analytics_events"); });
}

std::vector<std::string> CollectedEvents::texts() {
    return databases_.run([](Database& database) {
        std::vector<std::string> texts;
        Statement query = database.prepare("SELECT content FROM analytics_events ORDER BY id");
        while (query.step()) texts.push_back(query.text(0));
        return texts;
    });
}

}  // namespace backend
