#pragma once

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace backend {

// The most of one text a record of a request keeps.
constexpr std::size_t kRecordTextBytes = 4096;

// The text as a record keeps it.
inline std::string cutForRecord(std::string_view text) { return std::string(text.substr(0, kRecordTextBytes)); }

// Fields (parameters, headers) as a record keeps them: names and values
// cut, the first of fields that share a name.
template <typename Fields>
std::map<std::string, std::string> cutFields(const Fields& fields) {
    std::map<std::string, std::string> kept;
    for (const auto& [name, value] : fields) kept.emplace(cutForRecord(name), cutForRecord(value));
    return kept;
}

// What a stand-in keeps of the requests it served, for tests and the runner
// to look at: the newest kKept of them, every text cut by cutForRecord, so a
// day of requests (or a hostile client's heads) costs a few MiB at most.
template <typename Record>
class RecentRequests {
public:
    static constexpr std::size_t kKept = 256;

    // Keeps `record` as the newest, forgetting the oldest past kKept.
    Record& add(Record record) {
        if (records_.size() == kKept) records_.pop_front();
        records_.push_back(std::move(record));
        return records_.back();
    }
    std::vector<Record> all() const { return {records_.begin(), records_.end()}; }
    // Oldest first, as kept (to change the newest).
    std::deque<Record>& records() { return records_; }
    const std::deque<Record>& records() const { return records_; }

private:
    std::deque<Record> records_;
};

}  // namespace backend
