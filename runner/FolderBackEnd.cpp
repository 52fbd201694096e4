#include "runner/FolderBackEnd.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "backend/AnalyticsCollector.h"
#include "backend/DatabaseProblem.h"
#include "foundation/NSURL.h"
#include "foundation/FileProblem.h"
#include "runner/SessionFolder.h"

namespace {

struct Record {
    std::string address;
    // Nothing in a record written before the avatar was kept with it.
    std::optional<std::string> head;
};

std::optional<Record> lastRecord(const std::string& folder) {
    std::ifstream file(FolderBackEnd::recordPath(folder));
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

// The local back end's database (the analytics collector's is beside it).
std::string databasePath(const std::string& folder) { return FolderBackEnd::storageFolder(folder) + "/backend.db"; }

}  // namespace

namespace FolderBackEnd {

std::string storageFolder(const std::string& folder) { return folder + "/backend"; }

// The base address the folder's last session used and, on the next line,
// the stored avatar address as that session started with it.
std::string recordPath(const std::string& folder) { return folder + "/backend-address"; }

std::unique_ptr<backend::LocalBackend> startLocal(const std::string& folder, std::string* failure) {
    const std::string storage = storageFolder(folder);
    if (auto problem = FileProblem::makeFolder(storage)) {
        if (failure) *failure = *problem;
        return nullptr;
    }
    backend::LocalBackend::Options options;
    options.dbPath = databasePath(folder);
    // The stand-ins' key and certificate live as long as the folder's data.
    options.identityFolder = storage;
    std::string why;
    if (auto last = lastRecord(folder)) {
        auto address = NSURL::URLWithString(last->address);
        if (address && address->host() == "127.0.0.1" && address->port()) {
            options.port = static_cast<int>(*address->port());
            if (auto backEnd = backend::LocalBackend::start(options, &why)) return backEnd;
        }
    }
    options.port = 0;
    auto backEnd = backend::LocalBackend::start(options, &why);
    // The back end names the file of the folder it could not use and why
    // (or what else failed, such as its port); a damaged one is mended by
    // setting it aside.
    if (!backEnd && failure) {
        *failure = why;
        const std::string analytics = backend::AnalyticsCollector::databasePathBeside(options.dbPath);
        for (const auto& [file, startsAgain] : {std::pair(options.dbPath, backend::StartsAgain::FromDemoData),
                                                std::pair(analytics, backend::StartsAgain::Empty)})
            if (why.find(file + ": ") != std::string::npos && why.ends_with(backend::kDamagedDatabase))
                *failure += backend::setAside(file, startsAgain);
    }
    return backEnd;
}

void use(const std::string& folder, const std::string& baseURL) {
    const std::string base = KXServiceAddress::asBase(baseURL);
    std::string head = KXLocallyStoredData::getHead();
    const auto last = lastRecord(folder);
    const bool lastBackEnds =
        last && !head.empty() && (head.starts_with(last->address) || last->head.value_or("") != head);
    if (lastBackEnds && !head.starts_with(base)) {
        // On the last back end's address, the path is what follows it (an
        // avatar once joined to an address without its "/" is mended).
        auto path = head.starts_with(last->address) ? std::optional(head.substr(last->address.size()))
                                                    : pathOnItsHost(head);
        if (path) {
            path->erase(0, path->find_first_not_of('/'));
            head = base + *path;
            KXLocallyStoredData::setHead(Value(head));
        }
    }
    // Whole or not at all, and its owner's alone by name as every file the
    // session keeps, not by the umask alone. One not written leaves the
    // record before it as it was, which the next session reads as ever.
    SessionFolder::writeFile(recordPath(folder), base + "\n" + head + "\n");
}

}  // namespace FolderBackEnd
