// What the collected-events table keeps: each event once (told by its
// digest), at most a bounded part of one event, and at most a bounded
// total, the oldest events dropped first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend/CollectedEvents.h"
#include "backend/DatabasePool.h"

using backend::CollectedEvents;

namespace {

// An event's JSON text of exactly `length` bytes, distinct by `n`.
std::string eventOf(int n, std::size_t length, const std::string& filler = "a") {
    std::string text = "{\"n\":" + std::to_string(n) + ",\"s\":\"";
    while (text.size() + filler.size() + 2 <= length) text += filler;
    return text + std::string(length - text.size() - 2, 'a') + "\"}";
}

}  // namespace

TEST(CollectedEvents, KeepsEachEventOnceAndCutsALargeOneOnACharacter) {
    auto databases = backend::DatabasePool::open("");
    CollectedEvents events(*databases);
    const std::size_t cut = backend::CollectedEventLimits().eventBytes;
    // Past the cut a character of three bytes begins one byte before it.
    const std::string large = eventOf(1, 2 * cut, "涟");
    const std::string small = eventOf(2, 40);
    events.add({large, small, small}, 100);
    // Sent again (a batch whose answer was lost): the same events.
    events.add({large}, 200);
    const auto texts = events.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_LE(texts[0].size(), cut);
    EXPECT_GT(texts[0].size(), cut - 3);
    EXPECT_EQ(large.compare(0, texts[0].size(), texts[0]), 0);
    EXPECT_EQ(texts[0].size() % 3, large.find("涟") % 3);
    EXPECT_EQ(texts[1], small);
    EXPECT_EQ(events.keptBytes(), static_cast<long long>(texts[0].size() + small.size()));
    // Events that differ only past the cut are still two events.
    events.add({large.substr(0, large.size() - 3) + "b\"}"}, 300);
    EXPECT_EQ(events.count(), 3);
}

TEST(CollectedEvents, DropsTheOldestEventsWhenTheTotalIsPassed) {
    auto databases = backend::DatabasePool::open("");
    const backend::CollectedEventLimits limits{1024, 16 * 1024};
    CollectedEvents events(*databases, limits);
    const std::size_t size = limits.eventBytes;
    const int fitting = static_cast<int>(limits.totalBytes / size);
    for (int batch = 0; batch < fitting / 4; ++batch) {
        std::vector<std::string> texts;
        for (int i = 0; i < 4; ++i) texts.push_back(eventOf(batch * 4 + i, size));
        events.add(texts, batch);
    }
    EXPECT_EQ(events.count(), fitting);
    events.add({eventOf(-1, size), eventOf(-2, 100)}, 1000);
    EXPECT_EQ(events.count(), fitting);
    EXPECT_LE(events.keptBytes(), static_cast<long long>(limits.totalBytes));
    const auto texts = events.texts();
    EXPECT_EQ(texts.front(), eventOf(2, size));
    EXPECT_EQ(texts.back(), eventOf(-2, 100));
}
