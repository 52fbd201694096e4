#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

// What the benchmark's own process uses, for figures measured around a load.
namespace process_figures {

constexpr double kMiB = 1 << 20;

// Resident memory now, in bytes.
inline double residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE));
}

// Processor time used so far, user and system, in seconds.
inline double processorSeconds() {
    rusage used{};
    ::getrusage(RUSAGE_SELF, &used);
    return static_cast<double>(used.ru_utime.tv_sec + used.ru_stime.tv_sec) +
           static_cast<double>(used.ru_utime.tv_usec + used.ru_stime.tv_usec) / 1e6;
}

}  // namespace process_figures
