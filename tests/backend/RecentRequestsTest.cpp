#include <gtest/gtest.h>

#include <map>
#include <string>

#include "backend/RecentRequests.h"

namespace {

struct Record {
    std::string path;
    std::map<std::string, std::string> params;
};

// A form of `count` fields "f<i>=<value>", as a request's fields.
std::multimap<std::string, std::string> form(int count, const std::string& value) {
    std::multimap<std::string, std::string> fields;
    for (int i = 0; i < count; ++i) fields.emplace("f" + std::to_string(i), value);
    return fields;
}

}  // namespace

TEST(RecentRequests, RecordsOfManyOrLongFieldsAreBoundedInBytesAndTheNewestKept) {
    backend::RecentRequests<Record> records;
    // A form of many tiny fields, and one of a few long fields.
    const auto tiny = form(5000, "v"), longOnes = form(40, std::string(10'000, 'x'));
    for (int i = 0; i < 300; ++i) {
        backend::RecordBudget budget;
        Record record{budget.text("/user/" + std::to_string(i)), budget.fields(i % 2 ? tiny : longOnes)};
        EXPECT_LE(budget.used(), backend::kRecordBytes + backend::kRecordTextBytes);
        records.add(std::move(record), budget.used());
        EXPECT_LE(records.bytes(), decltype(records)::kKeptBytes);
    }
    EXPECT_EQ(records.records().back().path, "/user/299");
    EXPECT_LT(records.records().size(), decltype(records)::kKept);
    const Record& newest = records.records().back();
    // The first fields are kept whole, within a record's bytes.
    EXPECT_EQ(newest.params.at("f0"), "v");
    EXPECT_GT(newest.params.size(), 100u);
    EXPECT_LT(newest.params.size() * backend::kRecordFieldBytes, backend::kRecordBytes);
    const Record& longest = records.records()[records.records().size() - 2];
    EXPECT_EQ(longest.params.begin()->second.size(), backend::kRecordTextBytes);
}
