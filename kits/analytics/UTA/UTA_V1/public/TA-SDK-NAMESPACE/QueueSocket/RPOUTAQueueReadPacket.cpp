#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueReadPacket.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketPreBuffer.h"

namespace {
// Kept buffers: enough for the reads a caller keeps queued ahead.
constexpr std::size_t kSparesKept = 2;
}  // namespace

NSData RPOUTAQueueSpareBuffers::take(std::uint64_t length) {
    if (length < kSmallestKept) return NSData();
    std::lock_guard lock(mutex_);
    if (spares_.empty()) return NSData();
    NSData spare = std::move(spares_.back());
    spares_.pop_back();
    return spare;
}

void RPOUTAQueueSpareBuffers::give(NSData&& data) {
    if (data.length() < kSmallestKept) return;
    std::lock_guard lock(mutex_);
    if (spares_.size() < kSparesKept) spares_.push_back(std::move(data));
}

RPOUTAQueueReadPacket::RPOUTAQueueReadPacket(std::shared_ptr<NSData> data, std::uint64_t startOffset,
                                             std::uint64_t maxLength, double timeout, std::uint64_t readLength,
                                             std::optional<NSData> terminator, std::int64_t tag, NSData spare)
    : maxLength(maxLength), timeout(timeout), readLength(readLength), term(std::move(terminator)), tag(tag) {
    if (data) {
        buffer = std::move(data);
        this->startOffset = startOffset;
        bufferOwner = false;
        originalBufferLength = buffer->length();
    } else {
        buffer = std::make_shared<NSData>(std::move(spare));
        buffer->setLength(readLength);
        this->startOffset = 0;
        bufferOwner = true;
        originalBufferLength = 0;
    }
}

std::uint64_t RPOUTAQueueReadPacket::spareRoom() const {
    const std::uint64_t used = startOffset + bytesDone;
    return buffer->length() > used ? buffer->length() - used : 0;
}

void RPOUTAQueueReadPacket::ensureCapacityForAdditionalDataOfLength(std::uint64_t length) {
    const std::uint64_t spare = spareRoom();
    if (spare < length) buffer->setLength(buffer->length() + (length - spare));
}

std::uint64_t RPOUTAQueueReadPacket::readLengthForNonTermWithHint(std::uint64_t bytesAvailable) const {
    assert(!term && "This method does not apply to term reads");
    assert(bytesAvailable > 0 && "Invalid parameter: bytesAvailable");
    if (readLength > 0) return std::min(bytesAvailable, readLength - bytesDone);
    if (maxLength > 0) return std::min(bytesAvailable, maxLength - bytesDone);
    return bytesAvailable;
}

std::uint64_t RPOUTAQueueReadPacket::readLengthForTermWithHint(std::uint64_t bytesAvailable,
                                                                bool* shouldPreBuffer) const {
    assert(term && "This method does not apply to non-term reads");
    assert(bytesAvailable > 0 && "Invalid parameter: bytesAvailable");
    std::uint64_t result = bytesAvailable;
    if (maxLength > 0) result = std::min(result, maxLength - bytesDone);
    if (shouldPreBuffer) *shouldPreBuffer = spareRoom() < result;
    return result;
}

std::uint64_t RPOUTAQueueReadPacket::optimalReadLengthWithDefault(std::uint64_t defaultValue,
                                                                   bool* shouldPreBuffer) const {
    if (readLength > 0) {
        if (shouldPreBuffer) *shouldPreBuffer = false;
        return std::min(defaultValue, readLength - bytesDone);
    }
    std::uint64_t result = defaultValue;
    if (maxLength > 0) result = std::min(result, maxLength - bytesDone);
    if (shouldPreBuffer) *shouldPreBuffer = spareRoom() < result;
    return result;
}

std::uint64_t RPOUTAQueueReadPacket::readLengthForTermWithPreBuffer(const RPOUTAQueueSocketPreBuffer& preBuffer,
                                                                     bool* found) const {
    assert(term && "This method does not apply to non-term reads");
    assert(preBuffer.availableBytes() > 0 && "Invoked with empty pre buffer!");
    *found = false;
    const std::uint64_t termLength = term->length();
    const std::uint64_t available = preBuffer.availableBytes();
    if (bytesDone + available < termLength) return available;

    std::uint64_t limit = available;
    if (maxLength > 0) limit = std::min(available, maxLength - bytesDone);

    // Windows of the terminator's length, from the earliest: first those that
    // start in the packet's tail and end in the pre-buffer, then those inside
    // the pre-buffer.
    const std::uint8_t* termBytes = term->bytes();
    const std::uint8_t* pre = preBuffer.readBuffer();
    std::uint64_t fromPacket = std::min<std::uint64_t>(bytesDone, termLength - 1);
    std::uint64_t fromPre = termLength - fromPacket;
    const std::uint8_t* packetEnd = buffer->bytes() + startOffset + bytesDone;
    std::uint64_t windows = fromPacket + limit >= termLength ? fromPacket + limit - termLength + 1 : 0;
    std::uint64_t position = 0;
    for (std::uint64_t w = 0; w < windows; ++w) {
        if (fromPacket > 0) {
            if (std::memcmp(packetEnd - fromPacket, termBytes, fromPacket) == 0 &&
                std::memcmp(pre, termBytes + fromPacket, fromPre) == 0) {
                *found = true;
                return fromPre;
            }
            --fromPacket;
            ++fromPre;
        } else {
            if (std::memcmp(pre + position, termBytes, termLength) == 0) {
                *found = true;
                return position + termLength;
            }
            ++position;
        }
    }
    return limit;
}

std::int64_t RPOUTAQueueReadPacket::searchForTermAfterPreBuffering(std::int64_t numBytes) const {
    assert(term && "This method does not apply to non-term reads");
    const std::uint64_t termLength = term->length();
    const std::uint8_t* data = buffer->bytes() + startOffset;
    const std::uint64_t end = bytesDone + static_cast<std::uint64_t>(numBytes);
    std::uint64_t i = bytesDone < termLength ? 0 : bytesDone + 1 - termLength;
    for (; i + termLength <= end; ++i) {
        if (std::memcmp(data + i, term->bytes(), termLength) == 0) {
            return static_cast<std::int64_t>(end - (i + termLength));
        }
    }
    return -1;
}
