#include "foundation/FileProblem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The folder that a write at `path` changes: `path` itself when it is a
// folder, else the nearest folder above it that is there.
std::string writtenFolder(const std::string& path) {
    std::error_code ignored;
    fs::path folder = path;
    if (fs::is_directory(folder, ignored)) return folder.string();
    for (folder = folder.parent_path(); !folder.empty(); folder = folder.parent_path()) {
        if (fs::is_directory(folder, ignored)) return folder.string();
        if (folder == folder.root_path()) break;
    }
    return fs::current_path(ignored).string();
}

// Why the path `path` leads nowhere: the first part of it that is missing
// (a folder, or the file itself), or a link in it to what is not there.
std::string whyNotThere(const std::string& path) {
    std::error_code ignored;
    fs::path walked;
    for (const auto& piece : fs::path(path)) {
        walked /= piece;
        if (fs::exists(fs::status(walked, ignored))) continue;
        if (fs::is_symlink(fs::symlink_status(walked, ignored)))
            return walked.string() + " is a link to " + fs::read_symlink(walked, ignored).string() + ", which is not there";
        if (walked == fs::path(path)) return path + " is not there";
        return "the folder " + walked.string() + " is not there";
    }
    return "the folder " + fs::path(path).parent_path().string() + " is not there";
}

}  // namespace

namespace FileProblem {

std::string why(const std::string& path, int error, Doing doing) {
    std::error_code ignored;
    switch (error) {
        case ENOTDIR: {
            // The first part of the path that is there but is no folder.
            fs::path walked;
            for (const auto& piece : fs::path(path)) {
                walked /= piece;
                if (fs::exists(walked, ignored) && !fs::is_directory(walked, ignored))
                    return walked.string() + " is a file, not a folder";
            }
            return "a part of the path is a file, not a folder";
        }
        case EEXIST:
            if (fs::is_symlink(fs::symlink_status(path, ignored)))
                return path + " is a link to " + fs::read_symlink(path, ignored).string() + ", which is not there";
            return "something that is not a folder is there already";
        case ENOENT: return whyNotThere(path);
        case EISDIR: return path + " is a folder";
        case EACCES:
        case EPERM:
            if (doing == Doing::Reading)
                return (fs::is_directory(path, ignored) ? "the folder " + path : path) +
                       " cannot be read (no permission to read it)";
            if (fs::exists(fs::symlink_status(path, ignored)) && !fs::is_directory(path, ignored))
                return path + " is not writable (no permission to write it)";
            return "the folder " + writtenFolder(path) + " is not writable (no permission to write in it)";
        case ENOSPC: {
            const std::string folder = writtenFolder(path);
            return ofSpace(folder).value_or("the disk is full (no space left for " + folder + ")");
        }
        case EDQUOT: return "the disk quota is used up (no space left for " + writtenFolder(path) + ")";
        case EROFS: return "the folder " + writtenFolder(path) + " is read-only (its disk is mounted read-only)";
        default: {
            std::string reason = std::strerror(error);
            if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
            return reason;
        }
    }
}

std::optional<std::string> ofWriting(const std::string& path) {
    std::error_code ignored;
    // A link to what is not there is written through, in the folder it names.
    const fs::path linked = fs::is_symlink(fs::symlink_status(path, ignored)) ? fs::read_symlink(path, ignored) : "";
    if (!linked.empty() && !fs::exists(fs::status(path, ignored))) {
        const fs::path target = linked.is_absolute() ? linked : fs::path(path).parent_path() / linked;
        const fs::path folder = target.parent_path().empty() ? "." : target.parent_path();
        if (!fs::is_directory(folder, ignored)) return why(path, ENOENT);
        if (::access(folder.c_str(), W_OK) != 0) return why(target.string(), errno);
        return std::nullopt;
    }
    // A file there is opened as it is.
    if (fs::exists(fs::status(path, ignored))) {
        if (auto problem = ofKind(path)) return problem;
        const int file = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) return why(path, errno);
        ::close(file);
        return std::nullopt;
    }
    // Else its folder must take a new file.
    fs::path folder = fs::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (fs::exists(fs::status(folder, ignored)) && !fs::is_directory(folder, ignored)) return why(path, ENOTDIR);
    if (::access(folder.c_str(), W_OK) != 0) return why(path, errno);
    return std::nullopt;
}

std::optional<std::string> ofKind(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || S_ISREG(status.st_mode)) return std::nullopt;
    if (S_ISDIR(status.st_mode)) return why(path, EISDIR);
    const char* kind = S_ISFIFO(status.st_mode)   ? " (a named pipe)"
                       : S_ISSOCK(status.st_mode) ? " (a socket)"
                       : S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode) ? " (a device)"
                                                                           : "";
    return path + " is not a regular file" + kind;
}

std::optional<std::string> ofReplacing(const std::string& path) {
    std::string folder = fs::path(path).parent_path().string();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return why(folder, errno);
    struct statx file {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_UID, &file) != 0) return std::nullopt;
    if (file.stx_attributes & (STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND)) return why(path, EPERM);
    struct stat holding {};
    const uid_t self = ::geteuid();
    if (self != 0 && ::stat(folder.c_str(), &holding) == 0 && (holding.st_mode & S_ISVTX) && file.stx_uid != self &&
        holding.st_uid != self)
        return why(path, EPERM);
    return std::nullopt;
}

std::optional<std::string> makeLastFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return std::nullopt;
    const int error = errno;
    std::error_code ignored;
    if (error == EEXIST && fs::is_directory(path, ignored)) return std::nullopt;
    return "cannot make " + path + ": " + why(path, error);
}

std::optional<std::string> makeFolder(const std::string& path) {
    std::error_code error;
    fs::create_directories(path, error);
    if (error) return "cannot make " + path + ": " + why(path, error.value());
    return std::nullopt;
}

std::optional<std::string> ofSpace(const std::string& folder) {
    struct statvfs disk{};
    if (::statvfs(folder.c_str(), &disk) != 0) return std::nullopt;
    // The blocks and inodes kept for the system administrator are the
    // administrator's to fill.
    const bool administrator = ::geteuid() == 0;
    const auto bytes = administrator ? disk.f_bfree : disk.f_bavail;
    const auto files = administrator ? disk.f_ffree : disk.f_favail;
    if (bytes == 0) return "the disk is full (no space left for " + folder + ")";
    if (disk.f_files > 0 && files == 0)
        return "the disk is full (no room for a new file in " + folder + ": no inodes left)";
    return std::nullopt;
}

}  // namespace FileProblem
