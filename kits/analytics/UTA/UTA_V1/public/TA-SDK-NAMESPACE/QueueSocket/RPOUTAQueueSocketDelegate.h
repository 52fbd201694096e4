#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "foundation/DispatchQueue.h"
#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/NSURL.h"

class RPOUTAQueueSocket;

// What a socket tells its owner. Every method is optional: the defaults do
// nothing, and the two time-out questions and the queue question answer
// "not implemented" with an empty optional. Calls arrive asynchronously on
// the socket's delegate queue.
//
// The defaults of the progress calls and of the write completion, which
// come at every step of a transfer, also note that the delegate does not
// answer them, and the socket stops sending them (an override must not call
// the default).
class RPOUTAQueueSocketDelegate {
public:
    virtual ~RPOUTAQueueSocketDelegate() = default;

    enum Unanswered : unsigned { kReadProgress = 1u << 0, kWriteProgress = 1u << 1, kWriteCompletion = 1u << 2 };
    // Whether the default of that call has run (from any thread).
    bool leavesUnanswered(Unanswered call) const { return unanswered_.load(std::memory_order_relaxed) & call; }

    // Accepting: the queue for a new connection's socket (null: the socket
    // makes its own), then the new socket, which the delegate must keep.
    virtual std::optional<Ref<DispatchQueue>> newSocketQueueForConnectionFromAddress(
        const NSData& /*address*/, const Ref<RPOUTAQueueSocket>& /*sock*/) {
        return std::nullopt;
    }
    virtual void socketDidAcceptNewSocket(const Ref<RPOUTAQueueSocket>& /*sock*/,
                                          const Ref<RPOUTAQueueSocket>& /*newSocket*/) {}

    virtual void socketDidConnectToHost(const Ref<RPOUTAQueueSocket>& /*sock*/, const std::string& /*host*/,
                                        std::uint16_t /*port*/) {}
    virtual void socketDidConnectToUrl(const Ref<RPOUTAQueueSocket>& /*sock*/, const Ref<NSURL>& /*url*/) {}

    virtual void socketDidReadData(const Ref<RPOUTAQueueSocket>& /*sock*/, const NSData& /*data*/,
                                   std::int64_t /*tag*/) {}
    virtual void socketDidReadPartialDataOfLength(const Ref<RPOUTAQueueSocket>& /*sock*/,
                                                  std::uint64_t /*partialLength*/, std::int64_t /*tag*/) {
        note(kReadProgress);
    }
    // Seconds to extend the read by; nothing or 0 or less lets it time out.
    virtual std::optional<double> socketShouldTimeoutReadWithTag(const Ref<RPOUTAQueueSocket>& /*sock*/,
                                                                 std::int64_t /*tag*/, double /*elapsed*/,
                                                                 std::uint64_t /*bytesDone*/) {
        return std::nullopt;
    }

    virtual void socketDidWriteDataWithTag(const Ref<RPOUTAQueueSocket>& /*sock*/, std::int64_t /*tag*/) {
        note(kWriteCompletion);
    }
    virtual void socketDidWritePartialDataOfLength(const Ref<RPOUTAQueueSocket>& /*sock*/,
                                                   std::uint64_t /*partialLength*/, std::int64_t /*tag*/) {
        note(kWriteProgress);
    }
    virtual std::optional<double> socketShouldTimeoutWriteWithTag(const Ref<RPOUTAQueueSocket>& /*sock*/,
                                                                  std::int64_t /*tag*/, double /*elapsed*/,
                                                                  std::uint64_t /*bytesDone*/) {
        return std::nullopt;
    }

    // The peer closed its side while half-close is allowed.
    virtual void socketDidCloseReadStream(const Ref<RPOUTAQueueSocket>& /*sock*/) {}
    // The socket closed; `sock` is null when it closed because it was being
    // destroyed, `error` null for an orderly close.
    virtual void socketDidDisconnect(const Ref<RPOUTAQueueSocket>& /*sock*/, const Ref<NSError>& /*error*/) {}

private:
    void note(Unanswered call) { unanswered_.fetch_or(call, std::memory_order_relaxed); }

    std::atomic<unsigned> unanswered_{0};
};
