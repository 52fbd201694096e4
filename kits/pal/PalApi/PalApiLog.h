#pragma once

#include <cstddef>
#include <functional>
#include <string>

// The kit's log: each line goes to the console and to "PalApi.log" in the
// caches folder, stamped with the time and the caller's source file name
// and line. The file is trimmed to its last 512 KiB when a run finds it
// above 1 MiB. Main thread only.
void PalApiLog(const char* sourcePath, int line, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Copies the file name of a source path (after its last "/") into the name
// of the current line, at most 63 characters; answers its length, 0 for a
// null or empty path or one that ends with "/".
std::size_t PalApiLogSetFileName(const char* sourcePath);

// The caller's own file and line.
#define PAL_API_LOG(...) PalApiLog(__FILE__, __LINE__, __VA_ARGS__)

// Runs a block once on the main run loop after a delay in seconds.
void performBlockAfterDelay(std::function<void()> block, double delay);
