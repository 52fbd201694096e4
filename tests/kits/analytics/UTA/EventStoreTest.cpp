// The SQLite event store: insertion with its limits, batches with their
// send counts, failures and the cap, the user row and configuration rows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>

#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "tests/kits/analytics/UTA/FailingDisk.h"
#include "tests/kits/analytics/UTA/StoreFileRows.h"
#include "tests/support/UnwritablePath.h"
#include "tests/support/TempSandbox.h"

namespace {

// Each test's own store, under the library's settings as a new process has them.
class EventStore : public ::testing::Test {
protected:
    void SetUp() override { UTAResetForTests(); }
    void TearDown() override { UTAResetForTests(); }

    // Stores an event with a given time stamp and waits until it is done.
    bool store(std::uint32_t ts, std::string content = "", std::int32_t type = 1000) {
        Ref<RPOUTAEvent> event = type == 3 ? Ref<RPOUTAEvent>(make<RPOUTAErrorEvent>())
                                           : Ref<RPOUTAEvent>(make<RPOUTACustomEvent>());
        event->ts = ts;
        event->content = content.empty() ? "{\"n\":" + std::to_string(ts) + "}" : content;
        bool completed = false;
        db->storeEvent(event, false, [&] { completed = true; });
        settle();
        return completed;
    }
    std::vector<RPOUTAStoreEvent> loadBatch() {
        std::vector<RPOUTAStoreEvent> batch;
        db->taskQueue()->sync([&] { db->loadCachedEvents(batch); });
        return batch;
    }
    void settle() { db->taskQueue()->sync([] {}); }
    // Runs `sql` on the store's file beside the store's own connection.
    void onFile(const std::string& sql) { storeFileRows(db->getDbPath(), sql); }
    // A new store on the same file, as after a restart of the app.
    void restart() {
        db->shutDown();
        db = make<RPOUTAStore>();
        db->launch();
        settle();
    }
    int rows(const std::string& where = "1") {
        const auto count = storeFileRows(db->getDbPath(), "select count(*) from events where " + where);
        return count.empty() ? 0 : std::stoi(count[0][0]);
    }

    TempSandbox sandbox;
    Ref<RPOUTAStore> db = make<RPOUTAStore>();
};

}  // namespace

TEST_F(EventStore, AFreshInstallMakesTheFileAndItsTables) {
    const std::string caches = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true).front();
    EXPECT_EQ(db->getDbPath(), caches + "/.uta/.nimbus_analysis_RPOUTAStore");
    EXPECT_TRUE(NSFileManager::defaultManager()->fileExistsAtPath(db->getDbPath()));
    EXPECT_EQ(NSUserDefaults::standardUserDefaults()->integerForKey("UTA_SDK_DB_VER"), 1);
    EXPECT_EQ(db->getStoredEventsNum(), 0u);
}

TEST_F(EventStore, RefusesTooLongAndEmptyEventsButAlwaysCompletes) {
    EXPECT_TRUE(store(10, "{\"x\":\"" + std::string(4090, 'a') + "\"}"));  // 4097 characters
    EXPECT_TRUE(store(11, "{}"));
    EXPECT_EQ(rows(), 0);
    EXPECT_TRUE(store(12, "{\"x\":\"" + std::string(4090, 'a') + "\"}", 3));  // error events are kept
    EXPECT_TRUE(store(13, "{\"it's\":\"quoted'\"}"));
    EXPECT_EQ(rows(), 2);
    EXPECT_EQ(db->storedEventCount(), 2u);
}

TEST_F(EventStore, TheLengthLimitCountsCharactersNotUTF8Bytes) {
    // {"x":"…"} around Chinese text: 8 characters of JSON, one per Chinese character.
    const auto chinese = [](int count) {
        std::string text = "{\"x\":\"";
        for (int i = 0; i < count; ++i) text += "推";
        return text + "\"}";
    };
    EXPECT_TRUE(store(10, chinese(4088)));  // 4096 characters, 12272 bytes
    EXPECT_EQ(rows(), 1);
    EXPECT_TRUE(store(11, chinese(4089)));  // 4097 characters: refused
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(storeFileRows(db->getDbPath(), "select ts from events"),
              (std::vector<std::vector<std::string>>{{"10"}}));
}

TEST_F(EventStore, BatchesRaiseSendCountsAndOnlyARowSentAloneUsesUpItsTries) {
    for (std::uint32_t ts = 1; ts <= 70; ++ts) store(ts);
    auto first = loadBatch();
    ASSERT_EQ(first.size(), 30u);
    EXPECT_EQ(first.front().ts, 1u);
    EXPECT_EQ(first.front().sendCount, 1);
    db->updateEvents(first, RPOUTAStore::kSending);
    settle();
    EXPECT_EQ(db->storedEventCount(), 40u);
    auto second = loadBatch();
    EXPECT_EQ(second.front().ts, 31u) << "rows in flight are not loaded again";

    // Only the failed batch's rows return, none of them charged a try:
    // which of them made it fail is not known.
    db->updateSendFailedEvents(first);
    settle();
    EXPECT_EQ(rows("status = 1"), 70);
    EXPECT_EQ(rows("ts <= 30 and send_count = 0"), 30);

    // The batches after a failure halve, down to a row sent alone.
    std::vector<std::size_t> sizes;
    for (std::size_t size = 0; size != 1;) {
        auto batch = loadBatch();
        size = batch.size();
        sizes.push_back(size);
        db->updateSendFailedEvents(batch);
        settle();
    }
    EXPECT_EQ(sizes, (std::vector<std::size_t>{15, 7, 3, 1}));
    // Alone, its tries count: the third failure deletes it.
    auto again = loadBatch();
    EXPECT_EQ(again.front().sendCount, 2);
    db->updateSendFailedEvents(again);
    settle();
    auto last = loadBatch();
    EXPECT_EQ(last.front().sendCount, 3);
    EXPECT_EQ(rows("ts = 1"), 1) << "a row on its last try stays until the try fails";
    db->updateSendFailedEvents(last);
    settle();
    EXPECT_EQ(rows("ts = 1"), 0) << "a row never comes back after its last try";
    EXPECT_EQ(rows("ts <= 30 and send_count = 0"), 29) << "the rows it was sent with keep all their tries";

    // A delivered batch is deleted, then the callback runs.
    auto sent = loadBatch();
    bool deleted = false;
    db->deleteEvents(sent, [&] { deleted = true; });
    settle();
    EXPECT_TRUE(deleted);
    EXPECT_EQ(rows(), 68);
}

TEST_F(EventStore, AFileThatIsNoDatabaseIsReplacedLikeADamagedOne) {
    const std::string path = db->getDbPath();
    db->shutDown();
    {
        std::ofstream file(path, std::ios::trunc);
        for (int line = 0; line < 200; ++line) file << "not a database at all\n";
    }
    db = make<RPOUTAStore>();
    EXPECT_TRUE(store(10));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(db->storedEventCount(), 1u);
}

TEST_F(EventStore, TheCapErasesEveryRowOfTheOldestSecond) {
    RPOUTAConfig::getInstance()->setMaxStoreEventCount(4);
    for (std::uint32_t ts : {100u, 100u, 101u, 102u}) store(ts);
    store(103);
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(rows("ts = 100"), 0);
    EXPECT_EQ(db->storedEventCount(), 3u) << "the count is what the file holds";
}

TEST_F(EventStore, LaunchReturnsRowsLeftInFlight) {
    for (std::uint32_t ts = 1; ts <= 3; ++ts) store(ts);
    db->updateEvents(loadBatch(), RPOUTAStore::kSending);
    settle();
    EXPECT_EQ(db->storedEventCount(), 0u);
    auto relaunched = make<RPOUTAStore>();
    relaunched->launch();
    relaunched->taskQueue()->sync([] {});
    EXPECT_EQ(relaunched->storedEventCount(), 3u);
}

TEST_F(EventStore, UserAndConfigurationRows) {
    auto user = db->loadUser();
    EXPECT_EQ(user->userType, 0);
    EXPECT_EQ(db->getUtaStableUDID(), user->uid);
    user->userType = 3;
    user->appVer = "2.0'";
    db->storeUser(user);
    settle();
    auto again = db->loadUser();
    EXPECT_EQ(again->userType, 3);
    EXPECT_EQ(again->appVer, "2.0'");

    for (std::uint32_t version : {1u, 2u}) {
        auto config = make<RPOUTADataConfig>();
        config->type = 2;
        config->content = "{\"k\":\"v\"}";
        config->md5 = "m";
        config->version = version;
        db->storeConfig(config);
    }
    settle();
    std::vector<Ref<RPOUTADataConfig>> loaded;
    db->loadConfig([&](const Ref<RPOUTADataConfig>& config) { loaded.push_back(config); });
    ASSERT_EQ(loaded.size(), 1u);
    EXPECT_EQ(loaded[0]->version, 2u);
    EXPECT_EQ(loaded[0]->content, "{\"k\":\"v\"}");
}

TEST_F(EventStore, InMemoryBatchesAreFirstInFirstOut) {
    for (int i = 0; i < 3; ++i) {
        auto event = make<RPOUTACustomEvent>();
        event->content = "{\"i\":" + std::to_string(i) + "}";
        db->enqueueMemEvent(event);
    }
    std::vector<RPOUTAStoreEvent> batch;
    db->loadMemCachedEvents(batch);
    ASSERT_EQ(batch.size(), 3u);
    EXPECT_EQ(batch[0].content, "{\"i\":0}");
    batch.clear();
    db->loadMemCachedEvents(batch);
    EXPECT_TRUE(batch.empty());
}

TEST_F(EventStore, RowsThatCannotBeReadAreDroppedAndTheOthersStillLoad) {
    NSLogCapture log;
    RPOUTAConfig::getInstance()->setDebugEnable(true);
    for (std::uint32_t ts = 1; ts <= 7; ++ts) store(ts);
    onFile("update events set send_count = 'x' where ts = 1");
    onFile("update events set ts = 'abc' where ts = 2");
    onFile("update events set status = '' where ts = 3");
    onFile("update events set send_count = NULL where ts = 4");
    // Values the store never writes: a count of tries that would overflow, a state of no meaning.
    onFile("update events set send_count = 9223372036854775807 where ts = 5");
    onFile("update events set status = 7 where ts = 6");
    auto batch = loadBatch();
    ASSERT_EQ(batch.size(), 1u);
    EXPECT_EQ(batch[0].ts, 7u);
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(db->storedEventCount(), 1u);
    EXPECT_TRUE(log.contains("Dropped 6 rows of events that cannot be read"));

    // The user row and the configuration rows read the same way.
    const std::string uid = db->loadUser()->uid;
    onFile("update user set user_type = 'x'");
    EXPECT_EQ(db->loadUser()->uid, uid) << "a damaged user row is made again";
    onFile("insert into user values('~second', 0, '1', 1)");
    EXPECT_EQ(db->loadUser()->uid, uid) << "one user, never an empty uid";
    EXPECT_EQ(db->getUtaStableUDID(), uid);
    EXPECT_EQ(storeFileRows(db->getDbPath(), "select count(*) from user"),
              (std::vector<std::vector<std::string>>{{"1"}}));
    onFile("insert into config values(1, '{}', 'm', 'abc'), (2, '{}', 'm', 4), (3, '{}', 'm', 4294967297)");
    std::vector<std::uint32_t> versions;
    db->loadConfig([&](const Ref<RPOUTADataConfig>& config) { versions.push_back(config->version); });
    EXPECT_EQ(versions, std::vector<std::uint32_t>{4});
}

TEST_F(EventStore, ARowIsChargedATryWhenItFailsNotWhenItIsLoaded) {
    for (std::uint32_t ts = 1; ts <= 6; ++ts) store(ts);
    onFile("update events set send_count = 2 where ts = 1");  // on its last try
    restart();
    auto batch = loadBatch();
    ASSERT_EQ(batch.size(), 6u);
    db->updateSendFailedEvents(batch);
    settle();
    EXPECT_EQ(rows("status = 1"), 6);

    // A process that dies with a batch in flight charges none of it.
    db->updateEvents(loadBatch(), RPOUTAStore::kSending);
    settle();
    restart();
    EXPECT_EQ(rows("status = 1 and send_count = 0"), 5);
    EXPECT_EQ(db->storedEventCount(), 6u);
}

TEST_F(EventStore, AStoreThatCannotUseItsFileSetsItAsideAndGoesOnStoring) {
    const std::string path = db->getDbPath();
    const auto storesAgain = [&](const std::function<void()>& spoil) {
        db->shutDown();
        std::filesystem::remove_all(path);
        std::filesystem::remove_all(path + ".unusable");
        spoil();
        db = make<RPOUTAStore>();
        return store(7) && loadBatch().size() == 1u;
    };
    EXPECT_TRUE(storesAgain([&] { std::filesystem::create_directories(path + "/inside"); }));
    EXPECT_TRUE(std::filesystem::is_directory(path + ".unusable/inside"));
    EXPECT_TRUE(storesAgain([&] { storeFileRows(path, "create table events(id INTEGER, body TEXT)"); }));
    EXPECT_EQ(storeFileRows(path + ".unusable", "select count(*) from events"),
              (std::vector<std::vector<std::string>>{{"0"}}));
    EXPECT_EQ(rows(), 1);
    // The store's column names, but no row id behind event_id: it would stay NULL.
    EXPECT_TRUE(storesAgain([&] {
        storeFileRows(path, "create table events(event_id INTEGER, content TEXT, status INTEGER, send_count INTEGER, "
                            "ts INTEGER)");
    }));

    // A file that cannot be written and holds none of the store's tables:
    // moved aside when it can be, else the events stay in memory.
    std::unique_ptr<UnwritablePath> readOnly;
    EXPECT_TRUE(storesAgain([&] {
        storeFileRows(path, "select 1");
        readOnly = std::make_unique<UnwritablePath>(path);
    }));
}

TEST_F(EventStore, EventsStoredAfterTheFileIsReplacedUnderTheOpenStoreGoIntoTheNewOne) {
    store(1);
    auto inFlight = loadBatch();
    db->updateEvents(inFlight, RPOUTAStore::kSending);
    settle();
    const std::string path = db->getDbPath();
    std::filesystem::remove(path);
    storeFileRows(path, "select 1");  // an empty database in its place
    EXPECT_TRUE(store(2));
    EXPECT_EQ(rows(), 1);
    // The batch of the old file does not touch the new file's row of the same id.
    db->deleteEvents(inFlight, nullptr);
    settle();
    EXPECT_EQ(rows("ts = 2"), 1);

    // Overwritten in place: the event being stored goes into a fresh file.
    std::ofstream(path, std::ios::trunc) << std::string(8192, 'x');
    EXPECT_TRUE(store(3));
    EXPECT_EQ(rows("ts = 3"), 1);
}

TEST_F(EventStore, ADeliveredRowDeletesItselfWhateverItsId) {
    for (std::uint32_t ts = 1; ts <= 4; ++ts) store(ts);
    onFile("update events set event_id = 4294967297 where ts = 2");  // 2^32 + 1
    onFile("update events set event_id = -1 where ts = 3");
    onFile("update events set event_id = 0 where ts = 4");
    auto batch = loadBatch();
    ASSERT_EQ(batch.size(), 4u);
    batch.erase(batch.begin());  // ts 1 stays unsent
    db->deleteEvents(batch, nullptr);
    settle();
    EXPECT_EQ(storeFileRows(db->getDbPath(), "select ts from events"),
              (std::vector<std::vector<std::string>>{{"1"}}));
}

TEST_F(EventStore, AFileWithNoRowIdLeftIsSetAsideAndLaterEventsReachTheDisk) {
    const std::string largest = std::to_string(std::numeric_limits<std::int64_t>::max());
    // The largest id held by a row, delivered since, or by the counter alone.
    const auto usedUp = [&](const std::function<void()>& useUp, std::uint32_t ts) {
        useUp();
        EXPECT_TRUE(store(ts));
        restart();
        return rows("ts = " + std::to_string(ts)) == 1;
    };
    EXPECT_TRUE(usedUp([&] {
        onFile("insert into events values(" + largest + ", '{}', 1, 0, 1)");
        db->deleteEvents(loadBatch(), nullptr);
        settle();
    }, 2));
    // The counter as SQLite reads it: an integer, a real, a long text of digits.
    std::uint32_t ts = 3;
    for (const std::string& counter : {largest, std::string("1e19"), std::string("'99999999999999999999'")}) {
        EXPECT_TRUE(usedUp([&] { onFile("update sqlite_sequence set seq = " + counter + " where name = 'events'"); }, ts))
            << counter;
        ++ts;
    }
    EXPECT_TRUE(std::filesystem::exists(db->getDbPath() + ".unusable"));
}

TEST_F(EventStore, RowsOfAFileOutOfIdsGoOnInTheFreshOneAndABatchInFlightMeetsItsEnd) {
    const std::string beforeLast = std::to_string(std::numeric_limits<std::int64_t>::max() - 1);
    // How the batch in flight when the file is set aside ends: delivered or failed.
    for (const bool delivered : {true, false}) {
        onFile("delete from events");
        onFile("insert into events values(100, '{\"n\":1}', 1, 0, 1)");
        onFile("insert into events values(" + beforeLast + ", '{\"n\":2}', 1, 0, 2)");
        restart();
        auto inFlight = loadBatch();
        ASSERT_EQ(inFlight.size(), 2u);
        db->updateEvents(inFlight, RPOUTAStore::kSending);
        ASSERT_TRUE(store(3));  // the last id
        ASSERT_TRUE(store(4));  // none left: the file is set aside
        if (delivered) db->deleteEvents(inFlight, nullptr);
        else db->updateSendFailedEvents(inFlight);
        settle();
        const std::vector<std::vector<std::string>> waiting =
            storeFileRows(db->getDbPath(), "select ts, status from events order by ts");
        EXPECT_EQ(waiting, delivered ? (std::vector<std::vector<std::string>>{{"3", "1"}, {"4", "1"}})
                                     : (std::vector<std::vector<std::string>>{{"1", "1"}, {"2", "1"}, {"3", "1"}, {"4", "1"}}))
            << (delivered ? "delivered" : "failed");
    }
}

TEST_F(EventStore, TheUidIsTheSameBeforeTheUserIsLoadedAsAfter) {
    const auto sameBeforeAndAfter = [&](const std::string& userRow) {
        onFile("delete from user");
        if (!userRow.empty()) onFile("insert into user values(" + userRow + ")");
        restart();
        const std::string before = db->getUtaStableUDID();
        return !before.empty() && before == db->loadUser()->uid;
    };
    EXPECT_TRUE(sameBeforeAndAfter(""));
    EXPECT_TRUE(sameBeforeAndAfter("'', 0, '1', 1"));
    EXPECT_TRUE(sameBeforeAndAfter("'damaged', 'x', '1', 1"));
}

TEST_F(EventStore, TablesGoneFromUnderTheOpenStoreAreMadeAgain) {
    store(1);
    auto inFlight = loadBatch();
    db->updateEvents(inFlight, RPOUTAStore::kSending);
    settle();
    onFile("drop table events");
    EXPECT_TRUE(store(2));
    EXPECT_EQ(rows("ts = 2"), 1);
    // The new row took the id the batch in flight had: the batch leaves it alone.
    db->deleteEvents(inFlight, nullptr);
    settle();
    EXPECT_EQ(rows("ts = 2"), 1);

    std::filesystem::resize_file(db->getDbPath(), 0);  // emptied in place
    EXPECT_TRUE(store(3));
    EXPECT_EQ(rows("ts = 3"), 1);
    EXPECT_EQ(db->storedEventCount(), 1u);
}

TEST_F(EventStore, OnAFullDiskEventsWaitInMemoryAndDeliveredRowsAreStillDeleted) {
    store(1);
    FailingDisk disk(FailingDisk::kNoRoom);
    restart();
    const std::string large = "{\"x\":\"" + std::string(3000, 'a') + "\"}";
    for (std::uint32_t ts = 2; ts <= 4; ++ts) EXPECT_TRUE(store(ts, large));
    EXPECT_LT(rows(), 4) << "the file had no room for them all";
    EXPECT_EQ(db->storedEventCount(), 4u);

    // A failed batch returns those sent from memory as well.
    db->updateSendFailedEvents(loadBatch());
    settle();
    EXPECT_EQ(db->storedEventCount(), 4u);

    std::vector<RPOUTAStoreEvent> sent;
    for (auto batch = loadBatch(); !batch.empty(); batch = loadBatch()) {
        db->updateEvents(batch, RPOUTAStore::kSending);
        settle();
        sent.insert(sent.end(), batch.begin(), batch.end());
    }
    ASSERT_EQ(sent.size(), 4u);
    EXPECT_EQ(sent.back().ts, 4u);
    db->deleteEvents(sent, nullptr);
    settle();
    EXPECT_EQ(rows(), 0) << "delivered rows are deleted";
    EXPECT_EQ(db->storedEventCount(), 0u);
    EXPECT_TRUE(loadBatch().empty());
}
