#include "backend/CollectedEvents.h"

#include "backend/DatabasePool.h"

namespace backend {

CollectedEvents::CollectedEvents(DatabasePool& databases) : databases_(databases) {
    databases_.run([](Database& database) {
        database.execute(
            "CREATE TABLE IF NOT EXISTS analytics_events (id INTEGER PRIMARY KEY, content TEXT NOT NULL UNIQUE, "
            "received_at INTEGER NOT NULL)");
    });
}

void CollectedEvents::add(const std::vector<std::string>& events, long long receivedAt) {
    databases_.run([&](Database& database) {
        database.transaction([&] {
            for (const std::string& event : events) {
                database.prepare("INSERT OR IGNORE INTO analytics_events (content, received_at) VALUES (?, ?)")
                    .bind({event, receivedAt})
                    .step();
            }
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

}  // namespace backend
