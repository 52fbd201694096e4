#pragma once

#include "foundation/DispatchPoller.h"
#include "foundation/DispatchSource.h"

// A source that fires while a descriptor is readable (or writable), for as
// long as the condition lasts: after each handler call it looks again. All
// descriptor sources share the one poller thread.
//
// The source never closes the descriptor. To close it, cancel the source(s)
// and close it in the cancel handler: when a cancel handler runs, the poller
// no longer refers to the descriptor in that direction. With a read and a
// write source on one descriptor, count the two cancel handlers and close at
// the second, so the descriptor is closed exactly once, after both.
// Descriptors that epoll cannot watch (regular files) never fire.
class DispatchDescriptorSource : public DispatchSource {
public:
    // Use DispatchSource::makeReadSource / makeWriteSource.
    DispatchDescriptorSource(int fd, DispatchPoller::Direction direction, Ref<DispatchQueue> queue)
        : DispatchSource(std::move(queue)), fd_(fd), direction_(direction) {}

protected:
    void didResume(bool first) override;
    void didCancel() override;
    std::optional<unsigned long> eventData(unsigned long count) override;
    void didDeliver() override;

private:
    void watch();
    // Whether the descriptor is ready in the source's direction now.
    bool isReady() const;

    const int fd_;
    const DispatchPoller::Direction direction_;
};
