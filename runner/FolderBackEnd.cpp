#include "runner/FolderBackEnd.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "app/shell/KXLocallyStoredData.h"
#include "foundation/NSURL.h"

namespace {

// Where a folder keeps the base address its last session used and, on the
// next line, the stored avatar address as that session started with it.
std::string recordPath(const std::string& folder) { return folder + "/backend-address"; }

struct Record {
    std::string address;
    // Nothing in a record written before the avatar was kept with it.
    std::optional<std::string> head;
};

std::optional<Record> lastRecord(const std::string& folder) {
    std::ifstream file(recordPath(folder));
    Record record;
    if (!std::getline(file, record.address) || record.address.empty()) return std::nullopt;
    if (std::string head; std::getline(file, head)) record.head = head;
    return record;
}

// What follows the origin of an absolute address: "static/head/promoter-1.png"
// of "http://127.0.0.1:8080/static/head/promoter-1.png".
std::optional<std::string> pathOnItsHost(const std::string& address) {
    const std::size_t scheme = address.find("://");
    if (scheme == std::string::npos) return std::nullopt;
    const std::size_t slash = address.find('/', scheme + 3);
    return slash == std::string::npos ? std::string() : address.substr(slash + 1);
}

// Where the local back end keeps its data, the analytics collector's beside it.
std::string databasePath(const std::string& folder) { return folder + "/backend/backend.db"; }

}  // namespace

namespace FolderBackEnd {

std::unique_ptr<backend::LocalBackend> startLocal(const std::string& folder, std::string* failure) {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(databasePath(folder)).parent_path(), error);
    backend::LocalBackend::Options options;
    options.dbPath = databasePath(folder);
    if (auto last = lastRecord(folder)) {
        auto address = NSURL::URLWithString(last->address);
        if (address && address->host() == "127.0.0.1" && address->port()) {
            options.port = static_cast<int>(*address->port());
            if (auto backEnd = backend::LocalBackend::start(options, failure)) return backEnd;
        }
    }
    options.port = 0;
    return backend::LocalBackend::start(options, failure);
}

void use(const std::string& folder, const std::string& baseURL) {
    std::string head = KXLocallyStoredData::getHead();
    const auto last = lastRecord(folder);
    const bool lastBackEnds =
        last && !head.empty() && (head.starts_with(last->address) || last->head.value_or("") != head);
    if (lastBackEnds && !head.starts_with(baseURL)) {
        if (auto path = pathOnItsHost(head)) {
            head = baseURL + *path;
            KXLocallyStoredData::setHead(Value(head));
        }
    }
    std::ofstream(recordPath(folder), std::ios::trunc) << baseURL << "\n" << head << "\n";
}

}  // namespace FolderBackEnd
