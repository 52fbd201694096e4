#include "backend/WholeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace backend::WholeFile {

int writeBytes(const std::string& path, std::string_view bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (file < 0) return errno;
    int failed = 0;
    for (std::size_t done = 0; done < bytes.size() && !failed;) {
        const ssize_t wrote = ::write(file, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno != EINTR) failed = errno;
        if (wrote > 0) done += static_cast<std::size_t>(wrote);
    }
    // A file system may tell of a full disk only when the file is closed.
    if (::close(file) != 0 && !failed) failed = errno;
    return failed;
}

namespace {

// The hidden file's name: mkstemp puts six characters of its own in place
// of the X's.
constexpr std::string_view kHiddenPrefix = ".", kHiddenSuffix = ".XXXXXX";

}  // namespace

bool isHiddenFor(std::string_view name, std::string_view base) {
    return name.size() == kHiddenPrefix.size() + base.size() + kHiddenSuffix.size() && name.starts_with(kHiddenPrefix) &&
           name.substr(kHiddenPrefix.size(), base.size()) == base &&
           name[kHiddenPrefix.size() + base.size()] == kHiddenSuffix.front();
}

std::optional<std::string> writeHidden(const std::string& folder, const std::string& base, const Writer& write,
                                       mode_t mode, int& failed, std::string& failedAt) {
    std::string written =
        (std::filesystem::path(folder) / (std::string(kHiddenPrefix) + base + std::string(kHiddenSuffix))).string();
    const int file = ::mkstemp(written.data());
    if (file < 0) {
        failed = errno;
        failedAt = written;
        return std::nullopt;
    }
    ::close(file);
    failed = write(written);
    // mkstemp makes the file for its owner only.
    if (!failed && ::chmod(written.c_str(), mode) != 0) failed = errno;
    if (!failed) return written;
    ::unlink(written.c_str());
    return std::nullopt;
}

int replace(const std::string& path, const Writer& write, mode_t mode, std::string& failedAt) {
    const std::filesystem::path target(path);
    int failed = 0;
    failedAt = path;
    const auto written =
        writeHidden(target.parent_path().string(), target.filename().string(), write, mode, failed, failedAt);
    if (!written) return failed;
    if (::rename(written->c_str(), path.c_str()) == 0) return 0;
    failed = errno;
    ::unlink(written->c_str());
    return failed;
}

}  // namespace backend::WholeFile
