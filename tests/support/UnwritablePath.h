#pragma once

#include <fcntl.h>
#include <linux/capability.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <thread>

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

// Runs `work` on a thread of its own that the permissions of files and
// folders hold as they hold any user: for the superuser, that thread (and
// those it starts) drops the power to read, write and enter past them,
// while the rest of the process keeps it. False when it could not be dropped.
inline bool runHeldByPermissions(const std::function<void()>& work) {
    bool held = true;
    std::thread([&] {
        if (::geteuid() == 0) {
            __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
            __user_cap_data_struct capabilities[2]{};
            const unsigned dropped = 1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH;
            held = ::syscall(SYS_capget, &header, capabilities) == 0 &&
                   (capabilities[0].effective &= ~dropped, capabilities[0].permitted &= ~dropped,
                    ::syscall(SYS_capset, &header, capabilities) == 0);
        }
        if (held) work();
    }).join();
    return held;
}
