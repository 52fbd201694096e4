#pragma once

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

// Keeps a folder or a file from being written while it lives, by its owner
// and by the superuser alike: its write permission is taken away, and for the
// superuser, whom permissions do not stop, it is made immutable (which also
// keeps it from being removed or renamed). Put back as it was when it goes.
class UnwritablePath {
public:
    explicit UnwritablePath(std::string path) : path_(std::move(path)) {
        struct stat status {};
        if (::stat(path_.c_str(), &status) != 0) return;
        mode_ = status.st_mode & 07777;
        const bool chmodded = ::chmod(path_.c_str(), mode_ & ~0222) == 0;
        made_ = ::geteuid() == 0 ? setFlags(FS_IMMUTABLE_FL) : chmodded;
        restore_ = true;
    }
    ~UnwritablePath() {
        if (!restore_) return;
        // The flag goes first: an immutable path takes no change of mode.
        if (::geteuid() == 0 && made_) setFlags(0);
        ::chmod(path_.c_str(), mode_);
    }
    UnwritablePath(const UnwritablePath&) = delete;
    UnwritablePath& operator=(const UnwritablePath&) = delete;

    // False when the path is not there, or the file system keeps no
    // immutable flag for the superuser.
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
    mode_t mode_ = 0;
    bool made_ = false;
    bool restore_ = false;
};
