#include "backend/DatabaseProblem.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <utility>

#include "backend/Database.h"
#include "foundation/FileProblem.h"

namespace backend {

namespace {

// Whether the database file `path`, which is there, is one SQLite cannot
// read whole: some other file, or one damaged (cut short, overwritten).
bool isDamagedDatabase(const std::string& path) {
    try {
        auto database = Database::open(path);
        if (!database) return true;
        auto check = database->prepare("PRAGMA quick_check");
        return !(check.step() && check.text(0) == "ok");
    } catch (const DatabaseError&) {
        return true;
    }
}

}  // namespace

std::optional<std::string> databaseProblem(const std::string& path, const DatabaseError* error) {
    namespace fs = std::filesystem;
    if (auto problem = storageProblem(path, error)) return problem;
    std::error_code ignored;
    if (fs::exists(path, ignored) && isDamagedDatabase(path))
        return "the database " + fs::path(path).filename().string() + std::string(kDamagedDatabase);
    return std::nullopt;
}

std::optional<std::string> storageProblem(const std::string& path, const DatabaseError* error) {
    namespace fs = std::filesystem;
    // SQLite tells a full disk as one (SQLITE_FULL), or, where it grows a
    // file otherwise (its shared-memory index), as a failed write.
    if (error && (error->code == SQLITE_FULL || error->systemError == ENOSPC || error->systemError == EDQUOT))
        return FileProblem::why(path, error->systemError == EDQUOT ? EDQUOT : ENOSPC);
    if (auto problem = FileProblem::ofKind(path)) return problem;
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    // The folder is entered to reach the file, and written for the journal.
    // One missing, or a file where a folder should be, is named along the
    // whole path (a part of it may be what is missing).
    if (::access(folder.c_str(), X_OK) != 0) {
        const int error = errno;
        std::error_code ignored;
        if (error == ENOENT || error == ENOTDIR) return FileProblem::why(path, error);
        if (fs::exists(folder, ignored) && !fs::is_directory(folder, ignored)) return FileProblem::why(path, ENOTDIR);
        return FileProblem::why(folder, error, FileProblem::Doing::Reading);
    }
    if (::access(folder.c_str(), W_OK) != 0) return FileProblem::why(folder, errno);
    // SQLite opens its journal and index beside the file as they are: a
    // pipe there waits or fails, a link to nothing is written through, and
    // a link to a file is refused (it opens neither through a link), which
    // leaves the database and the file linked to intact.
    for (const auto& [companion, role] : {std::pair("-wal", "journal"), std::pair("-shm", "index")}) {
        const std::string file = path + companion;
        if (auto problem = FileProblem::ofKind(file)) return problem;
        struct stat linked {};
        if (::lstat(file.c_str(), &linked) != 0 || !S_ISLNK(linked.st_mode)) continue;
        if (::access(file.c_str(), F_OK) != 0) return FileProblem::why(file, ENOENT);
        std::error_code ignored;
        return file + " is a link to " + fs::read_symlink(file, ignored).string() + ": the database's " + role +
               " must be a file of its own, not a link";
    }
    if (auto problem = FileProblem::ofWriting(path)) return problem;
    // A file that may be written but not read is intact, not damaged.
    if (::access(path.c_str(), R_OK) != 0 && errno != ENOENT)
        return FileProblem::why(path, errno, FileProblem::Doing::Reading);
    return FileProblem::ofSpace(folder);
}

bool isStorageFailure(const DatabaseError& error) {
    switch (error.code) {
        case SQLITE_FULL:
        case SQLITE_IOERR:
        case SQLITE_CANTOPEN:
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_NOLFS: return true;
        default: return false;
    }
}

std::string setAside(const std::string& path, StartsAgain startsAgain) {
    return ": set " + path + " aside (move or rename it) and the next session starts it again" +
           (startsAgain == StartsAgain::FromDemoData ? " from the demo data" : ", empty");
}

std::string withDatabaseProblem(std::string what, const std::string& path, const DatabaseError* error) {
    if (auto problem = databaseProblem(path, error)) what += ": " + *problem;
    return what;
}

}  // namespace backend
