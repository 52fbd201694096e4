#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"

// Item attribute keys and file types.
extern const char* const NSFileSize;
extern const char* const NSFileModificationDate;
extern const char* const NSFileType;
extern const char* const NSFileTypeRegular;
extern const char* const NSFileTypeDirectory;
extern const char* const NSFileTypeSymbolicLink;
extern const char* const NSFileTypeUnknown;
extern const char* const NSFileSystemSize;
extern const char* const NSFileSystemFreeSize;
// The path an error is about, in the error's user info.
extern const char* const NSFilePathErrorKey;

// Files and folders. Failures are reported, when the caller passes `error`,
// as NSError in NSPOSIXErrorDomain with the errno as code, the system's
// message as description and the path under NSFilePathErrorKey.
class NSFileManager : public NSObject {
public:
    static Ref<NSFileManager> defaultManager();

    bool fileExistsAtPath(const std::string& path, bool* isDirectory = nullptr) const;
    // With intermediates, missing parents are made and an existing folder is
    // success; without, the parent must exist and the folder must not.
    bool createDirectoryAtPath(const std::string& path, bool withIntermediateDirectories,
                               Ref<NSError>* error = nullptr) const;
    // Writes `contents` (empty when none) to a file, replacing one there,
    // atomically.
    bool createFileAtPath(const std::string& path, const std::optional<NSData>& contents) const;
    std::optional<NSData> contentsAtPath(const std::string& path) const;
    // Moving or copying onto an existing item fails (EEXIST). Folders are
    // copied with everything in them.
    bool moveItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error = nullptr) const;
    bool copyItemAtPath(const std::string& source, const std::string& destination, Ref<NSError>* error = nullptr) const;
    // Removes a file, or a folder with everything in it; a missing item fails.
    bool removeItemAtPath(const std::string& path, Ref<NSError>* error = nullptr) const;
    // The names in a folder, sorted; nothing when it cannot be listed.
    std::optional<std::vector<std::string>> contentsOfDirectoryAtPath(const std::string& path,
                                                                      Ref<NSError>* error = nullptr) const;
    // NSFileSize (bytes), NSFileModificationDate and NSFileType of an item
    // (a symbolic link itself, not what it points to).
    std::optional<Dictionary> attributesOfItemAtPath(const std::string& path, Ref<NSError>* error = nullptr) const;
    // NSFileSystemSize and NSFileSystemFreeSize (bytes) of the file system
    // holding the path.
    std::optional<Dictionary> attributesOfFileSystemForPath(const std::string& path,
                                                            Ref<NSError>* error = nullptr) const;
};
