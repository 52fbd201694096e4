#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

// Actions waiting for a time, kept in firing order: earlier times first,
// equal times in the order they were added. Each action carries a mask of the
// run loop modes it may fire in (callers without modes use allModes).
// Not synchronised: its owner locks.
class TimerQueue {
public:
    using Token = std::uint64_t;
    static constexpr unsigned allModes = ~0u;

    Token add(double due, std::function<void()> action, unsigned modes = allModes);
    // The removed action (for its owner to destroy outside its lock);
    // nothing when the token already fired or was removed.
    std::optional<std::function<void()>> remove(Token token);
    // Removes and returns the earliest action due at or before `now` that may
    // fire in `modes`.
    std::optional<std::function<void()>> takeDue(double now, unsigned modes = allModes);
    // The earliest due time of an action that may fire in `modes`.
    std::optional<double> nextDue(unsigned modes = allModes) const;
    // Removes every action and returns them (for its owner to destroy
    // outside its lock). Tokens go on from where they were: a token handed
    // out before never names an action added after.
    std::vector<std::function<void()>> takeAll();

private:
    using Key = std::pair<double, Token>;
    struct Entry {
        std::function<void()> action;
        unsigned modes;
    };
    std::map<Key, Entry> entries_;
    std::unordered_map<Token, double> dueOf_;
    Token nextToken_ = 1;
};
