#pragma once

#include <time.h>

// The processor time this thread has used, in seconds. Work on other
// threads or other processes delays a thread but does not add to its
// processor time, so comparing two amounts of one thread's work with it
// does not depend on the machine's load.
inline double threadProcessorSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}
