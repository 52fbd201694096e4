#pragma once

#include <chrono>
#include <functional>
#include <thread>

// How long a test waits for something that must come (an answer, a close,
// a condition) before it fails: only a bound that ends a broken test, far
// beyond what the wait takes on a loaded machine under the sanitizers. A
// wait returns as soon as what it waits for comes, so a test never passes
// or fails by a margin of time.
constexpr std::chrono::milliseconds kGiveUpAfter = std::chrono::seconds(60);
// The same bound for the main loop's waits, which take seconds.
constexpr double kGiveUpAfterSeconds = std::chrono::duration<double>(kGiveUpAfter).count();

// Waits, off the main loop, until `condition` holds; false when it still
// does not after `failAfter`.
inline bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds failAfter = kGiveUpAfter) {
    const auto giveUp = std::chrono::steady_clock::now() + failAfter;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= giveUp) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Has a cpp-httplib client wait for its connection and answers up to the
// give-up bound, instead of the library's few seconds: for answers that
// must come.
template <class HTTPClient> HTTPClient& waitingForAnswers(HTTPClient& client) {
    client.set_connection_timeout(kGiveUpAfter);
    client.set_read_timeout(kGiveUpAfter);
    client.set_write_timeout(kGiveUpAfter);
    return client;
}
