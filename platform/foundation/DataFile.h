#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "foundation/NSData.h"

// Whole-file reads and writes of bytes.
class DataFile {
public:
    // The file's bytes; nothing when it cannot be read (missing, a folder,
    // a pipe or anything else that is not a regular file, never waited on; a
    // failing disk...), with the errno of the failure in `error` when given
    // (EISDIR for a folder, EINVAL for anything else that is not a file).
    static std::optional<NSData> dataWithContentsOfFile(const std::string& path, int* error = nullptr);
    // Writes the bytes, replacing any file there. Atomically: into a
    // temporary file beside it, then renamed over it, so readers see the old
    // or the new contents, never a part. A new file is the app's alone
    // (kFileMode), as an app's files on the phone are. Returns 0 or the errno
    // of the failure.
    static int writeToFile(const NSData& data, const std::string& path, bool atomically);
    // As writeToFile atomically, and on the disk before it returns: the new
    // file's bytes are synced before the rename, and its folder after it, so
    // that a power loss after the return cannot bring the old contents back.
    static int writeToFileDurably(const NSData& data, const std::string& path);
    // Makes the folder `path` and the missing folders above it, each the
    // app's alone (kFolderMode); a folder there is left as it is. False, with
    // `error` set, when one cannot be made (or a file stands in its place).
    static bool makeFolders(const std::string& path, std::error_code& error);

    static constexpr unsigned kFileMode = 0600, kFolderMode = 0700;
};
