#include "foundation/NSLog.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The captures alive now; guarded by sinkMutex, which also serialises the
// writes to standard output.
std::mutex sinkMutex;
std::vector<NSLogCapture*> captures;

}  // namespace

void NSLog(const std::string& line) {
    std::lock_guard lock(sinkMutex);
    bool echo = true;
    for (NSLogCapture* capture : captures) {
        capture->record(line);
        echo = echo && capture->echo_;
    }
    if (!echo) return;
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

NSLogCapture::NSLogCapture(bool echoToStandardOutput) : echo_(echoToStandardOutput) {
    std::lock_guard lock(sinkMutex);
    captures.push_back(this);
}

NSLogCapture::~NSLogCapture() {
    std::lock_guard lock(sinkMutex);
    captures.erase(std::remove(captures.begin(), captures.end(), this), captures.end());
}

void NSLogCapture::record(const std::string& line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(line);
}

std::vector<std::string> NSLogCapture::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

bool NSLogCapture::contains(const std::string& text) const {
    std::lock_guard lock(mutex_);
    return std::any_of(lines_.begin(), lines_.end(),
                       [&](const std::string& line) { return line.find(text) != std::string::npos; });
}

void NSLogCapture::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

std::vector<std::string> NSLogCapture::takeLines() {
    std::lock_guard lock(mutex_);
    return std::exchange(lines_, {});
}
