#include "kits/pal/PalApi/PalApiLog.h"

#include <sys/stat.h>

#include <cassert>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSDate.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"

namespace {

constexpr long kTrimAbove = 1048576;
constexpr long kKeepWhenTrimmed = 524288;
constexpr std::size_t kCopyChunk = 16384;
constexpr std::size_t kFileNameCapacity = 64;

struct LogState {
    std::FILE* file = nullptr;
    std::string path;  // of the open file: a new sandbox opens a new one
    char fileName[kFileNameCapacity] = {};
};

LogState& state() {
    static LogState shared;
    return shared;
}

std::string cachesFolder() {
    auto folders = NSSearchPathForDirectoriesInDomains(NSCachesDirectory, NSUserDomainMask, true);
    return folders.empty() ? std::string() : folders.front();
}

std::tm localNow(int* milliseconds) {
    const double now = NSDate::date().timeIntervalSince1970();
    const std::time_t seconds = static_cast<std::time_t>(now);
    if (milliseconds) *milliseconds = static_cast<int>((now - static_cast<double>(seconds)) * 1000);
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return local;
}

std::string timeStamp() {
    int milliseconds = 0;
    const std::tm t = localNow(&milliseconds);
    char text[64];
    std::snprintf(text, sizeof text, "%.4d-%.2d-%.2d:%.2d:%.2d:%.2d:%.3d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec, milliseconds);
    return text;
}

// Keeps the last 512 KiB of a log above 1 MiB, through a temporary file.
void trim(const std::string& logPath, const std::string& tempPath) {
    struct stat info {};
    if (::stat(logPath.c_str(), &info) != 0 || info.st_size <= kTrimAbove) return;
    std::FILE* source = std::fopen(logPath.c_str(), "rb");
    std::remove(tempPath.c_str());
    std::FILE* target = source ? std::fopen(tempPath.c_str(), "wb") : nullptr;
    if (!source || !target) {
        if (source) std::fclose(source);
        return;
    }
    std::fseek(source, static_cast<long>(info.st_size) - kKeepWhenTrimmed, SEEK_SET);
    std::vector<char> chunk(kCopyChunk);
    for (std::size_t read; (read = std::fread(chunk.data(), 1, chunk.size(), source)) > 0;)
        std::fwrite(chunk.data(), 1, read, target);
    std::fclose(source);
    std::fclose(target);
    if (std::remove(logPath.c_str()) == 0) {
        std::rename(tempPath.c_str(), logPath.c_str());
    } else {
        std::remove(tempPath.c_str());
    }
}

// The open log of the current sandbox; null when it cannot be opened (the
// next line tries again).
std::FILE* logFile() {
    LogState& log = state();
    const std::string folder = cachesFolder();
    const std::string path = folder + "/PalApi.log";
    if (log.file && log.path == path) return log.file;
    if (log.file) std::fclose(log.file);
    log.file = nullptr;
    trim(path, folder + "/PalApiTemp.log");
    log.file = std::fopen(path.c_str(), "a+");
    if (!log.file) return nullptr;
    log.path = path;
    const std::tm t = localNow(nullptr);
    std::fprintf(log.file, "\n\n\n\n\n********** BEGIN LOG ON %04d-%02d-%02d %02d:%02d:%02d **********\n",
                 t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    std::fflush(log.file);
    return log.file;
}

}  // namespace

std::size_t PalApiLogSetFileName(const char* sourcePath) {
    char* name = state().fileName;
    name[0] = '\0';
    if (!sourcePath || !*sourcePath) return 0;
    const char* slash = std::strrchr(sourcePath, '/');
    const char* start = slash ? slash + 1 : sourcePath;
    std::snprintf(name, kFileNameCapacity, "%s", start);
    return std::strlen(name);
}

void PalApiLog(const char* sourcePath, int line, const char* format, ...) {
    assert(format && "in_format");
    if (!format) return;
    va_list arguments;
    va_start(arguments, format);
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string message(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(message.data(), message.size() + 1, format, arguments);
    va_end(arguments);

    std::string place;
    if (PalApiLogSetFileName(sourcePath) > 0) place = std::string(state().fileName) + ":" + std::to_string(line) + " ";
    const std::string stamp = timeStamp();
    NSLog(stamp + " -PalAPI- " + place + message);
    if (std::FILE* file = logFile()) {
        std::fprintf(file, "%s-PalAPI- %s%s\n", stamp.c_str(), place.c_str(), message.c_str());
        std::fflush(file);
    }
}

void performBlockAfterDelay(std::function<void()> block, double delay) {
    DispatchQueue::main()->after(delay, std::move(block));
}
