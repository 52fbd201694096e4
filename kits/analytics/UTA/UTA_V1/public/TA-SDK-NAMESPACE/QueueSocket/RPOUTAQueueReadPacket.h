#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "foundation/NSData.h"

class RPOUTAQueueSocketPreBuffer;

// Result buffers of large fixed-length reads, given back once the delegate
// has seen them, so that a stream of equal reads refills the same memory:
// a fresh megabyte each time costs the requesting thread a page fault per
// page, as the allocator hands large blocks back to the system and takes
// them again. Shared by a socket and its pending delegate calls; any thread.
class RPOUTAQueueSpareBuffers {
public:
    // Reads smaller than this get a plain new buffer.
    static constexpr std::uint64_t kSmallestKept = 64 * 1024;

    // A kept buffer (its old bytes are to be overwritten), or an empty one.
    NSData take(std::uint64_t length);
    void give(NSData&& data);

private:
    std::mutex mutex_;
    std::vector<NSData> spares_;
};

// One read request: where its bytes go and when it is complete. Its kind
// follows from its fields: a fixed-length read when `readLength` > 0, a
// terminator read when `term` is set, otherwise a read of whatever bytes are
// available.
struct RPOUTAQueueReadPacket {
    // With a caller's buffer, that buffer itself is filled from `startOffset`;
    // without one, the packet makes its own of `readLength` bytes.
    // An own buffer starts from `spare` (grown or cut to `readLength`).
    RPOUTAQueueReadPacket(std::shared_ptr<NSData> data, std::uint64_t startOffset, std::uint64_t maxLength,
                          double timeout, std::uint64_t readLength, std::optional<NSData> terminator,
                          std::int64_t tag, NSData spare = NSData());

    std::shared_ptr<NSData> buffer;
    std::uint64_t startOffset;
    std::uint64_t bytesDone = 0;
    std::uint64_t maxLength;
    double timeout;
    std::uint64_t readLength;
    std::optional<NSData> term;
    bool bufferOwner;
    std::uint64_t originalBufferLength;
    std::int64_t tag;

    // Bytes that fit in the buffer after what is done, without growing it.
    std::uint64_t spareRoom() const;
    // Grows the buffer so that `length` more bytes fit after what is done.
    void ensureCapacityForAdditionalDataOfLength(std::uint64_t length);
    // How much of `bytesAvailable` a fixed-length or any-data read may take.
    std::uint64_t readLengthForNonTermWithHint(std::uint64_t bytesAvailable) const;
    // How much of `bytesAvailable` a terminator read may take, and whether it
    // must go through the pre-buffer because the packet has no room for it.
    std::uint64_t readLengthForTermWithHint(std::uint64_t bytesAvailable, bool* shouldPreBuffer) const;
    std::uint64_t optimalReadLengthWithDefault(std::uint64_t defaultValue, bool* shouldPreBuffer) const;
    // The count of pre-buffer bytes a terminator read takes next, up to and
    // including the terminator when it is found there.
    std::uint64_t readLengthForTermWithPreBuffer(const RPOUTAQueueSocketPreBuffer& preBuffer, bool* found) const;
    // After `numBytes` were read straight into the packet: the count of bytes
    // after the terminator, or -1 when the terminator is not among them.
    std::int64_t searchForTermAfterPreBuffering(std::int64_t numBytes) const;

    std::uint8_t* writePosition() { return buffer->mutableBytes() + startOffset + bytesDone; }
};

// One write request: the caller's bytes (shared, not copied) and how many
// have gone out.
struct RPOUTAQueueWritePacket {
    RPOUTAQueueWritePacket(std::shared_ptr<const NSData> data, double timeout, std::int64_t tag)
        : buffer(std::move(data)), tag(tag), timeout(timeout) {}

    std::shared_ptr<const NSData> buffer;
    std::uint64_t bytesDone = 0;
    std::int64_t tag;
    double timeout;
};
