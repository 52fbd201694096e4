#include "foundation/TimerQueue.h"

TimerQueue::Token TimerQueue::add(double due, std::function<void()> action, unsigned modes) {
    Token token = nextToken_++;
    entries_.emplace(Key{due, token}, Entry{std::move(action), modes});
    dueOf_.emplace(token, due);
    return token;
}

std::optional<std::function<void()>> TimerQueue::remove(Token token) {
    auto found = dueOf_.find(token);
    if (found == dueOf_.end()) return std::nullopt;
    auto entry = entries_.find(Key{found->second, token});
    auto action = std::move(entry->second.action);
    entries_.erase(entry);
    dueOf_.erase(found);
    return action;
}

std::optional<std::function<void()>> TimerQueue::takeDue(double now, unsigned modes) {
    for (auto it = entries_.begin(); it != entries_.end() && it->first.first <= now; ++it) {
        if (!(it->second.modes & modes)) continue;
        auto action = std::move(it->second.action);
        dueOf_.erase(it->first.second);
        entries_.erase(it);
        return action;
    }
    return std::nullopt;
}

std::optional<double> TimerQueue::nextDue(unsigned modes) const {
    for (const auto& [key, entry] : entries_)
        if (entry.modes & modes) return key.first;
    return std::nullopt;
}

std::vector<std::function<void()>> TimerQueue::takeAll() {
    std::vector<std::function<void()>> actions;
    for (auto& [key, entry] : entries_) actions.push_back(std::move(entry.action));
    entries_.clear();
    dueOf_.clear();
    return actions;
}
