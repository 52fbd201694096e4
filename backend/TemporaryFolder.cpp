#include "backend/TemporaryFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace backend {

namespace {

namespace fs = std::filesystem;

// The folder's hold with the lock `lock` taken; -1 when it cannot be opened
// or another holds it.
int holdFolder(const fs::path& folder, int lock) {
    const int held = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (held >= 0 && ::flock(held, lock | LOCK_NB) != 0) {
        ::close(held);
        return -1;
    }
    return held;
}

void removeAbandonedFolders(const fs::path& base, const std::string& prefix) {
    std::error_code error;
    for (fs::directory_iterator entry(base, error), end; !error && entry != end; entry.increment(error)) {
        const fs::path folder = entry->path();
        std::error_code ignored;
        if (!folder.filename().string().starts_with(prefix) || !fs::is_directory(fs::symlink_status(folder, ignored)) ||
            !fs::is_regular_file(fs::symlink_status(folder / TemporaryFolder::kOwnerMark, ignored)))
            continue;
        // Taken only when its back end has ended; kept while removing, so
        // that another start removing it too finds it held.
        const int held = holdFolder(folder, LOCK_EX);
        if (held < 0) continue;
        fs::remove_all(folder, ignored);
        ::close(held);
    }
}

}  // namespace

std::unique_ptr<TemporaryFolder> TemporaryFolder::make(const fs::path& base, const std::string& prefix) {
    removeAbandonedFolders(base, prefix);
    std::string pattern = (base / (prefix + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) return nullptr;
    std::unique_ptr<TemporaryFolder> folder(new TemporaryFolder());
    folder->path_ = pattern;
    // Held first, then marked: a folder found marked is held for as long as
    // its back end runs.
    folder->hold_ = holdFolder(folder->path_, LOCK_EX);
    if (folder->hold_ < 0 || !(std::ofstream(folder->path_ / kOwnerMark) << ::getpid() << "\n")) return nullptr;
    return folder;
}

TemporaryFolder::~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
    if (hold_ >= 0) ::close(hold_);
}

}  // namespace backend
