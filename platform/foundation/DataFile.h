#pragma once

#include <optional>
#include <string>

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
    // or the new contents, never a part. Returns 0 or the errno of the failure.
    static int writeToFile(const NSData& data, const std::string& path, bool atomically);
};
