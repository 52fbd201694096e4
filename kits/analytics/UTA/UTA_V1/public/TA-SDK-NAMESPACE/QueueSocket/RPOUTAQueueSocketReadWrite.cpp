#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

namespace {

// The bytes readable on the descriptor now (0 at end of stream or on failure).
std::uint64_t readableBytes(int socketFD) {
    int readable = 0;
    if (ioctl(socketFD, FIONREAD, &readable) != 0 || readable < 0) return 0;
    return static_cast<std::uint64_t>(readable);
}

}  // namespace

// ---- descriptor sources

void RPOUTAQueueSocket::setupReadAndWriteSourcesForNewlyConnectedSocket(int socketFD) {
    readSource_ = DispatchSource::makeReadSource(socketFD, socketQueue_);
    writeSource_ = DispatchSource::makeWriteSource(socketFD, socketQueue_);

    readSource_->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>()] {
        auto sock = weak.lock();
        if (!sock || !sock->readSource_) return;
        sock->socketFDBytesAvailable_ = sock->readSource_->data();
        if (sock->socketFDBytesAvailable_ > 0) {
            sock->doReadData();
        } else {
            sock->doReadEOF();
        }
    });
    writeSource_->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>()] {
        auto sock = weak.lock();
        if (!sock) return;
        sock->flags_ |= kSocketCanAcceptBytes;
        sock->doWriteData();
    });

    // The descriptor closes once both sources are cancelled.
    auto remaining = std::make_shared<std::atomic<int>>(2);
    auto closeWhenBothCancelled = [remaining, socketFD] {
        if (--*remaining == 0) ::close(socketFD);
    };
    readSource_->setCancelHandler(closeWhenBothCancelled);
    writeSource_->setCancelHandler(closeWhenBothCancelled);

    socketFDBytesAvailable_ = 0;
    flags_ &= ~kReadSourceSuspended;
    readSource_->resume();
    flags_ |= kSocketCanAcceptBytes | kWriteSourceSuspended;
}

void RPOUTAQueueSocket::suspendReadSource() {
    if (!(flags_ & kReadSourceSuspended) && readSource_) {
        readSource_->suspend();
        flags_ |= kReadSourceSuspended;
    }
}

void RPOUTAQueueSocket::resumeReadSource() {
    if ((flags_ & kReadSourceSuspended) && readSource_) {
        readSource_->resume();
        flags_ &= ~kReadSourceSuspended;
    }
}

void RPOUTAQueueSocket::suspendWriteSource() {
    if (!(flags_ & kWriteSourceSuspended) && writeSource_) {
        writeSource_->suspend();
        flags_ |= kWriteSourceSuspended;
    }
}

void RPOUTAQueueSocket::resumeWriteSource() {
    if ((flags_ & kWriteSourceSuspended) && writeSource_) {
        writeSource_->resume();
        flags_ &= ~kWriteSourceSuspended;
    }
}

// ---- read requests

void RPOUTAQueueSocket::enqueueRead(std::shared_ptr<RPOUTAQueueReadPacket> packet) {
    socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>(), packet = std::move(packet)] {
        auto sock = weak.lock();
        if (!sock) return;
        if ((sock->flags_ & kSocketStarted) && !(sock->flags_ & kForbidReadsWrites)) {
            sock->readQueue_.push_back(packet);
            sock->maybeDequeueRead();
        }
    });
}

void RPOUTAQueueSocket::readDataWithTimeout(double timeout, std::int64_t tag) {
    readDataWithTimeout(timeout, nullptr, 0, 0, tag);
}

void RPOUTAQueueSocket::readDataWithTimeout(double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                                            std::int64_t tag) {
    readDataWithTimeout(timeout, std::move(buffer), offset, 0, tag);
}

void RPOUTAQueueSocket::readDataWithTimeout(double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                                            std::uint64_t maxLength, std::int64_t tag) {
    if (buffer && offset > buffer->length()) return;
    enqueueRead(std::make_shared<RPOUTAQueueReadPacket>(std::move(buffer), offset, maxLength, timeout, 0,
                                                        std::nullopt, tag));
}

void RPOUTAQueueSocket::readDataToLength(std::uint64_t length, double timeout, std::int64_t tag) {
    readDataToLength(length, timeout, nullptr, 0, tag);
}

void RPOUTAQueueSocket::readDataToLength(std::uint64_t length, double timeout, std::shared_ptr<NSData> buffer,
                                         std::uint64_t offset, std::int64_t tag) {
    if (length == 0) return;
    if (buffer && offset > buffer->length()) return;
    NSData spare = buffer ? NSData() : spareBuffers_->take(length);
    enqueueRead(std::make_shared<RPOUTAQueueReadPacket>(std::move(buffer), offset, 0, timeout, length,
                                                        std::nullopt, tag, std::move(spare)));
}

void RPOUTAQueueSocket::readDataToData(const NSData& data, double timeout, std::int64_t tag) {
    readDataToData(data, timeout, nullptr, 0, 0, tag);
}

void RPOUTAQueueSocket::readDataToData(const NSData& data, double timeout, std::shared_ptr<NSData> buffer,
                                       std::uint64_t offset, std::int64_t tag) {
    readDataToData(data, timeout, std::move(buffer), offset, 0, tag);
}

void RPOUTAQueueSocket::readDataToData(const NSData& data, double timeout, std::uint64_t maxLength,
                                       std::int64_t tag) {
    readDataToData(data, timeout, nullptr, 0, maxLength, tag);
}

void RPOUTAQueueSocket::readDataToData(const NSData& data, double timeout, std::shared_ptr<NSData> buffer,
                                       std::uint64_t offset, std::uint64_t maxLength, std::int64_t tag) {
    if (data.empty()) return;
    if (buffer && offset > buffer->length()) return;
    if (maxLength > 0 && maxLength < data.length()) return;
    enqueueRead(std::make_shared<RPOUTAQueueReadPacket>(std::move(buffer), offset, maxLength, timeout, 0, data, tag));
}

float RPOUTAQueueSocket::progressOfReadReturningTag(std::int64_t* tag, std::uint64_t* done, std::uint64_t* total) {
    float result = NAN;
    runSync([&] {
        if (!currentRead_) {
            if (tag) *tag = 0;
            if (done) *done = 0;
            if (total) *total = 0;
            return;
        }
        if (tag) *tag = currentRead_->tag;
        if (done) *done = currentRead_->bytesDone;
        if (total) *total = currentRead_->readLength;
        result = currentRead_->readLength > 0
                     ? static_cast<float>(currentRead_->bytesDone) / static_cast<float>(currentRead_->readLength)
                     : 1.0f;
    });
    return result;
}

// ---- the read engine

void RPOUTAQueueSocket::maybeDequeueRead() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (currentRead_ || !(flags_ & kConnected)) return;
    if (!readQueue_.empty()) {
        currentRead_ = readQueue_.front();
        readQueue_.pop_front();
        setupReadTimerWithTimeout(currentRead_->timeout);
        doReadData();
    } else if (flags_ & kDisconnectAfterReads) {
        if (flags_ & kDisconnectAfterWrites) {
            if (writeQueue_.empty() && !currentWrite_) closeWithError(nullptr);
        } else {
            closeWithError(nullptr);
        }
    }
}

void RPOUTAQueueSocket::doReadData() {
    if (!currentRead_ || (flags_ & kReadsPaused)) {
        if (socketFDBytesAvailable_ > 0) suspendReadSource();
        return;
    }
    if (socketFDBytesAvailable_ == 0 && preBuffer_.availableBytes() == 0 && !(flags_ & kSocketHasReadEOF)) {
        // Nothing counted yet: ask the descriptor itself, as the read source
        // would, rather than waiting for the source to come round with bytes
        // that have already arrived (the next read of a transfer in flow).
        socketFDBytesAvailable_ = readableBytes(connectedFD());
    }
    if (socketFDBytesAvailable_ == 0 && preBuffer_.availableBytes() == 0) {
        resumeReadSource();
        return;
    }

    RPOUTAQueueReadPacket& packet = *currentRead_;
    bool done = false;
    Ref<NSError> error;
    std::uint64_t totalBytesReadForCurrentRead = 0;
    bool socketEOF = flags_ & kSocketHasReadEOF;
    bool waiting = socketFDBytesAvailable_ == 0 && !socketEOF;

    // Moves `length` pre-buffered bytes into the packet.
    auto drainPreBuffer = [&](std::uint64_t length) {
        packet.ensureCapacityForAdditionalDataOfLength(length);
        std::memcpy(packet.writePosition(), preBuffer_.readBuffer(), length);
        preBuffer_.didRead(length);
        packet.bytesDone += length;
        totalBytesReadForCurrentRead += length;
    };
    auto checkMaxLength = [&] {
        if (packet.maxLength > 0 && packet.bytesDone >= packet.maxLength) error = readMaxedOutError();
    };

    if (preBuffer_.availableBytes() > 0) {
        std::uint64_t length;
        if (packet.term) {
            length = packet.readLengthForTermWithPreBuffer(preBuffer_, &done);
        } else {
            length = packet.readLengthForNonTermWithHint(preBuffer_.availableBytes());
        }
        drainPreBuffer(length);
        if (packet.readLength > 0) {
            done = packet.bytesDone == packet.readLength;
        } else if (packet.term) {
            if (!done) checkMaxLength();
        } else if (packet.maxLength > 0 && packet.bytesDone >= packet.maxLength) {
            done = true;
        }
    }

    if (!done && !error && !socketEOF && socketFDBytesAvailable_ > 0) {
        assert(preBuffer_.availableBytes() == 0 && "Invalid logic");
        bool readIntoPreBuffer = false;
        std::uint64_t bytesToRead;
        if (packet.term) {
            bytesToRead = packet.readLengthForTermWithHint(socketFDBytesAvailable_, &readIntoPreBuffer);
        } else {
            bytesToRead = packet.readLengthForNonTermWithHint(socketFDBytesAvailable_);
            // A fixed-length read whose buffer has room for the rest asks for
            // all of it: read() gives what has arrived by now, more than the
            // count when the peer keeps sending, and saves a pass per segment.
            if (packet.readLength > 0 && packet.spareRoom() >= packet.readLength - packet.bytesDone) {
                bytesToRead = packet.readLength - packet.bytesDone;
            }
        }
        std::uint8_t* target;
        if (readIntoPreBuffer) {
            preBuffer_.ensureCapacityForWrite(bytesToRead);
            target = preBuffer_.writeBuffer();
        } else {
            packet.ensureCapacityForAdditionalDataOfLength(bytesToRead);
            target = packet.writePosition();
        }

        const ssize_t result = ::read(connectedFD(), target, bytesToRead);
        if (result < 0) {
            if (errno == EWOULDBLOCK || errno == EAGAIN) {
                waiting = true;
            } else {
                error = errnoErrorWithReason("Error in read() function");
            }
            socketFDBytesAvailable_ = 0;
        } else if (result == 0) {
            socketEOF = true;
            socketFDBytesAvailable_ = 0;
        } else {
            const auto bytesRead = static_cast<std::uint64_t>(result);
            if (bytesRead < bytesToRead) {
                socketFDBytesAvailable_ = 0;
            } else {
                socketFDBytesAvailable_ -= std::min(socketFDBytesAvailable_, bytesRead);
            }
            if (socketFDBytesAvailable_ == 0) waiting = true;

            if (packet.readLength > 0) {
                assert(!readIntoPreBuffer && "Invalid logic");
                packet.bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = packet.bytesDone == packet.readLength;
            } else if (packet.term) {
                if (readIntoPreBuffer) {
                    preBuffer_.didWrite(bytesRead);
                    drainPreBuffer(packet.readLengthForTermWithPreBuffer(preBuffer_, &done));
                    if (!done) checkMaxLength();
                } else {
                    const std::int64_t overflow = packet.searchForTermAfterPreBuffering(result);
                    if (overflow < 0) {
                        packet.bytesDone += bytesRead;
                        totalBytesReadForCurrentRead += bytesRead;
                        checkMaxLength();
                    } else {
                        // Bytes after the terminator wait in the pre-buffer for the next read.
                        const auto extra = static_cast<std::uint64_t>(overflow);
                        const std::uint64_t kept = bytesRead - extra;
                        preBuffer_.ensureCapacityForWrite(extra);
                        std::memcpy(preBuffer_.writeBuffer(), packet.writePosition() + kept, extra);
                        preBuffer_.didWrite(extra);
                        packet.bytesDone += kept;
                        totalBytesReadForCurrentRead += kept;
                        done = true;
                    }
                }
            } else {
                packet.bytesDone += bytesRead;
                totalBytesReadForCurrentRead += bytesRead;
                done = true;
            }
        }
    }

    if (!done && packet.readLength == 0 && !packet.term && totalBytesReadForCurrentRead > 0) done = true;

    if (done) {
        completeCurrentRead();
        if (error) {
            closeWithError(error);
        } else if (!socketEOF) {
            maybeDequeueRead();
            if (waiting) resumeReadSource();
        } else {
            if (preBuffer_.availableBytes() > 0) maybeDequeueRead();
            if (flags_ & kSocketStarted) doReadEOF();
        }
        return;
    }
    if (totalBytesReadForCurrentRead > 0) {
        const std::int64_t tag = packet.tag;
        notifyDelegate([totalBytesReadForCurrentRead, tag](RPOUTAQueueSocketDelegate& delegate,
                                                           const Ref<RPOUTAQueueSocket>& sock) {
            delegate.socketDidReadPartialDataOfLength(sock, totalBytesReadForCurrentRead, tag);
        }, RPOUTAQueueSocketDelegate::kReadProgress);
    }
    if (error) {
        closeWithError(error);
    } else if (socketEOF) {
        doReadEOF();
    } else if (waiting) {
        resumeReadSource();
    }
}

void RPOUTAQueueSocket::doReadEOF() {
    flags_ |= kSocketHasReadEOF;
    if ((flags_ & kReadStreamClosed) || preBuffer_.availableBytes() > 0) {
        suspendReadSource();
        return;
    }
    if (config_ & kAllowHalfDuplexConnection) {
        pollfd probe{connectedFD(), POLLOUT, 0};
        if (poll(&probe, 1, 0) == 1 && (probe.revents & POLLOUT) && !(probe.revents & (POLLERR | POLLHUP))) {
            flags_ |= kReadStreamClosed;
            notifyDelegate([](RPOUTAQueueSocketDelegate& delegate, const Ref<RPOUTAQueueSocket>& sock) {
                delegate.socketDidCloseReadStream(sock);
            });
            suspendReadSource();
            return;
        }
    }
    closeWithError(connectionClosedError());
}

void RPOUTAQueueSocket::completeCurrentRead() {
    assert(currentRead_ && "Trying to complete current read when there is no current read.");
    RPOUTAQueueReadPacket& packet = *currentRead_;
    NSData result;
    if (packet.bufferOwner) {
        packet.buffer->setLength(packet.bytesDone);
        result = std::move(*packet.buffer);
    } else {
        if (packet.buffer->length() > packet.originalBufferLength) {
            packet.buffer->setLength(std::max(packet.originalBufferLength, packet.startOffset + packet.bytesDone));
        }
        // A copy of the bytes read: the caller's buffer may grow (and move)
        // on the socket queue while the delegate still looks at the result.
        result = packet.buffer->subdata(packet.startOffset, packet.bytesDone);
    }
    const std::int64_t tag = packet.tag;
    // The delegate sees the result only during its call: a fixed-length
    // read's own buffer then serves a later read.
    auto spares = packet.bufferOwner && packet.readLength > 0 ? spareBuffers_ : nullptr;
    notifyDelegate([result = std::move(result), tag, spares](RPOUTAQueueSocketDelegate& delegate,
                                                             const Ref<RPOUTAQueueSocket>& sock) mutable {
        delegate.socketDidReadData(sock, result, tag);
        if (spares) spares->give(std::move(result));
    });
    endCurrentRead();
}

void RPOUTAQueueSocket::endCurrentRead() {
    if (readTimer_) {
        readTimer_->cancel();
        readTimer_.reset();
    }
    currentRead_.reset();
}

void RPOUTAQueueSocket::setupReadTimerWithTimeout(double timeout) {
    if (timeout < 0) return;
    readTimer_ = DispatchSource::makeTimerSource(socketQueue_);
    readTimer_->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>()] {
        if (auto sock = weak.lock()) sock->doReadTimeout();
    });
    readTimer_->schedule(timeout);
    readTimer_->resume();
}

void RPOUTAQueueSocket::doReadTimeout() {
    if (!currentRead_) return;
    flags_ |= kReadsPaused;
    auto delegate = delegate_.lock();
    if (!delegate || !delegateQueue_) {
        doReadTimeoutWithExtension(0.0);
        return;
    }
    delegateQueue_->async([delegate, sock = self<RPOUTAQueueSocket>(), packet = currentRead_] {
        const double extension =
            delegate->socketShouldTimeoutReadWithTag(sock, packet->tag, packet->timeout, packet->bytesDone)
                .value_or(0.0);
        sock->socketQueue_->async([sock, packet, extension] {
            if (sock->currentRead_ == packet) sock->doReadTimeoutWithExtension(extension);
        });
    });
}

void RPOUTAQueueSocket::doReadTimeoutWithExtension(double timeoutExtension) {
    if (!currentRead_) return;
    if (timeoutExtension > 0.0) {
        currentRead_->timeout += timeoutExtension;
        readTimer_->schedule(timeoutExtension);
        flags_ &= ~kReadsPaused;
        doReadData();
    } else {
        closeWithError(readTimeoutError());
    }
}

// ---- writing

void RPOUTAQueueSocket::writeData(NSData data, double timeout, std::int64_t tag) {
    writeData(std::make_shared<const NSData>(std::move(data)), timeout, tag);
}

void RPOUTAQueueSocket::writeData(std::shared_ptr<const NSData> data, double timeout, std::int64_t tag) {
    if (!data || data->empty()) return;
    auto packet = std::make_shared<RPOUTAQueueWritePacket>(std::move(data), timeout, tag);
    socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>(), packet = std::move(packet)] {
        auto sock = weak.lock();
        if (!sock) return;
        if ((sock->flags_ & kSocketStarted) && !(sock->flags_ & kForbidReadsWrites)) {
            sock->writeQueue_.push_back(packet);
            sock->maybeDequeueWrite();
        }
    });
}

float RPOUTAQueueSocket::progressOfWriteReturningTag(std::int64_t* tag, std::uint64_t* done,
                                                     std::uint64_t* total) {
    float result = NAN;
    runSync([&] {
        if (!currentWrite_) {
            if (tag) *tag = 0;
            if (done) *done = 0;
            if (total) *total = 0;
            return;
        }
        if (tag) *tag = currentWrite_->tag;
        if (done) *done = currentWrite_->bytesDone;
        if (total) *total = currentWrite_->buffer->length();
        result = static_cast<float>(currentWrite_->bytesDone) / static_cast<float>(currentWrite_->buffer->length());
    });
    return result;
}

void RPOUTAQueueSocket::maybeDequeueWrite() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (currentWrite_ || !(flags_ & kConnected)) return;
    if (!writeQueue_.empty()) {
        currentWrite_ = writeQueue_.front();
        writeQueue_.pop_front();
        setupWriteTimerWithTimeout(currentWrite_->timeout);
        doWriteData();
    } else if (flags_ & kDisconnectAfterWrites) {
        if (flags_ & kDisconnectAfterReads) {
            if (readQueue_.empty() && !currentRead_) closeWithError(nullptr);
        } else {
            closeWithError(nullptr);
        }
    }
}

void RPOUTAQueueSocket::doWriteData() {
    if (!currentWrite_ || (flags_ & kWritesPaused)) {
        if (flags_ & kSocketCanAcceptBytes) suspendWriteSource();
        return;
    }
    if (!(flags_ & kSocketCanAcceptBytes)) {
        resumeWriteSource();
        return;
    }
    RPOUTAQueueWritePacket& packet = *currentWrite_;
    const std::uint64_t remaining = packet.buffer->length() - packet.bytesDone;
    const ssize_t result = ::send(connectedFD(), packet.buffer->bytes() + packet.bytesDone, remaining, MSG_NOSIGNAL);
    if (result < 0) {
        if (errno == EWOULDBLOCK || errno == EAGAIN) {
            flags_ &= ~kSocketCanAcceptBytes;
            resumeWriteSource();
        } else {
            closeWithError(errnoErrorWithReason("Error in write() function"));
        }
        return;
    }
    if (result == 0) {
        flags_ &= ~kSocketCanAcceptBytes;
        resumeWriteSource();
        return;
    }
    const auto written = static_cast<std::uint64_t>(result);
    packet.bytesDone += written;
    if (packet.bytesDone == packet.buffer->length()) {
        completeCurrentWrite();
        socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>()] {
            if (auto sock = weak.lock()) sock->maybeDequeueWrite();
        });
        return;
    }
    flags_ &= ~kSocketCanAcceptBytes;
    resumeWriteSource();
    const std::int64_t tag = packet.tag;
    notifyDelegate([written, tag](RPOUTAQueueSocketDelegate& delegate, const Ref<RPOUTAQueueSocket>& sock) {
        delegate.socketDidWritePartialDataOfLength(sock, written, tag);
    }, RPOUTAQueueSocketDelegate::kWriteProgress);
}

void RPOUTAQueueSocket::completeCurrentWrite() {
    assert(currentWrite_ && "Trying to complete current write when there is no current write.");
    const std::int64_t tag = currentWrite_->tag;
    notifyDelegate([tag](RPOUTAQueueSocketDelegate& delegate, const Ref<RPOUTAQueueSocket>& sock) {
        delegate.socketDidWriteDataWithTag(sock, tag);
    }, RPOUTAQueueSocketDelegate::kWriteCompletion);
    endCurrentWrite();
}

void RPOUTAQueueSocket::endCurrentWrite() {
    if (writeTimer_) {
        writeTimer_->cancel();
        writeTimer_.reset();
    }
    currentWrite_.reset();
}

void RPOUTAQueueSocket::setupWriteTimerWithTimeout(double timeout) {
    if (timeout < 0) return;
    writeTimer_ = DispatchSource::makeTimerSource(socketQueue_);
    writeTimer_->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>()] {
        if (auto sock = weak.lock()) sock->doWriteTimeout();
    });
    writeTimer_->schedule(timeout);
    writeTimer_->resume();
}

void RPOUTAQueueSocket::doWriteTimeout() {
    if (!currentWrite_) return;
    flags_ |= kWritesPaused;
    auto delegate = delegate_.lock();
    if (!delegate || !delegateQueue_) {
        doWriteTimeoutWithExtension(0.0);
        return;
    }
    delegateQueue_->async([delegate, sock = self<RPOUTAQueueSocket>(), packet = currentWrite_] {
        const double extension =
            delegate->socketShouldTimeoutWriteWithTag(sock, packet->tag, packet->timeout, packet->bytesDone)
                .value_or(0.0);
        sock->socketQueue_->async([sock, packet, extension] {
            if (sock->currentWrite_ == packet) sock->doWriteTimeoutWithExtension(extension);
        });
    });
}

void RPOUTAQueueSocket::doWriteTimeoutWithExtension(double timeoutExtension) {
    if (!currentWrite_) return;
    if (timeoutExtension > 0.0) {
        currentWrite_->timeout += timeoutExtension;
        writeTimer_->schedule(timeoutExtension);
        flags_ &= ~kWritesPaused;
        doWriteData();
    } else {
        closeWithError(writeTimeoutError());
    }
}

NSData RPOUTAQueueSocket::CRLFData() { return NSData("\x0D\x0A", 2); }
NSData RPOUTAQueueSocket::CRData() { return NSData("\x0D", 1); }
NSData RPOUTAQueueSocket::LFData() { return NSData("\x0A", 1); }
NSData RPOUTAQueueSocket::ZeroData() { return NSData("", 1); }
