// Events stored per second through the analytics event store (the queue
// hop, the store lock, its prepared insertion) beside raw SQLite inserts of
// the same rows into the same table, each row its own transaction as the
// store does it, in files in the same temporary folder.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "foundation/AppSandbox.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"

namespace {

constexpr int kEventsPerIteration = 100;

// A sandbox folder for the run, removed at the end.
struct Sandbox {
    Sandbox() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmaro-bench-XXXXXX").string();
        path = mkdtemp(pattern.data()) ? pattern : std::string();
        NSUserDefaults::resetStandardUserDefaults();
        AppSandbox::setRoot(path);
        RPOUTAConfig::getInstance()->setMaxStoreEventCount(std::numeric_limits<std::uint32_t>::max());
    }
    ~Sandbox() {
        AppSandbox::reset();
        std::filesystem::remove_all(path);
    }
    std::string path;
};

Sandbox& sandbox() {
    static Sandbox shared;
    return shared;
}

// Custom events with their JSON texts made beforehand, as the service makes
// them on the caller's thread.
const std::vector<Ref<RPOUTAEvent>>& events() {
    static const std::vector<Ref<RPOUTAEvent>> made = [] {
        sandbox();
        std::vector<Ref<RPOUTAEvent>> list;
        for (int i = 0; i < kEventsPerIteration; ++i) {
            auto event = make<RPOUTACustomEvent>();
            event->eventID = "level_" + std::to_string(i % 17);
            event->kvs = Dictionary{{"score", Value(i * 37)}, {"stage", Value("第" + std::to_string(i) + "关")}};
            event->ts = 1'700'000'000u + static_cast<std::uint32_t>(i);
            event->content = event->toJsonString();
            list.push_back(event);
        }
        return list;
    }();
    return made;
}

void BM_StoreEvents(benchmark::State& state) {
    const auto& batch = events();
    auto store = make<RPOUTAStore>();
    for (auto _ : state) {
        for (const auto& event : batch) store->storeEvent(event, false, [] {});
        store->taskQueue()->sync([] {});
    }
    state.SetItemsProcessed(state.iterations() * kEventsPerIteration);
}
BENCHMARK(BM_StoreEvents)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RawSQLiteInserts(benchmark::State& state) {
    const auto& batch = events();
    sqlite3* db = nullptr;
    sqlite3_open((sandbox().path + "/raw.db").c_str(), &db);
    sqlite3_exec(db,
                 "create table if not exists events(event_id INTEGER PRIMARY KEY AUTOINCREMENT NOT NULL, content TEXT, "
                 "status INTEGER, send_count INTEGER, ts INTEGER)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "insert into events(content, status, send_count,ts) values(?, ?, ?, ?)", -1, &insert, nullptr);
    for (auto _ : state) {
        for (const auto& event : batch) {
            const std::string& content = *event->content;
            sqlite3_bind_text(insert, 1, content.data(), static_cast<int>(content.size()), SQLITE_TRANSIENT);
            sqlite3_bind_int64(insert, 2, 1);
            sqlite3_bind_int64(insert, 3, 0);
            sqlite3_bind_int64(insert, 4, event->ts);
            sqlite3_step(insert);
            sqlite3_clear_bindings(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * kEventsPerIteration);
}
BENCHMARK(BM_RawSQLiteInserts)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
