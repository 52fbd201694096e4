#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "foundation/NSObject.h"

// A thread of the process, as code running on it sees it: its name, and
// whether it is the main thread (the process's first thread, which runs the
// main run loop).
class NSThread : public NSObject {
public:
    static Ref<NSThread> currentThread();
    static bool isMainThread();
    // Starts a thread named `name` that runs `block` and ends with it.
    static void detachNewThreadWithBlock(std::function<void()> block, std::string name = {});

    std::string name() const;
    // Also names the system thread (its first 15 bytes) when called on it.
    void setName(std::string name);

private:
    mutable std::mutex mutex_;
    std::string name_;
};
