#pragma once

#include <cstddef>

// One request's answer not yet handed to the code that waits for it. A
// client makes one when a handler for an answer is set going (a URL session
// task's completion when the task resumes, an Alamofire response handler
// when it is added) and keeps it with the handler until the handler has run
// or has been dropped (its block discarded, its task released). A client
// that passes the answer on to another queue holds its own from before it
// lets go of the first, so the count never drops to zero on the way. Tests
// wait on it until the requests they set off have been answered, and drop
// what earlier ones still have on the way.
class PendingAnswer {
public:
    PendingAnswer();
    ~PendingAnswer();
    PendingAnswer(const PendingAnswer&) = delete;
    PendingAnswer& operator=(const PendingAnswer&) = delete;

    // The answers pending now, over every thread.
    static std::size_t count();
};
