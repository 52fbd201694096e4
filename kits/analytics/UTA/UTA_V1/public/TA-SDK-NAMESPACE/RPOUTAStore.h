#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAUser.h"

// One stored event row in memory.
struct RPOUTAStoreEvent {
    std::uint32_t eventId = 0;
    std::uint32_t status = 0;
    std::uint32_t ts = 0;
    std::string content;
    std::int64_t sendCount = 0;
};

// The events waiting to be sent, the analytics user and the online
// configuration, in one SQLite file in the caches folder's ".uta" folder.
// Event work runs on the serial queue "StatStore"; every statement binds its
// values and runs under the library's one SQLite lock.
class RPOUTAStore : public NSObject {
public:
    // Row states: waiting, and loaded into a batch that is in flight.
    static constexpr std::int32_t kStored = 1, kSending = 2;

    static Ref<RPOUTAStore> getInstance();
    RPOUTAStore();
    ~RPOUTAStore() override;
    std::string className() const override { return "RPOUTAStore"; }

    // The ".uta" folder (made when missing) and the file in it.
    static std::string getUTAStorePath();
    std::string getDbPath();
    sqlite3* getDB();
    void closeDB();
    void deleteDB();
    void initDB();
    // Returns rows an earlier run left in flight to the stored state.
    void launch();

    std::string getUtaStableUDID();
    std::uint32_t getStoredEventsNum();
    std::uint32_t storedEventCount() const { return numStoredEvents_; }

    // Stores the event (its JSON text) unless it is too long or empty; the
    // completion runs on the store queue in every case.
    void storeEvent(const Ref<RPOUTAEvent>& event, bool hasTrySent, std::function<void()> completion);
    // On the store queue: the next batch of stored rows (send counts raised;
    // a row on its last allowed try is deleted as it is loaded).
    void loadCachedEvents(std::vector<RPOUTAStoreEvent>& batch);
    // Up to a batch of the in-memory queue, oldest first.
    void loadMemCachedEvents(std::vector<RPOUTAStoreEvent>& batch);
    void enqueueMemEvent(const Ref<RPOUTAEvent>& event);
    void updateEvents(std::vector<RPOUTAStoreEvent> batch, std::int32_t status);
    void deleteEvents(std::vector<RPOUTAStoreEvent> batch, std::function<void()> callback);
    void updateSendFailedEvents(std::vector<RPOUTAStoreEvent> batch);

    void storeUser(const Ref<RPOUTAUser>& user);
    Ref<RPOUTAUser> loadUser();
    void storeConfig(const Ref<RPOUTADataConfig>& config);
    void loadConfig(const std::function<void(const Ref<RPOUTADataConfig>&)>& block);

    const Ref<DispatchQueue>& taskQueue() const { return taskQueue_; }

private:
    // One statement with bound values (integers or texts); rows of texts
    // into `rows` when given, a row with a NULL column dropped. SQLite's
    // result; -1 without a connection.
    int execute(const std::string& sql, const Array& values, std::vector<std::vector<std::string>>* rows = nullptr);
    // The same, deleting and recreating a corrupt file.
    int updateDatabase(const std::string& sql, const Array& values = {});
    void recount();
    // Statements per row in one transaction, failures once more in a second.
    void runPerRow(const std::vector<RPOUTAStoreEvent>& batch,
                   const std::function<std::optional<std::pair<std::string, Array>>(const RPOUTAStoreEvent&)>& statement);

    Ref<DispatchQueue> taskQueue_ = DispatchQueue::serial("StatStore");
    sqlite3* db_ = nullptr;
    sqlite3_stmt* insertEvent_ = nullptr;
    sqlite3_stmt* replaceConfig_ = nullptr;
    std::atomic<std::uint32_t> numStoredEvents_{0};
    std::mutex memEventLock_;
    std::deque<Ref<RPOUTAEvent>> cachedEventsArr_;
};
