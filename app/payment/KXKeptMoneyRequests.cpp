#include "app/payment/KXKeptMoneyRequests.h"

#include <algorithm>

#include "app/shell/KXLocallyStoredData.h"
#include "foundation/DataFile.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"

namespace KXKeptMoneyRequests {

namespace {

std::string filePath() {
    const auto library = NSSearchPathForDirectoriesInDomains(NSLibraryDirectory, NSUserDomainMask, true);
    return (library.empty() ? NSHomeDirectory() : library.front()) + "/MoneyRequestsOfUnknownResult.json";
}

// What a request asks: every field but its time and signature.
Dictionary asked(const Dictionary& request) {
    Dictionary fields = request;
    fields.remove("t");
    fields.remove("sign");
    return fields;
}

// The kept requests as the file holds them; a missing or damaged file
// holds none, and an entry that is not one is passed over.
std::vector<Kept> read() {
    std::vector<Kept> kept;
    const auto data = DataFile::dataWithContentsOfFile(filePath());
    if (!data) return kept;
    const Value file = NSJSONSerialization::JSONObjectWithData(*data);
    if (const Array* entries = file.array()) {
        for (const Value& entry : *entries) {
            const Dictionary* request = entry["request"].dictionary();
            const std::string* records = entry["records"].text();
            if (request && records) kept.push_back({*request, *records});
        }
    }
    return kept;
}

void write(const std::vector<Kept>& kept) {
    Array entries;
    for (const Kept& one : kept)
        entries.push_back(Value(Dictionary{{"request", Value(one.request)}, {"records", Value(one.records)}}));
    const auto data = NSJSONSerialization::dataWithJSONObject(Value(std::move(entries)));
    // Not kept, the request is still sent: the form says the result is
    // unknown when its answer is lost, as before a file kept it.
    if (!data || DataFile::writeToFile(*data, filePath(), true) != 0)
        NSLog("The money request of unknown result could not be kept in %@", Value(filePath()));
}

}  // namespace

void keep(const Dictionary& request, const std::string& records) {
    std::vector<Kept> kept = read();
    if (std::any_of(kept.begin(), kept.end(), [&](const Kept& one) { return one.request == request; })) return;
    kept.push_back({request, records});
    write(kept);
}

void forget(const Dictionary& request) {
    std::vector<Kept> kept = read();
    if (std::erase_if(kept, [&](const Kept& one) { return one.request == request; }) > 0) write(kept);
}

std::optional<Dictionary> asking(const Dictionary& query) {
    const Dictionary wanted = asked(query);
    for (const Kept& one : read())
        if (asked(one.request) == wanted) return one.request;
    return std::nullopt;
}

std::vector<Kept> ofSignedInPromoter() {
    std::vector<Kept> kept = read();
    const std::string uid = KXLocallyStoredData::getLoginUserID();
    std::erase_if(kept, [&](const Kept& one) { return one.request["uid"].description() != uid || uid.empty(); });
    return kept;
}

}  // namespace KXKeptMoneyRequests
