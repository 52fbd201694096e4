#pragma once

#include <cstddef>

// One request's answer not yet handed to the code that waits for it. A
// client makes one when a handler is registered for an answer and keeps it
// with the handler until the handler has run, or has been dropped (its
// block discarded, its request released), so that a test can wait until
// the requests it set off have been answered, or drop what earlier ones
// still have on the way.
class PendingAnswer {
public:
    PendingAnswer();
    ~PendingAnswer();
    PendingAnswer(const PendingAnswer&) = delete;
    PendingAnswer& operator=(const PendingAnswer&) = delete;

    // The answers pending now, over every thread.
    static std::size_t count();
};
