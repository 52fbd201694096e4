#include "backend/OwnerOnly.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace backend::OwnerOnly {

namespace {

// Closes `path` to others when it is a file or folder of this user's (a
// link followed only when `followLink`); whether it is such a folder.
bool tightenOne(const std::filesystem::path& path, bool followLink = false) {
    struct stat status {};
    if ((followLink ? ::stat(path.c_str(), &status) : ::lstat(path.c_str(), &status)) != 0 ||
        status.st_uid != ::geteuid())
        return false;
    const bool folder = S_ISDIR(status.st_mode);
    if (!folder && !S_ISREG(status.st_mode)) return false;
    if (status.st_mode & kMask) ::chmod(path.c_str(), status.st_mode & 07777 & ~kMask);
    return folder;
}

}  // namespace

void tighten(const std::string& path) {
    namespace fs = std::filesystem;
    if (!tightenOne(path)) return;
    std::error_code error;
    // A link to a folder is not entered: the iterator follows none.
    for (fs::recursive_directory_iterator entry(path, fs::directory_options::skip_permission_denied, error), end;
         !error && entry != end; entry.increment(error)) {
        if (!tightenOne(entry->path())) entry.disable_recursion_pending();
    }
}

void tightenItself(const std::string& path) { tightenOne(path, true); }

}  // namespace backend::OwnerOnly
