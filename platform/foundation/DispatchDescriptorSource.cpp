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

void DispatchDescriptorSource::didDeliver() {
    // A descriptor that is ready again by now (the peer kept sending while
    // the handler read) is delivered again straight from here, behind what
    // waits on the queue: waiting for the poller to report it would cost a
    // wake-up of the poller thread and another of a worker for nothing.
    if (isReady()) {
        signal();
        return;
    }
    watch();
}

void DispatchDescriptorSource::didCancel() { DispatchPoller::shared().unwatch(fd_, direction_); }

bool DispatchDescriptorSource::isReady() const {
    // Hang-ups and errors count as ready, as they do for the poller.
    pollfd probe{fd_, static_cast<short>(direction_ == DispatchPoller::Direction::Read ? POLLIN : POLLOUT), 0};
    return poll(&probe, 1, 0) == 1;
}

std::optional<unsigned long> DispatchDescriptorSource::eventData(unsigned long) {
    // The readiness may be stale by now (the handler of an earlier event read
    // everything): look again without waiting.
    if (!isReady()) return std::nullopt;
    if (direction_ == DispatchPoller::Direction::Write) return 1;
    int readable = 0;
    if (ioctl(fd_, FIONREAD, &readable) != 0 || readable < 0) readable = 0;
    return static_cast<unsigned long>(readable);
}
