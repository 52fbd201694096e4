#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace backend {

class Database;
class DatabasePool;

// What the collected-events database keeps at most: of one event's text,
// and of the database's own bytes (its file and its journal together),
// however small or large the events are.
struct CollectedEventLimits {
    std::size_t eventBytes = 64 << 10;
    std::size_t databaseBytes = 64 << 20;
};

// The analytics events the collector received (table `analytics_events`),
// where a test or a person can count them. An event is kept once: the same
// text sent again (a batch retried after its answer was lost) is the same
// event, told by the SHA-256 of its whole text. What is kept is bounded:
// an event's text is cut after `eventBytes` (its whole length is kept
// beside it), and the oldest events are dropped when the pages in use pass
// their share of `databaseBytes`, so that the file, which grows by at most
// one request's events beyond that share, and its journal stay within it:
// they are dropped a batch at a time, the journal checkpointed and cut
// after each batch.
class CollectedEvents {
public:
    // Makes the database file at `path` ready for the events: creates the
    // tables, or moves the events an older version kept (a table without a
    // digest or the kept size) into them, and compacts a file larger than
    // its bound. Answers why it cannot, naming the file: it is not a
    // database, it holds an `analytics_events` table of another kind, or
    // what strikes the file (see databaseProblem: a disk that fills).
    static std::optional<std::string> prepareFile(const std::string& path, CollectedEventLimits limits = {});

    // Creates the tables when missing.
    explicit CollectedEvents(DatabasePool& databases, CollectedEventLimits limits = {});

    // Stores the events of one request in one transaction, then drops the
    // oldest past the bound; one request at a time.
    void add(const std::vector<std::string>& events, long long receivedAt);
    long long count();
    // The kept texts, in the order they first arrived.
    std::vector<std::string> texts();

private:
    DatabasePool& databases_;
    CollectedEventLimits limits_;
    std::mutex adding_;
};

}  // namespace backend
