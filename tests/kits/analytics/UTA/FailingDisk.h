#pragma once

// A disk in trouble under the SQLite files opened while it lives (the
// default file system of SQLite is wrapped; files opened before keep theirs).
#include <sqlite3.h>

class FailingDisk {
public:
    enum Trouble {
        // No file grows (a new journal cannot be written at all), as on a
        // full file system, while what a file holds can still be overwritten.
        kNoRoom,
        // A journal file cannot be kept: every commit that writes one fails
        // with the disk full, the statements before it going well, as when
        // the last pages a commit adds to its journal find no room.
        kNoRoomForJournals,
        // No commit reaches the disk, with a journal file or without.
        kNothingKept,
    };

    explicit FailingDisk(Trouble trouble) {
        trouble_ = trouble;
        base_ = sqlite3_vfs_find(nullptr);
        vfs_ = *base_;
        vfs_.zName = "failing-disk";
        fileSize_ = (base_->szOsFile + 7) / 8 * 8;
        vfs_.szOsFile = fileSize_ + static_cast<int>(sizeof(int));
        vfs_.xOpen = open;
        sqlite3_vfs_register(&vfs_, 1);
        failing_ = true;
    }
    ~FailingDisk() {
        failing_ = false;
        sqlite3_vfs_register(base_, 1);
    }
    FailingDisk(const FailingDisk&) = delete;
    FailingDisk& operator=(const FailingDisk&) = delete;

private:
    // The flags a file was opened with, kept behind the base file system's own part.
    static int& openFlags(sqlite3_file* file) {
        return *reinterpret_cast<int*>(reinterpret_cast<char*>(file) + fileSize_);
    }
    static int open(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags) {
        const int result = base_->xOpen(base_, name, file, flags, outFlags);
        if (result == SQLITE_OK && file->pMethods) {
            openFlags(file) = flags;
            baseMethods_ = file->pMethods;
            methods_ = *baseMethods_;
            methods_.xWrite = write;
            methods_.xSync = sync;
            file->pMethods = &methods_;
        }
        return result;
    }
    static int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
        sqlite3_int64 size = 0;
        baseMethods_->xFileSize(file, &size);
        if (failing_ && trouble_ == kNoRoom && offset + amount > size) return SQLITE_FULL;
        return baseMethods_->xWrite(file, data, amount, offset);
    }
    static int sync(sqlite3_file* file, int flags) {
        const bool journal = (openFlags(file) & SQLITE_OPEN_MAIN_JOURNAL) != 0;
        if (failing_ && ((trouble_ == kNoRoomForJournals && journal) || trouble_ == kNothingKept)) return SQLITE_FULL;
        return baseMethods_->xSync(file, flags);
    }

    static inline Trouble trouble_ = kNoRoom;
    static inline sqlite3_vfs* base_ = nullptr;
    static inline sqlite3_vfs vfs_{};
    static inline int fileSize_ = 0;
    static inline const sqlite3_io_methods* baseMethods_ = nullptr;
    static inline sqlite3_io_methods methods_{};
    static inline bool failing_ = false;
};
