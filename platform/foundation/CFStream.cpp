#include "foundation/CFStream.h"

#include <unistd.h>

#include <algorithm>

const char* const kCFStreamPropertyShouldCloseNativeSocket = "kCFStreamPropertyShouldCloseNativeSocket";
const char* const kCFStreamNetworkServiceType = "kCFStreamNetworkServiceType";
const char* const kCFStreamNetworkServiceTypeVoIP = "kCFStreamNetworkServiceTypeVoIP";

CFStream::~CFStream() { close(); }

bool CFStream::setProperty(const std::string& key, Value value) {
    std::lock_guard lock(mutex_);
    properties_[key] = std::move(value);
    return true;
}

Value CFStream::property(const std::string& key) const {
    std::lock_guard lock(mutex_);
    auto it = properties_.find(key);
    return it == properties_.end() ? Value() : it->second;
}

bool CFStream::setClient(CFStreamEventType events, ClientCallback callback) {
    std::lock_guard lock(mutex_);
    events_ = callback ? events : kCFStreamEventNone;
    callback_ = std::move(callback);
    return true;
}

void CFStream::scheduleWithRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode) {
    std::lock_guard lock(mutex_);
    if (!runLoop) return;
    for (auto& loop : runLoops_) {
        if (loop.lock() == runLoop) return;
    }
    runLoops_.push_back(runLoop);
}

void CFStream::unscheduleFromRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode) {
    std::lock_guard lock(mutex_);
    std::erase_if(runLoops_, [&](const WeakRef<NSRunLoop>& loop) {
        auto held = loop.lock();
        return !held || held == runLoop;
    });
}

bool CFStream::isScheduledOn(const Ref<NSRunLoop>& runLoop) const {
    std::lock_guard lock(mutex_);
    return std::any_of(runLoops_.begin(), runLoops_.end(),
                       [&](const WeakRef<NSRunLoop>& loop) { return loop.lock() == runLoop; });
}

bool CFStream::open() {
    std::lock_guard lock(mutex_);
    if (status_ != CFStreamStatus::NotOpen) return false;
    status_ = socketFD_ >= 0 ? CFStreamStatus::Open : CFStreamStatus::Error;
    return status_ == CFStreamStatus::Open;
}

void CFStream::close() {
    std::lock_guard lock(mutex_);
    if (status_ == CFStreamStatus::Closed) return;
    status_ = CFStreamStatus::Closed;
    auto closeNative = properties_.find(kCFStreamPropertyShouldCloseNativeSocket);
    if (closeNative != properties_.end() && closeNative->second.boolValue() && socketFD_ >= 0) {
        ::close(socketFD_);
        socketFD_ = -1;
    }
    runLoops_.clear();
}

CFStreamStatus CFStream::status() const {
    std::lock_guard lock(mutex_);
    return status_;
}

void CFStream::post(CFStreamEventType event, Ref<NSError> error) {
    std::vector<Ref<NSRunLoop>> loops;
    {
        std::lock_guard lock(mutex_);
        if (!(events_ & event) || !callback_) return;
        if (event == kCFStreamEventErrorOccurred) status_ = CFStreamStatus::Error;
        if (event == kCFStreamEventEndEncountered) status_ = CFStreamStatus::AtEnd;
        for (auto& loop : runLoops_) {
            if (auto held = loop.lock()) loops.push_back(held);
        }
    }
    for (auto& loop : loops) {
        loop->performBlock([stream = weakSelf<CFStream>(), event, error] {
            auto held = stream.lock();
            if (!held) return;
            ClientCallback callback;
            {
                std::lock_guard lock(held->mutex_);
                if (!(held->events_ & event)) return;
                callback = held->callback_;
            }
            if (callback) callback(event, error);
        });
    }
}

void CFStreamCreatePairWithSocket(int socketFD, Ref<CFReadStream>* readStream, Ref<CFWriteStream>* writeStream) {
    if (readStream) *readStream = make<CFReadStream>(socketFD);
    if (writeStream) *writeStream = make<CFWriteStream>(socketFD);
}
