// What the collected-events table keeps: each event once (told by its
// digest), at most a bounded part of one event, and a database of bounded
// bytes, the oldest events dropped first; what older versions kept.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "backend/CollectedEvents.h"
#include "backend/Database.h"
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
    // Events that differ only past the cut are still two events.
    events.add({large.substr(0, large.size() - 3) + "b\"}"}, 300);
    EXPECT_EQ(events.count(), 3);
}

// A database file of its own in a folder in shared memory, removed at the end.
class CollectedEventsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(::mkdtemp(folder.data())); }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::uintmax_t bytesOnDisk() {
        std::uintmax_t total = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) total += entry.file_size();
        return total;
    }
    std::string folder = ((std::filesystem::is_directory("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                      : std::filesystem::temp_directory_path()) /
                          "velmaro-events-XXXXXX")
                             .string();
    std::string path() const { return folder + "/analytics.db"; }
};

TEST_F(CollectedEventsFile, TinyEventsKeepTheFileAndItsJournalWithinTheirBytesDroppingTheOldest) {
    const backend::CollectedEventLimits limits{1024, 4 << 20};
    ASSERT_FALSE(CollectedEvents::prepareFile(path(), limits));
    auto databases = backend::DatabasePool::open(path());
    CollectedEvents events(*databases, limits);
    std::uintmax_t largest = 0;
    int sent = 0;
    for (int batch = 0; batch < 400; ++batch) {
        std::vector<std::string> texts;
        for (int i = 0; i < 64; ++i) texts.push_back("{\"n\":" + std::to_string(sent++) + "}");
        events.add(texts, batch);
        largest = std::max(largest, bytesOnDisk());
    }
    EXPECT_LE(largest, limits.databaseBytes);
    const auto texts = events.texts();
    EXPECT_GT(texts.size(), 5000u);
    EXPECT_LT(texts.size(), static_cast<std::size_t>(sent));
    EXPECT_EQ(texts.back(), "{\"n\":" + std::to_string(sent - 1) + "}");
    // The newest kept are all the last ones sent.
    EXPECT_EQ(texts.front(), "{\"n\":" + std::to_string(sent - static_cast<int>(texts.size())) + "}");
}

TEST_F(CollectedEventsFile, LargeEventsAfterTinyOnesFromSeveralSendersKeepTheFileAndJournalWithinTheirBytes) {
    const backend::CollectedEventLimits limits{1024, 4 << 20};
    ASSERT_FALSE(CollectedEvents::prepareFile(path(), limits));
    auto databases = backend::DatabasePool::open(path());
    CollectedEvents events(*databases, limits);
    // The file full of tiny events: their digests fill the index.
    for (int batch = 0, n = 0; batch < 400; ++batch) {
        std::vector<std::string> texts;
        for (int i = 0; i < 64; ++i) texts.push_back(eventOf(n++, 32));
        events.add(texts, batch);
    }
    // Then requests of large events from four senders: each drops
    // thousands of tiny events, scattered over the whole index.
    std::atomic<std::uintmax_t> largest{0};
    std::vector<std::thread> senders;
    for (int sender = 0; sender < 4; ++sender) {
        senders.emplace_back([&, sender] {
            for (int batch = 0; batch < 4; ++batch) {
                std::vector<std::string> texts;
                for (int i = 0; i < 256; ++i) texts.push_back(eventOf(1'000'000 * (sender + 1) + batch * 1000 + i, 1000));
                events.add(texts, 1000 + batch);
                std::uintmax_t now = bytesOnDisk(), seen = largest;
                while (now > seen && !largest.compare_exchange_weak(seen, now)) {
                }
            }
        });
    }
    for (auto& sender : senders) sender.join();
    EXPECT_LE(largest, limits.databaseBytes);
    EXPECT_GT(events.count(), 0);
}

TEST_F(CollectedEventsFile, AnOlderFileLargerThanTheBoundKeepsItsNewestEvents) {
    const backend::CollectedEventLimits limits{4096, 4 << 20};
    constexpr int kRows = 6144;  // 6 MB of events: more than the pages' share of 4 MiB
    {
        auto older = backend::Database::open(path());
        older->execute("CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, content TEXT NOT NULL UNIQUE, "
                       "received_at INTEGER NOT NULL)");
        older->transaction([&] {
            for (int n = 0; n < kRows; ++n)
                older->prepare("INSERT INTO analytics_events (content, received_at) VALUES (?, 5)")
                    .bind({eventOf(n, 1000)})
                    .step();
        });
    }
    ASSERT_FALSE(CollectedEvents::prepareFile(path(), limits));
    EXPECT_LE(bytesOnDisk(), limits.databaseBytes);
    auto databases = backend::DatabasePool::open(path());
    CollectedEvents events(*databases, limits);
    const auto texts = events.texts();
    // As many of the newest as the pages' share holds, in order.
    EXPECT_GT(texts.size(), 1000u);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.back(), eventOf(kRows - 1, 1000));
    EXPECT_EQ(texts.front(), eventOf(kRows - static_cast<int>(texts.size()), 1000));
}

TEST_F(CollectedEventsFile, AFileWithDamagedPagesIsRefusedByName) {
    {
        auto database = backend::Database::open(path());
        database->execute("CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, digest TEXT NOT NULL UNIQUE, "
                          "length INTEGER NOT NULL, kept INTEGER NOT NULL, received_at INTEGER NOT NULL, "
                          "content TEXT NOT NULL)");
        for (int n = 0; n < 200; ++n)
            database->prepare("INSERT INTO analytics_events (digest, length, kept, received_at, content) "
                              "VALUES (?, 1000, 1000, 5, ?)")
                .bind({std::to_string(n), eventOf(n, 1000)})
                .step();
    }
    // The header page stays; pages past it are overwritten.
    {
        std::fstream file(path(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(3 * 4096);
        const std::string garbage(8 * 4096, '\x5a');
        file.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    const auto refused = CollectedEvents::prepareFile(path());
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find(path()), std::string::npos) << *refused;
}

TEST_F(CollectedEventsFile, AnOlderVersionsEventsAreMovedAndAnUnknownTableIsRefusedByName) {
    const std::vector<std::string> olderTables = {
        // Texts unique by themselves.
        "CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, content TEXT NOT NULL UNIQUE, "
        "received_at INTEGER NOT NULL)",
        // Digests without the kept size, a running total by triggers.
        "CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, digest TEXT NOT NULL UNIQUE, "
        "content TEXT NOT NULL, length INTEGER NOT NULL, received_at INTEGER NOT NULL);"
        "CREATE TABLE analytics_totals (bytes INTEGER NOT NULL); INSERT INTO analytics_totals VALUES (0);"
        "CREATE TRIGGER analytics_event_kept AFTER INSERT ON analytics_events BEGIN "
        "UPDATE analytics_totals SET bytes = bytes + length(CAST(NEW.content AS BLOB)); END",
    };
    for (const std::string& table : olderTables) {
        std::filesystem::remove_all(folder);
        std::filesystem::create_directory(folder);
        {
            auto older = backend::Database::open(path());
            older->execute(table);
            const bool digests = table.find("digest") != std::string::npos;
            for (int n : {1, 2}) {
                older->execute("INSERT INTO analytics_events (" + std::string(digests ? "digest, length, " : "") +
                               "content, received_at) VALUES (" +
                               (digests ? "'d" + std::to_string(n) + "', 7, " : std::string()) + "'{\"n\":" +
                               std::to_string(n) + "}', 5)");
            }
        }
        ASSERT_FALSE(CollectedEvents::prepareFile(path())) << table;
        auto databases = backend::DatabasePool::open(path());
        CollectedEvents events(*databases);
        events.add({R"({"n":2})", R"({"n":3})"}, 6);
        EXPECT_EQ(events.texts(), (std::vector<std::string>{R"({"n":1})", R"({"n":2})", R"({"n":3})"})) << table;
    }

    std::filesystem::remove_all(folder);
    std::filesystem::create_directory(folder);
    backend::Database::open(path())->execute("CREATE TABLE analytics_events (id INTEGER PRIMARY KEY, name TEXT)");
    const auto refused = CollectedEvents::prepareFile(path());
    ASSERT_TRUE(refused);
    EXPECT_NE(refused->find(path()), std::string::npos);
}
