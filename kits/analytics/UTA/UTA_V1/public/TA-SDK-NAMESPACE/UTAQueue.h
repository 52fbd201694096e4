#pragma once

#include <cstddef>
#include <deque>
#include <utility>

// The first-in-first-out queue of the report channel's send units and of the
// store's in-memory events: `enqueue` appends, `dequeue` removes and answers
// the first element, or an empty one (a null reference) when there is none.
template <class T> class UTAQueue {
public:
    void enqueue(T element) { elements_.push_back(std::move(element)); }
    T dequeue() {
        if (elements_.empty()) return T{};
        T first = std::move(elements_.front());
        elements_.pop_front();
        return first;
    }
    bool empty() const { return elements_.empty(); }
    std::size_t size() const { return elements_.size(); }

private:
    std::deque<T> elements_;
};
