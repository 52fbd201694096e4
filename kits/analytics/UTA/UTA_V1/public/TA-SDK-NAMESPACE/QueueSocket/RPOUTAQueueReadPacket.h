#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "foundation/NSData.h"

class RPOUTAQueueSocketPreBuffer;

// One read request: where its bytes go and when it is complete. Its kind
// follows from its fields: a fixed-length read when `readLength` > 0, a
// terminator read when `term` is set, otherwise a read of whatever bytes are
// available.
struct RPOUTAQueueReadPacket {
    // With a caller's buffer, that buffer itself is filled from `startOffset`;
    // without one, the packet makes its own of `readLength` bytes.
    RPOUTAQueueReadPacket(std::shared_ptr<NSData> data, std::uint64_t startOffset, std::uint64_t maxLength,
                          double timeout, std::uint64_t readLength, std::optional<NSData> terminator,
                          std::int64_t tag);

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
