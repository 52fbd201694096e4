#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <filesystem>
#include <string>

// Keeps a folder or a file from being written while it lives, by its owner
// and by the superuser alike: no write permission, and for the superuser,
// who passes permissions, the immutable flag. Put back as it was when it goes.
class UnwritablePath {
public:
    explicit UnwritablePath(std::string path) : path_(std::move(path)) {
        namespace fs = std::filesystem;
        fs::permissions(path_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        made_ = ::geteuid() != 0 || setFlags(FS_IMMUTABLE_FL);
    }
    ~UnwritablePath() {
        if (::geteuid() == 0) setFlags(0);
        std::filesystem::permissions(path_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    }
    UnwritablePath(const UnwritablePath&) = delete;
    UnwritablePath& operator=(const UnwritablePath&) = delete;

    // False when the file system keeps no immutable flag for the superuser.
    bool made() const { return made_; }

private:
    bool setFlags(int flags) const {
        const int path = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (path < 0) return false;
        const bool set = ::ioctl(path, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(path);
        return set;
    }

    std::string path_;
    bool made_ = false;
};
