#include "runner/SessionFolder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "foundation/FileProblem.h"
#include "backend/OwnerOnly.h"
#include "foundation/DataFile.h"
#include "backend/WholeFile.h"

namespace fs = std::filesystem;

SessionFolder::Hold::~Hold() {
    if (folder_ >= 0) ::close(folder_);
}

std::optional<std::string> SessionFolder::Hold::gone() const {
    struct stat held {}, named {};
    if (folder_ < 0 || ::fstat(folder_, &held) != 0) return std::nullopt;
    if (::stat(path_.c_str(), &named) == 0) {
        if (named.st_dev == held.st_dev && named.st_ino == held.st_ino) return std::nullopt;
        return "the session folder " + path_ + " was replaced by another while the session ran";
    }
    if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
    return "the session folder " + path_ + " was removed while the session ran";
}

std::optional<std::string> SessionFolder::prepare(const std::string& path, bool fresh, Hold& hold, bool makeParents) {
    if (path.empty()) return "the session folder cannot be empty";
    std::error_code error;
    const fs::path folder(path);
    // A symbolic link to a folder is that folder.
    const fs::file_status status = fs::status(folder, error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_directory(status)) return path + " is not a folder";
    const bool marked = exists && fs::is_regular_file(fs::symlink_status(folder / kMarkName, error));
    const bool empty = !exists || fs::is_empty(folder, error);
    if (fresh && !marked && !empty) {
        return "--fresh empties only a session folder that velmaro made, and " + path + " has no " + kMarkName +
               " mark: remove it yourself or choose another --data";
    }
    const bool madeHere = empty || (fresh && marked);
    if (auto problem = makeParents ? FileProblem::makeFolder(path) : FileProblem::makeLastFolder(path))
        return problem;
    hold.path_ = path;
    hold.folder_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (hold.folder_ < 0)
        return "cannot open " + path + ": " +
               FileProblem::why(path, errno, FileProblem::Doing::Reading);
    // A session writes in its folder from the start (the app's sandbox, the
    // back end's data): one it may not write is refused now, saying why.
    if (::access(path.c_str(), W_OK) != 0) return "cannot use " + path + ": " + FileProblem::why(path, errno);
    // A session holds its folder alone, from before it empties or marks it
    // until it ends: two sessions on one folder would each act on what the
    // other keeps (the sign-in, the money requests of unknown result).
    if (::flock(hold.folder_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK)
            return "a session is using " + path + ": " +
                   (fresh ? "--fresh empties it only when none is" : "one session at a time uses a folder") +
                   " (quit that session or choose another --data)";
        return "cannot hold " + path + ": " + FileProblem::why(path, errno);
    }
    if (fresh && marked) {
        // The folder itself stays: the hold is on it. So does its mark.
        std::vector<fs::path> entries;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
            if (entry->path().filename() != kMarkName) entries.push_back(entry->path());
        for (const auto& entry : entries)
            if (!error) fs::remove_all(entry, error);
        if (error) return "cannot empty " + path + ": " + FileProblem::why(path, error.value());
    }
    if (madeHere) {
        const std::string mark = (folder / kMarkName).string();
        const int file = ::open(mark.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, DataFile::kFileMode);
        if (file < 0) return "cannot mark " + path + " as a session folder: " + FileProblem::why(mark, errno);
        ::close(file);
    }
    return std::nullopt;
}

void SessionFolder::keepPrivate(const std::string& path, const std::vector<std::string>& kept) {
    std::error_code ignored;
    // The folder itself when it is the runner's (a folder of one's own given
    // as --data keeps its mode: what the session keeps in it is closed).
    const std::string mark = (fs::path(path) / kMarkName).string();
    if (fs::is_regular_file(fs::symlink_status(mark, ignored))) {
        backend::OwnerOnly::tightenItself(path);
        backend::OwnerOnly::tighten(mark);
    }
    for (const std::string& entry : kept) backend::OwnerOnly::tighten(entry);
}

namespace {

// The folder a file `path` is in ("." for a bare name).
fs::path folderOf(const fs::path& path) { return path.parent_path().empty() ? fs::path(".") : path.parent_path(); }

// Why the file `path`, written as a new file beside it first, could not be
// written: the system's `error` told of `path` (the new file is the
// session's own business). A folder that is there but makes no new file
// (one of a pseudo file system, such as /proc) says so.
std::string whyNotWritten(const std::string& path, int error) {
    std::error_code ignored;
    const fs::path folder = folderOf(path);
    if (error == ENOENT && fs::is_directory(folder, ignored))
        return "the folder " + folder.string() + " cannot hold new files";
    return FileProblem::why(path, error);
}

}  // namespace

std::optional<std::string> SessionFolder::writeNumberedFile(const std::string& folder,
                                                           const std::function<std::string(int)>& name, int& last,
                                                           std::string_view bytes, std::string& error) {
    const std::string first = folder + "/" + name(last + 1);
    if (::mkdir(folder.c_str(), DataFile::kFolderMode) != 0 && errno != EEXIST) {
        error = "cannot write " + first + ": " + FileProblem::why(first, errno);
        return std::nullopt;
    }
    int failed = 0;
    std::string failedAt;
    const auto written = backend::WholeFile::writeHidden(
        folder, fs::path(first).filename().string(),
        [&](const std::string& path) { return backend::WholeFile::writeBytes(path, bytes); },
        DataFile::kFileMode, failed, failedAt);
    if (!written) {
        error = "cannot write " + first + ": " + whyNotWritten(first, failed);
        return std::nullopt;
    }
    // Bounded, as the numbers read from the folder's names are.
    for (int number = last + 1; number < 1000000; ++number) {
        const std::string path = folder + "/" + name(number);
        if (::link(written->c_str(), path.c_str()) == 0) {
            ::unlink(written->c_str());
            last = number;
            return path;
        }
        if (errno != EEXIST) {
            error = "cannot write " + path + ": " + FileProblem::why(path, errno);
            ::unlink(written->c_str());
            return std::nullopt;
        }
    }
    ::unlink(written->c_str());
    error = "no free picture number left in " + folder;
    return std::nullopt;
}

std::optional<std::string> SessionFolder::writeFile(const std::string& path, std::string_view bytes) {
    return writeFile(path, [&](const std::string& written) { return backend::WholeFile::writeBytes(written, bytes); });
}

std::optional<std::string> SessionFolder::writeFile(const std::string& path,
                                                    const std::function<int(const std::string&)>& write) {
    // A link is written through, as opening it would.
    std::error_code ignored;
    const fs::path target = fs::is_symlink(path, ignored) ? fs::weakly_canonical(path, ignored) : fs::path(path);
    // A file replaced keeps its permissions (one its owner closed further);
    // a new one is its owner's alone.
    struct stat replaced {};
    const mode_t mode =
        ::stat(target.c_str(), &replaced) == 0 ? replaced.st_mode & 07777 : DataFile::kFileMode;
    std::string failedAt;
    const int failed = backend::WholeFile::replace(target.string(), write, mode, failedAt);
    if (!failed) return std::nullopt;
    return "cannot write " + path + ": " + whyNotWritten(target.string(), failed);
}

void SessionFolder::removeLeftovers(const std::string& path) {
    const fs::path target(path);
    const std::string base = target.filename().string();
    std::error_code error;
    for (fs::directory_iterator entry(folderOf(target), error), end; !error && entry != end; entry.increment(error)) {
        std::error_code ignored;
        if (backend::WholeFile::isHiddenFor(entry->path().filename().string(), base) &&
            fs::is_regular_file(fs::symlink_status(entry->path(), ignored)))
            fs::remove(entry->path(), ignored);
    }
}
