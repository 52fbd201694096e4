#include "foundation/NSFileManager.h"

#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "foundation/DataFile.h"

const char* const NSFileSize = "NSFileSize";
const char* const NSFileModificationDate = "NSFileModificationDate";
const char* const NSFileType = "NSFileType";
const char* const NSFileTypeRegular = "NSFileTypeRegular";
const char* const NSFileTypeDirectory = "NSFileTypeDirectory";
const char* const NSFileTypeSymbolicLink = "NSFileTypeSymbolicLink";
const char* const NSFileTypeUnknown = "NSFileTypeUnknown";
const char* const NSFileSystemSize = "NSFileSystemSize";
const char* const NSFileSystemFreeSize = "NSFileSystemFreeSize";
const char* const NSFilePathErrorKey = "NSFilePath";

namespace fs = std::filesystem;

namespace {

// Reports a failure, when the caller asked for it; always answers false.
bool fail(Ref<NSError>* error, int code, const std::string& path) {
    if (error) {
        *error = NSError::errorWithDomain(NSPOSIXErrorDomain, code,
                                          {{NSLocalizedDescriptionKey, std::string(std::strerror(code))},
                                           {NSFilePathErrorKey, path}});
    }
    return false;
}

bool fail(Ref<NSError>* error, const std::error_code& code, const std::string& path) {
    return fail(error, code.value() ? code.value() : EIO, path);
}

// True when something, even a dangling link, is at the path.
bool itemExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

Ref<NSFileManager> NSFileManager::defaultManager() {
    static const Ref<NSFileManager> manager = make<NSFileManager>();
    return manager;
}

bool NSFileManager::fileExistsAtPath(const std::string& path, bool* isDirectory) const {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    if (isDirectory) *isDirectory = S_ISDIR(info.st_mode);
    return true;
}

bool NSFileManager::createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories,
                                          Ref<NSError>* error) const {
    if (path.empty()) return fail(error, ENOENT, path);
    std::error_code code;
    // The app's folders are its own alone, as on the phone.
    if (withIntermediateDirectories) {
        // An existing file where the folder should be is no success.
        if (!DataFile::makeFolders(path, code)) return fail(error, code, path);
        return true;
    }
    if (::mkdir(path.c_str(), DataFile::kFolderMode) != 0) return fail(error, errno, path);
    return true;
}

bool NSFileManager::createFileAtPath(const std::string& path, const std::optional<NSData>& contents) const {
    return DataFile::writeToFile(contents.value_or(NSData()), path, true) == 0;
}

std::optional<NSData> NSFileManager::contentsAtPath(const std::string& path) const {
    return DataFile::dataWithContentsOfFile(path);
}

bool NSFileManager::moveItemAtPath(const std::string& source, const std::string& destination,
                                   Ref<NSError>* error) const {
    if (!itemExists(source)) return fail(error, ENOENT, source);
    if (itemExists(destination)) return fail(error, EEXIST, destination);
    if (::rename(source.c_str(), destination.c_str()) == 0) return true;
    if (errno != EXDEV) return fail(error, errno, source);
    // Across file systems: copy, then remove the original.
    return copyItemAtPath(source, destination, error) && removeItemAtPath(source, error);
}

bool NSFileManager::copyItemAtPath(const std::string& source, const std::string& destination,
                                   Ref<NSError>* error) const {
    if (!itemExists(source)) return fail(error, ENOENT, source);
    if (itemExists(destination)) return fail(error, EEXIST, destination);
    std::error_code code;
    fs::copy(source, destination, fs::copy_options::recursive | fs::copy_options::copy_symlinks, code);
    if (code) return fail(error, code, destination);
    return true;
}

bool NSFileManager::removeItemAtPath(const std::string& path, Ref<NSError>* error) const {
    if (path.empty() || !itemExists(path)) return fail(error, ENOENT, path);
    std::error_code code;
    fs::remove_all(path, code);
    if (code) return fail(error, code, path);
    return true;
}

std::optional<std::vector<std::string>> NSFileManager::contentsOfDirectoryAtPath(const std::string& path,
                                                                                 Ref<NSError>* error) const {
    std::error_code code;
    fs::directory_iterator entries(path, code);
    if (code) {
        fail(error, code, path);
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (; entries != fs::directory_iterator(); entries.increment(code)) {
        if (code) break;
        names.push_back(entries->path().filename().string());
    }
    if (code) {
        fail(error, code, path);
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<Dictionary> NSFileManager::attributesOfItemAtPath(const std::string& path, Ref<NSError>* error) const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        fail(error, errno, path);
        return std::nullopt;
    }
    const char* type = S_ISREG(info.st_mode)   ? NSFileTypeRegular
                       : S_ISDIR(info.st_mode) ? NSFileTypeDirectory
                       : S_ISLNK(info.st_mode) ? NSFileTypeSymbolicLink
                                               : NSFileTypeUnknown;
    double modified = static_cast<double>(info.st_mtim.tv_sec) + info.st_mtim.tv_nsec / 1e9;
    return Dictionary{{NSFileSize, static_cast<std::uint64_t>(info.st_size)},
                      {NSFileModificationDate, NSDate(modified)},
                      {NSFileType, type}};
}

std::optional<Dictionary> NSFileManager::attributesOfFileSystemForPath(const std::string& path,
                                                                       Ref<NSError>* error) const {
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) {
        fail(error, errno, path);
        return std::nullopt;
    }
    auto blockSize = static_cast<std::uint64_t>(info.f_frsize);
    return Dictionary{{NSFileSystemSize, blockSize * info.f_blocks},
                      {NSFileSystemFreeSize, blockSize * info.f_bavail}};
}
