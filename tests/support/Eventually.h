#pragma once

#include <chrono>
#include <functional>
#include <thread>

// Waits, off the main loop, until `condition` holds; false when it still
// does not after `failAfter`. The bound only ends a test that would otherwise
// hang: it is far beyond what the condition takes on a loaded machine, so a
// test asserts the result and never passes or fails by a margin of time.
inline bool eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds failAfter = std::chrono::seconds(60)) {
    const auto giveUp = std::chrono::steady_clock::now() + failAfter;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
