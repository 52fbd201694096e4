#pragma once

#include <functional>

// Tells a function, on a serial queue of its own, whenever the machine's
// network links or their addresses change (the kernel's route messages).
// Process-wide; started on first use. Where the kernel refuses the watch,
// nothing is told.
class InterfaceChangeWatcher {
public:
    InterfaceChangeWatcher() = delete;

    // Later calls replace the function.
    static void start(std::function<void()> onChange);
};
