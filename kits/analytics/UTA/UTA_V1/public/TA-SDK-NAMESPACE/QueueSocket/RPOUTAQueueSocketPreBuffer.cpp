#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketPreBuffer.h"

#include <cstdlib>
#include <new>

RPOUTAQueueSocketPreBuffer::RPOUTAQueueSocketPreBuffer(std::size_t capacity)
    : preBuffer_(static_cast<std::uint8_t*>(std::malloc(capacity ? capacity : 1))),
      preBufferSize_(capacity),
      readPointer_(preBuffer_),
      writePointer_(preBuffer_) {
    if (!preBuffer_) throw std::bad_alloc();
}

RPOUTAQueueSocketPreBuffer::~RPOUTAQueueSocketPreBuffer() { std::free(preBuffer_); }

void RPOUTAQueueSocketPreBuffer::ensureCapacityForWrite(std::size_t length) {
    const std::size_t space = availableSpace();
    if (length <= space) return;
    const std::size_t readOffset = readPointer_ - preBuffer_;
    const std::size_t writeOffset = writePointer_ - preBuffer_;
    preBufferSize_ += length - space;
    auto* grown = static_cast<std::uint8_t*>(std::realloc(preBuffer_, preBufferSize_));
    if (!grown) throw std::bad_alloc();
    preBuffer_ = grown;
    readPointer_ = preBuffer_ + readOffset;
    writePointer_ = preBuffer_ + writeOffset;
}

void RPOUTAQueueSocketPreBuffer::didRead(std::size_t length) {
    readPointer_ += length;
    if (readPointer_ == writePointer_) reset();
}

void RPOUTAQueueSocketPreBuffer::didWrite(std::size_t length) { writePointer_ += length; }

void RPOUTAQueueSocketPreBuffer::reset() {
    readPointer_ = preBuffer_;
    writePointer_ = preBuffer_;
}
