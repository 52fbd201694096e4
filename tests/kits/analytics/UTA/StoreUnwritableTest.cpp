// A store file that cannot take the store's writes (a full disk, a folder or
// a file that cannot be written): each waiting event reaches the collector
// once in the process that sends it, counted as sent, whether or not its
// deletion reaches the file, and at most once more after a restart.
#include <gtest/gtest.h>

#include "tests/kits/analytics/UTA/CountedStoreFixture.h"
#include "tests/kits/analytics/UTA/FailingDisk.h"
#include "tests/support/UnwritablePath.h"

namespace {

constexpr int kRowsWaiting = 100;
// Events stored while the file is in trouble.
const std::vector<std::string> kStoredInTrouble{R"({"new":1})", R"({"new":2})"};

class StoreUnwritable : public CountedStoreFixture {
protected:
    // Stores the new events and sends everything the store holds.
    void storeNewAndSend() {
        for (std::size_t i = 0; i < kStoredInTrouble.size(); ++i) ASSERT_TRUE(stored(kStoredInTrouble[i], 1000 + static_cast<std::uint32_t>(i)));
        sendStored();
    }
    std::vector<int> newSent() { return proxy->timesSent(kStoredInTrouble); }
};

}  // namespace

TEST_F(StoreUnwritable, ACommitTheDiskHasNoRoomForGoesThroughWithTheJournalInMemory) {
    prepareFile(kRowsWaiting);
    {
        FailingDisk disk(FailingDisk::kNoRoomForJournals);
        restart(30);
        storeNewAndSend();
        EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
        EXPECT_EQ(store->storedEventCount(), 0u);
    }
    // The deletions reached the disk: nothing goes again.
    restart(30);
    sendStored();
    EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
    EXPECT_EQ(newSent(), (std::vector<int>{1, 1}));
}

TEST_F(StoreUnwritable, DeliveredRowsWhoseDeletionNeverReachesTheDiskAreNotSentAgain) {
    prepareFile(kRowsWaiting);
    {
        FailingDisk disk(FailingDisk::kNothingKept);
        restart(30);
        storeNewAndSend();
        EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
        EXPECT_EQ(newSent(), (std::vector<int>{1, 1})) << "new events wait in memory";
        EXPECT_EQ(store->storedEventCount(), 0u);
    }
    restart(30);
    sendStored();
    EXPECT_EQ(sentOutside(kRowsWaiting, 1, 2), (std::map<std::string, int>{})) << "once more at most after a restart";
    EXPECT_EQ(newSent(), (std::vector<int>{1, 1}));
}

TEST_F(StoreUnwritable, AFolderThatCannotBeWrittenStillHasItsDeliveredRowsDeleted) {
    const std::string path = prepareFile(kRowsWaiting);
    {
        restart(30);
        UnwritablePath folder(RPOUTAStore::getUTAStorePath());
        if (!folder.made()) GTEST_SKIP() << "this file system does not let a folder be made unwritable";
        storeNewAndSend();
        EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
        EXPECT_EQ(store->storedEventCount(), 0u);
    }
    restart(30);
    sendStored();
    EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
    EXPECT_EQ(newSent(), (std::vector<int>{1, 1}));
    EXPECT_TRUE(storeFileRows(path, "select * from events").empty());
}

TEST_F(StoreUnwritable, AReadOnlyFileIsReadItsEventsSentAndItsUserAndConfigurationKept) {
    // Ten rows in flight when the last process ended, which cannot be
    // returned to waiting in this file.
    const std::string path = prepareFile(kRowsWaiting, 10);
    {
        UnwritablePath file(path);
        if (!file.made()) GTEST_SKIP() << "this file system does not let a file be made read-only";
        restart(30);
        EXPECT_EQ(store->loadUser()->userType, 3);
        std::vector<std::uint32_t> configs;
        store->loadConfig([&](const Ref<RPOUTADataConfig>& config) { configs.push_back(config->version); });
        EXPECT_EQ(configs, std::vector<std::uint32_t>{4});
        storeNewAndSend();
        EXPECT_EQ(notSentOnce(kRowsWaiting), (std::map<std::string, int>{}));
        EXPECT_EQ(newSent(), (std::vector<int>{1, 1})) << "new events wait in memory";
        EXPECT_EQ(store->storedEventCount(), 0u);
    }
    EXPECT_FALSE(std::filesystem::exists(path + ".unusable")) << "the file was not set aside";
    restart(30);
    sendStored();
    EXPECT_EQ(sentOutside(kRowsWaiting, 1, 2), (std::map<std::string, int>{})) << "once more at most after a restart";
    EXPECT_EQ(newSent(), (std::vector<int>{1, 1}));
}
