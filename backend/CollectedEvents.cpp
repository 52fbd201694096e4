#include "backend/CollectedEvents.h"

#include "backend/Database.h"

namespace backend {

CollectedEvents::CollectedEvents(Database& database) : database_(database) {
    database_.execute(
        "CREATE TABLE IF NOT EXISTS analytics_events (id INTEGER PRIMARY KEY, content TEXT NOT NULL UNIQUE, "
        "received_at INTEGER NOT NULL)");
}

void CollectedEvents::add(const std::vector<std::string>& events, long long receivedAt) {
    database_.transaction([&] {
        for (const std::string& event : events) {
            database_.prepare("INSERT OR IGNORE INTO analytics_events (content, received_at) VALUES (?, ?)")
                .bind({event, receivedAt})
                .step();
        }
    });
}

long long CollectedEvents::count() { return database_.scalar("SELECT count(*) FROM analytics_events"); }

std::vector<std::string> CollectedEvents::texts() {
    std::vector<std::string> texts;
    Statement query = database_.prepare("SELECT content FROM analytics_events ORDER BY id");
    while (query.step()) texts.push_back(query.text(0));
    return texts;
}

}  // namespace backend
