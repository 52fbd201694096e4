#include "backend/CollectedEvents.h"

#include <string_view>

#include "backend/DatabasePool.h"
#include "backend/Digest.h"

namespace backend {

namespace {

// The first `limit` bytes of a UTF-8 text at most, not cutting a character.
std::string_view cutAt(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// Drops the oldest events until the texts kept fit in `limit` bytes.
void dropOldest(Database& database, long long limit) {
    long long excess = database.scalar("SELECT bytes FROM analytics_totals") - limit;
    if (excess <= 0) return;
    long long last = 0;
    {
        Statement oldest = database.prepare("SELECT id, kept FROM analytics_events ORDER BY id");
        while (excess > 0 && oldest.step()) {
            last = oldest.integer(0);
            excess -= oldest.integer(1);
        }
    }
    database.prepare("DELETE FROM analytics_events WHERE id <= ?").bind({last}).step();
}

}  // namespace

CollectedEvents::CollectedEvents(DatabasePool& databases, CollectedEventLimits limits)
    : databases_(databases), limits_(limits) {
    databases_.run([](Database& database) {
        // `length` is the whole event's bytes, `content` what is kept of it
        // and `kept` its bytes, so that dropping events never reads their
        // texts (the text comes last: the numbers before it are read
        // without it); the total kept follows every row in and out.
        database.execute(
            "CREATE TABLE IF NOT EXISTS analytics_events (id INTEGER PRIMARY KEY, digest TEXT NOT NULL UNIQUE, "
            "length INTEGER NOT NULL, kept INTEGER NOT NULL, received_at INTEGER NOT NULL, content TEXT NOT NULL);"
            "CREATE TABLE IF NOT EXISTS analytics_totals (bytes INTEGER NOT NULL);"
            "INSERT INTO analytics_totals SELECT 0 WHERE NOT EXISTS (SELECT 1 FROM analytics_totals);"
            "CREATE TRIGGER IF NOT EXISTS analytics_event_kept AFTER INSERT ON analytics_events BEGIN "
            "UPDATE analytics_totals SET bytes = bytes + NEW.kept; END;"
            "CREATE TRIGGER IF NOT EXISTS analytics_event_dropped AFTER DELETE ON analytics_events BEGIN "
            "UPDATE analytics_totals SET bytes = bytes - OLD.kept; END;");
    });
}

void CollectedEvents::add(const std::vector<std::string>& events, long long receivedAt) {
    databases_.run([&](Database& database) {
        // Events are no secrets: the pages of dropped ones are freed, not
        // overwritten with zeros as well (which SQLite may be built to do).
        database.execute("PRAGMA secure_delete = OFF");
        database.transaction([&] {
            for (const std::string& event : events) {
                std::string kept(cutAt(event, limits_.eventBytes));
                const auto keptBytes = static_cast<long long>(kept.size());
                database
                    .prepare("INSERT OR IGNORE INTO analytics_events (digest, content, length, kept, received_at) "
                             "VALUES (?, ?, ?, ?, ?)")
                    .bind({sha256Hex(event), std::move(kept), static_cast<long long>(event.size()), keptBytes,
                           receivedAt})
                    .step();
            }
            dropOldest(database, static_cast<long long>(limits_.totalBytes));
        });
    });
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

long long CollectedEvents::keptBytes() {
    return databases_.run([](Database& database) { return database.scalar("SELECT bytes FROM analytics_totals"); });
}

}  // namespace backend
