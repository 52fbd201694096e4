#pragma once

#include <functional>
#include <mutex>

// One-time initialisation: the first `perform` runs its block; every other
// call, on any thread, waits until that block has finished and does nothing.
class DispatchOnce {
public:
    void perform(const std::function<void()>& block) { std::call_once(flag_, block); }

private:
    std::once_flag flag_;
};
