#include <cassert>
#include <condition_variable>
#include <mutex>

#include "foundation/NSDate.h"
#include "foundation/NSThread.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

namespace {

// The one thread of the process that runs every socket's stream pair, alive
// while some socket has its pair scheduled and 30 seconds longer. Its count
// and its run loop are touched only on the set-up queue.
struct StreamThread {
    Ref<DispatchQueue> setupQueue = DispatchQueue::serial("QueueSocket-CFStreamThreadSetup");
    unsigned users = 0;
    Ref<NSRunLoop> runLoop;                // of the live thread; null when none
    std::shared_ptr<bool> cancelled;       // the live thread's stop flag
};

StreamThread& streamThread() {
    static auto* thread = new StreamThread();
    return *thread;
}

constexpr double kStreamThreadLinger = 30.0;

// Starts the thread (on the set-up queue) and answers its run loop once it runs.
Ref<NSRunLoop> startThread(StreamThread& state) {
    std::mutex mutex;
    std::condition_variable ready;
    Ref<NSRunLoop> loop;
    auto cancelled = std::make_shared<bool>(false);
    NSThread::detachNewThreadWithBlock(
        [&, cancelled] {
            auto current = NSRunLoop::currentRunLoop();
            {
                std::lock_guard lock(mutex);
                loop = current;
                ready.notify_one();
            }
            // Runs until cancelled; a posted block wakes it to look.
            while (!*cancelled) current->runMode(NSDefaultRunLoopMode, NSDate::distantFuture());
        },
        "QueueSocket-CFStream");
    std::unique_lock lock(mutex);
    ready.wait(lock, [&] { return loop != nullptr; });
    state.cancelled = cancelled;
    return loop;
}

// Runs `block` on the stream thread and waits for it.
void performOnStreamThread(const Ref<NSRunLoop>& loop, const std::function<void()>& block) {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    loop->performBlock([&] {
        block();
        std::lock_guard lock(mutex);
        finished = true;
        done.notify_one();
    });
    std::unique_lock lock(mutex);
    done.wait(lock, [&] { return finished; });
}

}  // namespace

bool RPOUTAQueueSocket::createReadAndWriteStream() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (readStream_ || writeStream_) return true;
    const int socketFD = connectedFD();
    if (socketFD == -1 || !(flags_ & kConnected)) return false;
    CFStreamCreatePairWithSocket(socketFD, &readStream_, &writeStream_);
    if (readStream_) readStream_->setProperty(kCFStreamPropertyShouldCloseNativeSocket, false);
    if (writeStream_) writeStream_->setProperty(kCFStreamPropertyShouldCloseNativeSocket, false);
    if (!readStream_ || !writeStream_) {
        if (readStream_) readStream_->close(), readStream_.reset();
        if (writeStream_) writeStream_->close(), writeStream_.reset();
        return false;
    }
    return true;
}

bool RPOUTAQueueSocket::registerForStreamCallbacksIncludingReadWrite(bool includeReadWrite) {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    assert(readStream_ && writeStream_ && "Read/Write stream is null");
    auto forward = [weak = weakSelf<RPOUTAQueueSocket>()](bool readSide) {
        return [weak, readSide](CFStreamEventType type, const Ref<NSError>& error) {
            auto sock = weak.lock();
            if (!sock) return;
            sock->socketQueue_->async([sock, readSide, type, error] { sock->streamEvent(readSide, type, error); });
        };
    };
    const CFStreamEventType always = kCFStreamEventErrorOccurred | kCFStreamEventEndEncountered;
    const bool readSet =
        readStream_->setClient(always | (includeReadWrite ? kCFStreamEventHasBytesAvailable : 0), forward(true));
    const bool writeSet =
        writeStream_->setClient(always | (includeReadWrite ? kCFStreamEventCanAcceptBytes : 0), forward(false));
    return readSet && writeSet;
}

void RPOUTAQueueSocket::streamEvent(bool readSide, CFStreamEventType type, const Ref<NSError>& error) {
    // Events of a pair the socket no longer has are stale.
    if (readSide ? !readStream_ : !writeStream_) return;
    if (type == kCFStreamEventHasBytesAvailable) {
        doReadData();
    } else if (type == kCFStreamEventCanAcceptBytes) {
        flags_ |= kSocketCanAcceptBytes;
        doWriteData();
    } else if (type == kCFStreamEventEndEncountered && !error) {
        closeWithError(connectionClosedError());
    } else {
        closeWithError(error ? error : connectionClosedError());
    }
}

bool RPOUTAQueueSocket::addStreamsToRunLoop() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    assert(readStream_ && writeStream_ && "Read/Write stream is null");
    if (flags_ & kAddedStreamsToRunLoop) return true;
    StreamThread& state = streamThread();
    state.setupQueue->sync([&] {
        if (state.users++ == 0 && !state.runLoop) state.runLoop = startThread(state);
        performOnStreamThread(state.runLoop, [&] {
            readStream_->scheduleWithRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
            writeStream_->scheduleWithRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
        });
    });
    flags_ |= kAddedStreamsToRunLoop;
    return true;
}

void RPOUTAQueueSocket::removeStreamsFromRunLoop() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    assert(readStream_ && writeStream_ && "Read/Write stream is null");
    if (!(flags_ & kAddedStreamsToRunLoop)) return;
    StreamThread& state = streamThread();
    state.setupQueue->sync([&] {
        performOnStreamThread(state.runLoop, [&] {
            readStream_->unscheduleFromRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
            writeStream_->unscheduleFromRunLoop(NSRunLoop::currentRunLoop(), NSDefaultRunLoopMode);
        });
    });
    // The thread stays for a while, so that the next connection reuses it.
    state.setupQueue->after(kStreamThreadLinger, [] {
        StreamThread& later = streamThread();
        if (later.users > 0 && --later.users == 0 && later.runLoop) {
            *later.cancelled = true;
            later.runLoop->performBlock([] {});
            later.runLoop.reset();
            later.cancelled.reset();
        }
    });
    flags_ &= ~kAddedStreamsToRunLoop;
}

bool RPOUTAQueueSocket::openStreams() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    assert(readStream_ && writeStream_ && "Read/Write stream is null");
    if (readStream_->status() != CFStreamStatus::NotOpen && writeStream_->status() != CFStreamStatus::NotOpen) {
        return true;
    }
    const bool readOpened = readStream_->open();
    const bool writeOpened = writeStream_->open();
    return readOpened && writeOpened;
}

Ref<CFReadStream> RPOUTAQueueSocket::readStream() {
    if (!onSocketQueue()) return nullptr;
    if (!readStream_) createReadAndWriteStream();
    return readStream_;
}

Ref<CFWriteStream> RPOUTAQueueSocket::writeStream() {
    if (!onSocketQueue()) return nullptr;
    if (!writeStream_) createReadAndWriteStream();
    return writeStream_;
}

bool RPOUTAQueueSocket::enableBackgroundingOnSocket() {
    return onSocketQueue() && enableBackgroundingOnSocketWithCaveat(false);
}

bool RPOUTAQueueSocket::enableBackgroundingOnSocketWithCaveat() {
    return onSocketQueue() && enableBackgroundingOnSocketWithCaveat(true);
}

bool RPOUTAQueueSocket::enableBackgroundingOnSocketWithCaveat(bool caveat) {
    if (!createReadAndWriteStream()) return false;
    const bool readSet = readStream_->setProperty(kCFStreamNetworkServiceType, kCFStreamNetworkServiceTypeVoIP);
    const bool writeSet = writeStream_->setProperty(kCFStreamNetworkServiceType, kCFStreamNetworkServiceTypeVoIP);
    if (!readSet || !writeSet) return false;
    if (caveat) return true;
    return openStreams();
}
