#pragma once

#include <algorithm>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace backend {

// The most of one text a record of a request keeps.
constexpr std::size_t kRecordTextBytes = 4096;
// The most one record keeps of its texts and fields together, and what a
// kept field costs beyond its texts (its map node and two strings), so a
// request of many tiny fields counts what it really takes.
constexpr std::size_t kRecordBytes = 64 * 1024;
constexpr std::size_t kRecordFieldBytes = 128;

// The text as a record keeps it.
inline std::string cutForRecord(std::string_view text) { return std::string(text.substr(0, kRecordTextBytes)); }

// What one record keeps, counted against kRecordBytes: each text cut after
// kRecordTextBytes and within what is left, fields kept while there is
// room for them (the first of fields that share a name), multipart parts
// kept whole while there is room.
class RecordBudget {
public:
    std::string text(std::string_view text) {
        std::string kept(text.substr(0, std::min(kRecordTextBytes, left())));
        used_ += kept.size();
        return kept;
    }
    template <typename Fields>
    std::map<std::string, std::string> fields(const Fields& fields) {
        std::map<std::string, std::string> kept;
        for (auto field = fields.begin(); field != fields.end() && !full(); ++field)
            add(kept, field->first, field->second);
        return kept;
    }
    // Adds one field to `kept` when there is room and its name is new.
    void add(std::map<std::string, std::string>& kept, std::string_view name, std::string_view value) {
        if (full()) return;
        const std::string keptName(name.substr(0, kRecordTextBytes));
        if (kept.count(keptName)) return;
        used_ += kRecordFieldBytes;
        std::string keptValue = text(value);
        used_ += keptName.size();
        kept.emplace(keptName, std::move(keptValue));
    }
    // Adds a multipart part to `kept` when it fits whole (a part cut is not
    // what was sent) and its name is new; its name, file name and content
    // count, and a field's cost. False when it is left out.
    bool part(std::map<std::string, std::string>& kept, std::string_view name, std::string_view filename,
              std::string_view content) {
        const std::size_t cost = kRecordFieldBytes + name.size() + filename.size() + content.size();
        if (cost > left() || kept.count(std::string(name))) return false;
        used_ += cost;
        kept.emplace(name, content);
        return true;
    }
    std::size_t used() const { return used_; }

private:
    bool full() const { return left() < kRecordFieldBytes; }
    std::size_t left() const { return used_ < kRecordBytes ? kRecordBytes - used_ : 0; }

    std::size_t used_ = 0;
};

// What a stand-in keeps of the requests it served, for tests and the runner
// to look at: the newest kKept of them, and fewer when their bytes (as their
// RecordBudget counted them) pass kKeptBytes, so a day of requests or a
// hostile client's forms cost a few MiB at most.
template <typename Record>
class RecentRequests {
public:
    static constexpr std::size_t kKept = 256;
    static constexpr std::size_t kKeptBytes = 4 * 1024 * 1024;

    // Keeps `record`, which costs `bytes`, as the newest, forgetting the
    // oldest past kKept or kKeptBytes.
    Record& add(Record record, std::size_t bytes) {
        records_.push_back(std::move(record));
        bytes_.push_back(bytes);
        total_ += bytes;
        while (records_.size() > 1 && (records_.size() > kKept || total_ > kKeptBytes)) {
            total_ -= bytes_.front();
            bytes_.pop_front();
            records_.pop_front();
        }
        return records_.back();
    }
    std::vector<Record> all() const { return {records_.begin(), records_.end()}; }
    // Oldest first, as kept.
    std::deque<Record>& records() { return records_; }
    const std::deque<Record>& records() const { return records_; }
    // The bytes of the records kept, as counted.
    std::size_t bytes() const { return total_; }

private:
    std::deque<Record> records_;
    std::deque<std::size_t> bytes_;
    std::size_t total_ = 0;
};

}  // namespace backend
