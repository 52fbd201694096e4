#include "runner/FolderBackEnd.h"

#include <fstream>
#include <optional>

#include "app/shell/KXLocallyStoredData.h"
#include "foundation/NSURL.h"

namespace {

// Where a folder keeps the base address its last session used.
std::string recordPath(const std::string& folder) { return folder + "/backend-address"; }

std::optional<std::string> lastAddress(const std::string& folder) {
    std::ifstream record(recordPath(folder));
    std::string address;
    if (!std::getline(record, address) || address.empty()) return std::nullopt;
    return address;
}

}  // namespace

namespace FolderBackEnd {

std::unique_ptr<backend::LocalBackend> startLocal(const std::string& folder) {
    if (auto last = lastAddress(folder)) {
        auto address = NSURL::URLWithString(*last);
        backend::LocalBackend::Options options;
        if (address && address->host() == "127.0.0.1" && address->port()) {
            options.port = static_cast<int>(*address->port());
            if (auto backEnd = backend::LocalBackend::start(options)) return backEnd;
        }
    }
    return backend::LocalBackend::start({});
}

void use(const std::string& folder, const std::string& baseURL) {
    if (auto last = lastAddress(folder); last && *last != baseURL) {
        const std::string head = KXLocallyStoredData::getHead();
        if (head.starts_with(*last)) KXLocallyStoredData::setHead(Value(baseURL + head.substr(last->size())));
    }
    std::ofstream(recordPath(folder), std::ios::trunc) << baseURL << "\n";
}

}  // namespace FolderBackEnd
