#pragma once

// A file or folder this process cannot write while the guard lives.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

// For the superuser, whom permissions do not stop, the path is made
// immutable (which also keeps it from being removed or renamed); for anyone
// else its write permission is taken away. `made` is false where the file
// system does not allow that.
class Unwritable {
public:
    explicit Unwritable(std::string path) : path_(std::move(path)) {
        struct stat file {};
        if (::stat(path_.c_str(), &file) != 0) return;
        mode_ = file.st_mode & 07777;
        made_ = geteuid() == 0 ? setFlags(FS_IMMUTABLE_FL) : ::chmod(path_.c_str(), mode_ & ~0222) == 0;
    }
    ~Unwritable() {
        if (!made_) return;
        if (geteuid() == 0) setFlags(0);
        else ::chmod(path_.c_str(), mode_);
    }
    Unwritable(const Unwritable&) = delete;
    Unwritable& operator=(const Unwritable&) = delete;

    bool made() const { return made_; }

private:
    bool setFlags(int flags) const {
        const int file = ::open(path_.c_str(), O_RDONLY);
        if (file < 0) return false;
        const bool done = ::ioctl(file, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(file);
        return done;
    }

    std::string path_;
    mode_t mode_ = 0;
    bool made_ = false;
};
