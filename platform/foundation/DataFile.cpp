#include "foundation/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <cerrno>
#include <vector>

namespace {

// Closes a descriptor when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the error a late write may show only here.
    int close() {
        int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int fd_;
};

int writeAll(int fd, const NSData& data) {
    std::size_t written = 0;
    while (written < data.length()) {
        ssize_t count = ::write(fd, data.bytes() + written, data.length() - written);
        if (count < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

// Files are opened without waiting: a pipe or a device at the path would
// otherwise hold the caller until another process opened its other end.
// A regular file is unchanged by it.
int writeDirectly(const NSData& data, const std::string& path, bool synced = false) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NONBLOCK, DataFile::kFileMode));
    if (file.get() < 0) return errno;
    if (int error = writeAll(file.get(), data)) return error;
    if (synced && ::fsync(file.get()) != 0) return errno;
    return file.close();
}

// Syncs the folder that holds `path`, where a rename into it is recorded.
int syncFolderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    FileDescriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0) return errno;
    if (::fsync(directory.get()) != 0) return errno;
    return directory.close();
}

int writeAtomically(const NSData& data, const std::string& path, bool synced) {
    // Checked here: the temporary's name would otherwise be a file of its own.
    if (path.empty()) return ENOENT;
    static std::atomic<unsigned> counter{0};
    std::string temporary =
        path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
    if (int error = writeDirectly(data, temporary, synced)) {
        ::unlink(temporary.c_str());
        return error;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        int error = errno;
        ::unlink(temporary.c_str());
        return error;
    }
    return synced ? syncFolderOf(path) : 0;
}

}  // namespace

std::optional<NSData> DataFile::dataWithContentsOfFile(const std::string& path, int* error) {
    auto fail = [error](int number) {
        if (error) *error = number;
        return std::nullopt;
    };
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) return fail(errno);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) return fail(errno);
    if (!S_ISREG(info.st_mode)) return fail(S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::uint8_t buffer[65536];
    while (true) {
        ssize_t count = ::read(file.get(), buffer, sizeof buffer);
        if (count < 0) {
            if (errno == EINTR) continue;
            return fail(errno);
        }
        if (count == 0) break;
        bytes.insert(bytes.end(), buffer, buffer + count);
    }
    return NSData(std::move(bytes));
}

int DataFile::writeToFile(const NSData& data, const std::string& path, bool atomically) {
    return atomically ? writeAtomically(data, path, false) : writeDirectly(data, path);
}

int DataFile::writeToFileDurably(const NSData& data, const std::string& path) {
    return writeAtomically(data, path, true);
}

bool DataFile::makeFolders(const std::string& path, std::error_code& error) {
    error.clear();
    if (path.empty()) {
        error = std::make_error_code(std::errc::no_such_file_or_directory);
        return false;
    }
    std::filesystem::path made;
    for (const auto& piece : std::filesystem::path(path)) {
        if (piece.empty()) continue;
        made /= piece;
        if (::mkdir(made.c_str(), kFolderMode) == 0) continue;
        const int failed = errno;
        std::error_code ignored;
        if (failed == EEXIST && std::filesystem::is_directory(made, ignored)) continue;
        error = std::error_code(failed, std::generic_category());
        return false;
    }
    return true;
}
