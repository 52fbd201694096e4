#pragma once

#include <string>
#include <vector>

namespace backend {

class DatabasePool;

// The analytics events the collector received, in the back end's database
// (table `analytics_events`), where a test or a person can count them. An
// event is kept once: the same text sent again (a batch retried after its
// answer was lost) is the same event.
class CollectedEvents {
public:
    // Creates the table when missing.
    explicit CollectedEvents(DatabasePool& databases);

    // Stores the events of one request in one transaction.
    void add(const std::vector<std::string>& events, long long receivedAt);
    long long count();
    // The stored texts, in the order they first arrived.
    std::vector<std::string> texts();

private:
    DatabasePool& databases_;
};

}  // namespace backend
