#include "foundation/DispatchDescriptorSource.h"

#include <poll.h>
#include <sys/ioctl.h>

void DispatchDescriptorSource::watch() {
    // Under the source's lock, so that a concurrent cancel either sees the
    // watch and ends it, or the watch never starts.
    whileLive(true, [&] {
        DispatchPoller::shared().watch(fd_, direction_,
                                       [source = self<DispatchDescriptorSource>()] { source->signal(); });
    });
}

void DispatchDescriptorSource::didResume(bool) { watch(); }

void DispatchDescriptorSource::didDeliver() { watch(); }

void DispatchDescriptorSource::didCancel() { DispatchPoller::shared().unwatch(fd_, direction_); }

std::optional<unsigned long> DispatchDescriptorSource::eventData(unsigned long) {
    // The readiness may be stale by now (the handler of an earlier event read
    // everything): look again without waiting.
    const bool reading = direction_ == DispatchPoller::Direction::Read;
    pollfd probe{fd_, static_cast<short>(reading ? POLLIN : POLLOUT), 0};
    if (poll(&probe, 1, 0) != 1) return std::nullopt;
    if (!reading) return 1;
    int readable = 0;
    if (ioctl(fd_, FIONREAD, &readable) != 0 || readable < 0) readable = 0;
    return static_cast<unsigned long>(readable);
}
