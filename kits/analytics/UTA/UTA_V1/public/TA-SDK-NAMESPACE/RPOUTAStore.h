#pragma once

#include <sqlite3.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAUser.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAQueue.h"

class RPOUTASocket;

// One stored event row in memory.
struct RPOUTAStoreEvent {
    // SQLite's row id, whole: a row is deleted or marked by its own id only.
    std::int64_t eventId = 0;
    std::uint32_t status = 0;
    std::uint32_t ts = 0;
    std::string content;
    std::int64_t sendCount = 0;
    // Which opening of the store file the row was loaded from: a batch of a
    // file that has since been replaced touches no row of the new one. 0 for
    // an event sent from memory because the file could not take it.
    std::uint64_t fileGeneration = 0;
};

// The events waiting to be sent, the analytics user and the online
// configuration, in one SQLite file in the caches folder's ".uta" folder.
// Event work runs on the serial queue "StatStore"; every statement binds its
// values and runs under the library's one SQLite lock. Batches go out
// through the report channel, one stored batch in flight at a time.
//
// A file the store cannot read (not a database, damaged, a folder, a table
// of other columns) is moved aside and a fresh one made; when even that
// fails the events are kept in a database in memory until the process ends.
// A file it may read but not write is used as it is. A sound file with no
// event row id left is replaced by a fresh one holding all it held, built
// beside it and renamed into place, so that ending the process at any
// moment loses nothing; when that cannot be done its rows stay in it and
// new events wait in memory. A file replaced under the open store is
// noticed at the next statement and the one now at the path is opened;
// tables gone from under it are made again. A write the file cannot take
// (a full disk, a folder or file that cannot be written) is run again with
// the journal in memory; when it still fails, an event waits in memory
// (written when the file takes it, sent from memory meanwhile) and a row
// whose deletion did not reach the file is left out of every later batch
// of this process.
class RPOUTAStore : public NSObject {
public:
    // Row states: waiting, and loaded into a batch that is in flight.
    static constexpr std::int32_t kStored = 1, kSending = 2;

    static Ref<RPOUTAStore> getInstance();
    // Sends through `channel`; by default the library's one channel.
    explicit RPOUTAStore(Ref<RPOUTASocket> channel = nullptr);
    ~RPOUTAStore() override;
    std::string className() const override { return "RPOUTAStore"; }

    // The ".uta" folder (made when missing) and the file in it.
    static std::string getUTAStorePath();
    std::string getDbPath();
    sqlite3* getDB();
    void closeDB();
    // Closes the file for good: later operations find no database, so work
    // still queued for this store cannot reach a file opened after it.
    void shutDown();
    void deleteDB();
    void initDB();
    // Returns rows an earlier run left in flight to the stored state.
    void launch();

    // The uid of the store's user, the same before it is loaded as after.
    std::string getUtaStableUDID();
    std::uint32_t getStoredEventsNum();
    // The events waiting, in the file and in memory.
    std::uint32_t storedEventCount() const { return numStoredEvents_; }

    // Stores the event (its JSON text) unless it is too long or empty, in
    // memory while the file cannot take it; the completion runs on the store
    // queue in every case.
    void storeEvent(const Ref<RPOUTAEvent>& event, bool hasTrySent, std::function<void()> completion);
    // On the store queue: the next batch of stored rows, oldest first, each
    // with the try under way counted in its sendCount (the file is charged
    // only when the try fails), then events the file could not take. Rows
    // that cannot be read are dropped.
    void loadCachedEvents(std::vector<RPOUTAStoreEvent>& batch);
    // Up to a batch of the in-memory queue, oldest first.
    void loadMemCachedEvents(std::vector<RPOUTAStoreEvent>& batch);
    void enqueueMemEvent(const Ref<RPOUTAEvent>& event);
    // How many events wait in the in-memory queue.
    std::size_t memCachedEventCount();
    void updateEvents(std::vector<RPOUTAStoreEvent> batch, std::int32_t status);
    void deleteEvents(std::vector<RPOUTAStoreEvent> batch, std::function<void()> callback);
    // A failed batch's rows return to waiting. A batch of several rows
    // costs none of them a try and halves the batches that follow; each
    // delivered batch doubles them again, back to the setting's size. A row
    // sent alone is charged its try, and goes after its last allowed one.
    void updateSendFailedEvents(std::vector<RPOUTAStoreEvent> batch);

    // Sends a batch of stored events. After a delivered batch: -1 goes on
    // until no stored event is left; n >= 1 goes on while n or more remain
    // (or n was larger than the batch). A failed batch returns to waiting.
    void sendCachedEvents(std::int32_t count);
    // Sends the in-memory queue, batch after batch; a batch not delivered
    // is stored in the file, as a failed real-time event is.
    void sendMemCachedEvents(std::int32_t count);

    std::mutex& cacheEventLock() { return cacheEventLock_; }
    bool isSendingCacheEvent() const { return isSendingCacheEvent_; }
    void setIsSendingCacheEvent(bool flag) { isSendingCacheEvent_ = flag; }
    std::mutex& cacheMemEventLock() { return cacheMemEventLock_; }
    bool isSendingMemCacheEvent() const { return isSendingMemCacheEvent_; }
    void setIsSendingMemCacheEvent(bool flag) { isSendingMemCacheEvent_ = flag; }

    void storeUser(const Ref<RPOUTAUser>& user);
    Ref<RPOUTAUser> loadUser();
    void storeConfig(const Ref<RPOUTADataConfig>& config);
    void loadConfig(const std::function<void(const Ref<RPOUTADataConfig>&)>& block);

    const Ref<DispatchQueue>& taskQueue() const { return taskQueue_; }

    // For tests that end the process part-way: called at each step of
    // `renewFile` ("fresh file made", "event carried" after each row,
    // "fresh file complete", "old file kept aside", "fresh file in place").
    static void setRenewalStepHookForTests(std::function<void(const std::string&)> hook);

private:
    // One statement with bound values (integers or texts); rows of texts
    // into `rows` when given, a row with a NULL column dropped. SQLite's
    // result; -1 without a connection.
    int execute(const std::string& sql, const Array& values, std::vector<std::vector<std::string>>* rows = nullptr);
    // The same, mending the file when the result says it needs it, and run
    // again with the journal in memory when the file could not take a
    // statement of its own (not part of a transaction).
    int updateDatabase(const std::string& sql, const Array& values = {});
    // Ends the open transaction: SQLITE_OK when it reached the file. A
    // commit that failed leaves no transaction open and nothing of it kept.
    int commit();
    void rollBack();
    // Mends what a failed statement's result says of the file: one the store
    // cannot use is set aside for a fresh one, tables gone from under the
    // store are made again. YES when it mended something.
    bool mendFile(int result);
    // Runs `statement` once more after `mendFile` mended the file, and once
    // more with the journal in memory when the file could not take it.
    int runMended(const std::function<int()>& statement);
    // When `result` says the file could not take a write (no room, no
    // journal could be made, a file opened read-only, an I/O error), runs
    // `write` once more with the journal in memory, unless it already was;
    // the result that stands.
    int againWithJournalInMemory(int result, const std::function<int()>& write);
    // Steps a statement kept prepared between runs, mended as above.
    int runKept(sqlite3_stmt*& statement, const char* sql, const Array& values, const char* prepareFailure,
                const char* stepFailure);
    void withJournalInMemory(const std::function<void()>& work);
    // Writes one event row (status waiting) through the kept insertion.
    int insertRow(const RPOUTAStoreEvent& row);
    // On the store queue: erases the oldest event when the store holds its
    // most, so that one more fits.
    void makeRoomForOneMore();
    // On the store queue: counts the row among the stored events, in the
    // file behind those it could not take yet, else in memory.
    void keepRow(RPOUTAStoreEvent row);
    // Writes the events kept in memory into the file, oldest first, until
    // one does not go in.
    void writeUnwritten();
    void recount();
    // Opens the file at the store's path, or a fresh one in place of a file
    // it cannot use, or a database in memory; under the store lock.
    void openStore();
    // No new event row can be given an id: the id counter is at the
    // largest integer.
    bool rowIdsUsedUp();
    // Puts a fresh file in place of the open one, which has no row id left:
    // built beside it whole (events with their states and tries, the user
    // row, the configuration) in one transaction, then renamed over it, so
    // that the path always names a complete file. NO when it could not, and
    // the open file stays.
    bool renewFile();
    // A loaded row as the open file holds it, by its own id or the one it
    // was carried over to; none for a row of a file since replaced and not
    // carried.
    std::optional<RPOUTAStoreEvent> inCurrentFile(const RPOUTAStoreEvent& event) const;
    // The file was removed or replaced since it was opened.
    bool fileReplaced() const;
    // Moves the open file aside (unless another file took its place
    // meanwhile) and opens a fresh one.
    void replaceUnusableFile();
    // Deletes, with a log line, the rows of `table` that `unreadable` picks.
    void dropUnreadableRows(const std::string& table, const std::string& unreadable);
    Ref<RPOUTASocket> channel() const;
    void markEvents(const std::vector<RPOUTAStoreEvent>& batch, std::int32_t status);
    // Clears a sending flag under its lock.
    static void clearFlag(std::mutex& lock, std::atomic<bool>& flag);
    void growBatchLimit();
    // One row's statement; `deletes` when the row is gone for the store
    // once it has run.
    struct RowStatement {
        std::string sql;
        Array values;
        bool deletes = false;
    };
    // Statements per row in one transaction, failures once more in a second
    // (every row again, the journal in memory, when the file could not take
    // the first); rows of a file since replaced, or sent from memory, are
    // passed over. A row whose deletion still did not reach the file is gone
    // for this process all the same (`goneRows_`).
    void runPerRow(const std::vector<RPOUTAStoreEvent>& batch,
                   const std::function<RowStatement(const RPOUTAStoreEvent&)>& statement);
    // The ids of `goneRows_` as a JSON array, for the clause that leaves them out.
    std::string goneRowIds() const;
    // The values of the clause that picks the waiting rows: the states that
    // wait, and the rows left out.
    Array waitingRowValues() const;

    Ref<DispatchQueue> taskQueue_ = DispatchQueue::serial("StatStore");
    sqlite3* db_ = nullptr;
    bool shutDown_ = false;  // under the store lock
    // The open file (path, device and inode; no path for the in-memory
    // database) and how many times a file was opened; under the store lock.
    std::string openPath_;
    std::uint64_t openDevice_ = 0, openInode_ = 0;
    std::uint64_t fileGeneration_ = 0;
    // Rows of a batch in flight carried into a fresh file: (opening, id) in
    // the file set aside to (opening, id) in the one after it.
    std::map<std::pair<std::uint64_t, std::int64_t>, std::pair<std::uint64_t, std::int64_t>> carriedRows_;
    // The opening whose file, out of row ids, could not be renewed: its
    // new events wait in memory, and it is not tried again until the next.
    std::uint64_t renewalFailedFor_ = 0;
    sqlite3_stmt* insertEvent_ = nullptr;
    sqlite3_stmt* replaceConfig_ = nullptr;
    // Waiting events, in the file and in memory.
    std::atomic<std::uint32_t> numStoredEvents_{0};
    // Events the file could not take, oldest first; under the store lock.
    std::deque<RPOUTAStoreEvent> unwrittenEvents_;
    // Rows of the open file that are gone for the store (delivered, or out
    // of tries) though the file could not take their deletion: left out of
    // every batch and of the count while the file is open, so that each is
    // sent once; under the store lock. A later opening reads them again.
    std::set<std::int64_t> goneRows_;
    // The rows an earlier process left in flight could not be returned to
    // waiting in the open file: they count as waiting; under the store lock.
    bool inFlightRowsWait_ = false;
    bool journalInMemory_ = false;  // under the store lock
    std::mutex memEventLock_;
    UTAQueue<Ref<RPOUTAEvent>> cachedEventsArr_;
    Ref<RPOUTASocket> channel_;
    std::mutex cacheEventLock_, cacheMemEventLock_;
    std::atomic<bool> isSendingCacheEvent_{false}, isSendingMemCacheEvent_{false};
    // The size of the next stored batches after a failed one (0: the
    // setting's size); on the store queue only.
    std::uint32_t batchLimit_ = 0;
};
