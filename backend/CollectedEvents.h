#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace backend {

class DatabasePool;

// What the collected-events table keeps at most: of one event's text, and
// of all the texts together.
struct CollectedEventLimits {
    std::size_t eventBytes = 64 << 10;
    std::size_t totalBytes = 32 << 20;
};

// The analytics events the collector received (table `analytics_events`),
// where a test or a person can count them. An event is kept once: the same
// text sent again (a batch retried after its answer was lost) is the same
// event, told by the SHA-256 of its whole text. What is kept is bounded:
// an event's text is cut after `eventBytes` (its whole length is
// kept beside it), and when the texts kept pass `totalBytes` the
// oldest events are dropped.
class CollectedEvents {
public:
    // Creates the tables when missing.
    explicit CollectedEvents(DatabasePool& databases, CollectedEventLimits limits = {});

    // Stores the events of one request in one transaction.
    void add(const std::vector<std::string>& events, long long receivedAt);
    long long count();
    // The kept texts, in the order they first arrived.
    std::vector<std::string> texts();
    // The bytes of text kept in all.
    long long keptBytes();

private:
    DatabasePool& databases_;
    CollectedEventLimits limits_;
};

}  // namespace backend
