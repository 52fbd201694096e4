#include "runner/FileProblem.h"

#include <fcntl.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace fs = std::filesystem;

namespace FileProblem {

std::string why(const std::string& path, int error) {
    std::error_code ignored;
    switch (error) {
        case ENOTDIR: {
            // The first part of the path that is there but is no folder.
            fs::path walked;
            for (const auto& piece : fs::path(path).parent_path()) {
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
        case ENOENT: return "the folder " + fs::path(path).parent_path().string() + " is not there";
        case EISDIR: return path + " is a folder";
        case EACCES:
        case EPERM: return "no permission to write there";
        case ENOSPC: return "the disk is full";
        case EROFS: return "the file system there is read-only";
        default: {
            std::string reason = std::strerror(error);
            if (!reason.empty()) reason[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(reason[0])));
            return reason;
        }
    }
}

std::optional<std::string> ofWriting(const std::string& path) {
    const bool there = ::access(path.c_str(), F_OK) == 0;
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (file < 0) return why(path, errno);
    ::close(file);
    if (!there) ::unlink(path.c_str());
    return std::nullopt;
}

}  // namespace FileProblem
