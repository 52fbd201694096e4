#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSString.h"

// Writes one line to standard output. Safe from any thread; lines from
// different threads never interleave.
void NSLog(const std::string& line);

// Formats as NSString::stringWithFormat does, then logs the line.
template <class First, class... Rest>
void NSLog(std::string_view format, const First& first, const Rest&... rest) {
    NSLog(NSString::stringWithFormat(format, first, rest...));
}

// While alive, collects every line logged from any thread (and, when asked,
// keeps them off standard output). Captures may nest; each sees every line
// logged during its life.
class NSLogCapture {
public:
    explicit NSLogCapture(bool echoToStandardOutput = false);
    ~NSLogCapture();
    NSLogCapture(const NSLogCapture&) = delete;
    NSLogCapture& operator=(const NSLogCapture&) = delete;

    // The lines logged so far, in order.
    std::vector<std::string> lines() const;
    // True when some captured line contains `text`.
    bool contains(const std::string& text) const;
    void clear();
    // The lines logged so far, taken out in one step: a line logged meanwhile
    // is either among them or left for the next call, never lost.
    std::vector<std::string> takeLines();

private:
    friend void NSLog(const std::string& line);
    void record(const std::string& line);

    bool echo_;
    mutable std::mutex mutex_;
    std::vector<std::string> lines_;
};
