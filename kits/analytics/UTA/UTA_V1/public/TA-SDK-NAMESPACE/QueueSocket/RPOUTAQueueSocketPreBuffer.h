#pragma once

#include <cstddef>
#include <cstdint>

// Bytes read from the descriptor ahead of the current read request. Linear,
// not circular: the unread bytes lie between the read and the write position,
// and both return to the start when the reader catches up.
class RPOUTAQueueSocketPreBuffer {
public:
    explicit RPOUTAQueueSocketPreBuffer(std::size_t capacity);
    ~RPOUTAQueueSocketPreBuffer();
    RPOUTAQueueSocketPreBuffer(const RPOUTAQueueSocketPreBuffer&) = delete;
    RPOUTAQueueSocketPreBuffer& operator=(const RPOUTAQueueSocketPreBuffer&) = delete;

    std::size_t availableBytes() const { return static_cast<std::size_t>(writePointer_ - readPointer_); }
    std::size_t availableSpace() const { return preBufferSize_ - static_cast<std::size_t>(writePointer_ - preBuffer_); }
    std::uint8_t* readBuffer() const { return readPointer_; }
    std::uint8_t* writeBuffer() const { return writePointer_; }

    // Grows the block by exactly the shortfall when fewer than `length` bytes are free.
    void ensureCapacityForWrite(std::size_t length);
    void didRead(std::size_t length);
    void didWrite(std::size_t length);
    void reset();

private:
    std::uint8_t* preBuffer_;
    std::size_t preBufferSize_;
    std::uint8_t* readPointer_;
    std::uint8_t* writePointer_;
};
