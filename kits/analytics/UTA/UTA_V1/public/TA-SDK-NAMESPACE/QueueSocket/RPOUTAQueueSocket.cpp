#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/un.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstring>

namespace {

// Queue-specific key whose value on the socket queue is the socket's address.
const char kIsOnSocketQueueOrTargetQueueKey = 0;

Value socketMark(const RPOUTAQueueSocket* sock) { return Value(reinterpret_cast<std::uintptr_t>(sock)); }

sa_family_t familyOf(const NSData& address) {
    if (address.length() < sizeof(sa_family_t)) return AF_UNSPEC;
    sa_family_t family;
    std::memcpy(&family, address.bytes(), sizeof family);
    return family;
}

bool setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags != -1 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) != -1;
}

void setError(Ref<NSError>* out, const Ref<NSError>& error) {
    if (out) *out = error;
}

}  // namespace

RPOUTAQueueSocket::RPOUTAQueueSocket(WeakRef<RPOUTAQueueSocketDelegate> delegate, Ref<DispatchQueue> delegateQueue,
                                     Ref<DispatchQueue> socketQueue)
    : delegate_(std::move(delegate)), delegateQueue_(std::move(delegateQueue)) {
    if (socketQueue) {
        assert(socketQueue->kind() != DispatchQueue::Kind::Global &&
               "The given socketQueue parameter must not be a concurrent queue.");
        socketQueue_ = std::move(socketQueue);
    } else {
        socketQueue_ = DispatchQueue::serial("QueueSocket");
    }
    socketQueue_->setSpecific(&kIsOnSocketQueueOrTargetQueueKey, socketMark(this));
}

void RPOUTAQueueSocket::didCreate() {}

RPOUTAQueueSocket::~RPOUTAQueueSocket() {
    flags_ |= kDealloc;
    runSync([this] { closeWithError(nullptr); });
    delegate_.reset();
    delegateQueue_.reset();
    socketQueue_->setSpecific(&kIsOnSocketQueueOrTargetQueueKey, Value());
}

Ref<RPOUTAQueueSocket> RPOUTAQueueSocket::socketFromConnectedSocketFD(int socketFD,
                                                                      WeakRef<RPOUTAQueueSocketDelegate> delegate,
                                                                      Ref<DispatchQueue> delegateQueue,
                                                                      Ref<DispatchQueue> socketQueue,
                                                                      Ref<NSError>* error) {
    auto sock = make<RPOUTAQueueSocket>(std::move(delegate), std::move(delegateQueue), std::move(socketQueue));
    Ref<NSError> failure;
    sock->runSync([&] {
        sockaddr_storage address{};
        socklen_t length = sizeof address;
        if (getpeername(socketFD, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            failure = otherError("Attempt to create socket from socket FD failed. getpeername() failed");
            return;
        }
        if (address.ss_family == AF_INET) {
            sock->socket4FD_ = socketFD;
        } else if (address.ss_family == AF_INET6) {
            sock->socket6FD_ = socketFD;
        } else {
            failure = otherError("Attempt to create socket from socket FD failed. socket FD is neither IPv4 nor IPv6");
            return;
        }
        sock->flags_ = kSocketStarted;
        sock->didConnect(sock->stateIndex_);
    });
    if (failure) {
        setError(error, failure);
        return nullptr;
    }
    return sock;
}

// ---- queues and the delegate

bool RPOUTAQueueSocket::onSocketQueue() const {
    return DispatchQueue::getSpecific(&kIsOnSocketQueueOrTargetQueueKey).unsignedInteger() ==
           reinterpret_cast<std::uintptr_t>(this);
}

void RPOUTAQueueSocket::runSync(const std::function<void()>& block) {
    if (onSocketQueue()) {
        block();
    } else {
        socketQueue_->sync(block);
    }
}

void RPOUTAQueueSocket::runAsync(std::function<void()> block) {
    if (onSocketQueue()) {
        block();
    } else {
        socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>(), block = std::move(block)] {
            if (auto sock = weak.lock()) block();
        });
    }
}

void RPOUTAQueueSocket::notifyDelegate(
    std::function<void(RPOUTAQueueSocketDelegate&, const Ref<RPOUTAQueueSocket>&)> call,
    std::optional<RPOUTAQueueSocketDelegate::Unanswered> skipWhenUnanswered) {
    auto delegate = delegate_.lock();
    if (!delegate || !delegateQueue_) return;
    // A call the delegate is known not to answer costs a hop to the delegate
    // queue for nothing.
    if (skipWhenUnanswered && delegate->leavesUnanswered(*skipWhenUnanswered)) return;
    Ref<RPOUTAQueueSocket> sock = (flags_ & kDealloc) ? nullptr : self<RPOUTAQueueSocket>();
    delegateQueue_->async([delegate, sock, call = std::move(call)] { call(*delegate, sock); });
}

void RPOUTAQueueSocket::performBlock(const std::function<void()>& block) { runSync(block); }

void RPOUTAQueueSocket::markSocketQueueTargetQueue(const Ref<DispatchQueue>& queue) {
    queue->setSpecific(&kIsOnSocketQueueOrTargetQueueKey, socketMark(this));
}

void RPOUTAQueueSocket::unmarkSocketQueueTargetQueue(const Ref<DispatchQueue>& queue) {
    queue->setSpecific(&kIsOnSocketQueueOrTargetQueueKey, Value());
}

// ---- connecting

bool RPOUTAQueueSocket::preConnectWithInterface(const std::string& interface, Ref<NSError>* error) {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (!delegate_.lock()) {
        setError(error, badConfigError("Attempting to connect without a delegate. Set a delegate first."));
        return false;
    }
    if (!delegateQueue_) {
        setError(error, badConfigError("Attempting to connect without a delegate queue. Set a delegate queue first."));
        return false;
    }
    if (flags_ & kSocketStarted) {
        setError(error, badConfigError("Attempting to connect while connected or accepting connections. Disconnect first."));
        return false;
    }
    const bool ipv4Disabled = config_ & kIPv4Disabled;
    const bool ipv6Disabled = config_ & kIPv6Disabled;
    if (ipv4Disabled && ipv6Disabled) {
        setError(error, badConfigError("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first."));
        return false;
    }
    if (!interface.empty()) {
        std::optional<NSData> interface4, interface6;
        getInterfaceAddress4(&interface4, &interface6, interface, 0);
        if (!interface4 && !interface6) {
            setError(error, badParamError("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."));
            return false;
        }
        if (ipv4Disabled && !interface6) {
            setError(error, badParamError("IPv4 has been disabled and specified interface doesn't support IPv6."));
            return false;
        }
        if (ipv6Disabled && !interface4) {
            setError(error, badParamError("IPv6 has been disabled and specified interface doesn't support IPv4."));
            return false;
        }
        connectInterface4_ = std::move(interface4);
        connectInterface6_ = std::move(interface6);
    }
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

bool RPOUTAQueueSocket::connectToHost(const std::string& host, std::uint16_t port, Ref<NSError>* error) {
    return connectToHost(host, port, -1.0, error);
}

bool RPOUTAQueueSocket::connectToHost(const std::string& host, std::uint16_t port, double timeout,
                                      Ref<NSError>* error) {
    return connectToHost(host, port, std::string(), timeout, error);
}

bool RPOUTAQueueSocket::connectToHost(const std::string& host, std::uint16_t port, const std::string& interface,
                                      double timeout, Ref<NSError>* error) {
    bool started = false;
    Ref<NSError> failure;
    runSync([&] {
        if (host.empty()) {
            failure = badParamError("Invalid host parameter (nil or \"\"). Should be a domain name or IP address string.");
            return;
        }
        if (!preConnectWithInterface(interface, &failure)) return;
        flags_ |= kSocketStarted;
        const int aStateIndex = stateIndex_;
        DispatchQueue::global()->async([weak = weakSelf<RPOUTAQueueSocket>(), host, port, aStateIndex] {
            Ref<NSError> lookupError;
            auto addresses = lookupHost(host, port, &lookupError);
            auto sock = weak.lock();
            if (!sock) return;
            sock->socketQueue_->async([sock, addresses = std::move(addresses), lookupError, aStateIndex] {
                if (!addresses) {
                    sock->lookupDidFail(aStateIndex, lookupError);
                    return;
                }
                std::optional<NSData> address4, address6;
                for (const NSData& address : *addresses) {
                    if (!address4 && isIPv4Address(address)) address4 = address;
                    if (!address6 && isIPv6Address(address)) address6 = address;
                }
                sock->lookupDidSucceed(aStateIndex, std::move(address4), std::move(address6));
            });
        });
        startConnectTimeout(timeout);
        started = true;
    });
    if (!started) setError(error, failure);
    return started;
}

void RPOUTAQueueSocket::lookupDidSucceed(int aStateIndex, std::optional<NSData> address4,
                                         std::optional<NSData> address6) {
    if (aStateIndex != stateIndex_) return;
    const bool ipv4Disabled = config_ & kIPv4Disabled;
    const bool ipv6Disabled = config_ & kIPv6Disabled;
    if (ipv4Disabled && !address6) {
        closeWithError(otherError("IPv4 has been disabled and DNS lookup found no IPv6 address."));
        return;
    }
    if (ipv6Disabled && !address4) {
        closeWithError(otherError("IPv6 has been disabled and DNS lookup found no IPv4 address."));
        return;
    }
    if (ipv4Disabled) address4.reset();
    if (ipv6Disabled) address6.reset();
    Ref<NSError> error;
    if (!connectWithAddress4(std::move(address4), std::move(address6), &error)) closeWithError(error);
}

void RPOUTAQueueSocket::lookupDidFail(int aStateIndex, const Ref<NSError>& error) {
    if (aStateIndex != stateIndex_) return;
    endConnectTimeout();
    closeWithError(error);
}

bool RPOUTAQueueSocket::connectToAddress(const NSData& remoteAddr, Ref<NSError>* error) {
    return connectToAddress(remoteAddr, std::string(), -1.0, error);
}

bool RPOUTAQueueSocket::connectToAddress(const NSData& remoteAddr, double timeout, Ref<NSError>* error) {
    return connectToAddress(remoteAddr, std::string(), timeout, error);
}

bool RPOUTAQueueSocket::connectToAddress(const NSData& remoteAddr, const std::string& interface, double timeout,
                                         Ref<NSError>* error) {
    bool started = false;
    Ref<NSError> failure;
    runSync([&] {
        std::optional<NSData> address4, address6;
        if (remoteAddr.length() >= sizeof(sockaddr_in)) {
            const sa_family_t family = familyOf(remoteAddr);
            if (family == AF_INET6 && remoteAddr.length() == sizeof(sockaddr_in6)) address6 = remoteAddr;
            if (family == AF_INET && remoteAddr.length() == sizeof(sockaddr_in)) address4 = remoteAddr;
        }
        if (!address4 && !address6) {
            failure = badParamError("A valid IPv4 or IPv6 address was not given");
            return;
        }
        if (address4 && (config_ & kIPv4Disabled)) {
            failure = badParamError("IPv4 has been disabled and an IPv4 address was passed.");
            return;
        }
        if (address6 && (config_ & kIPv6Disabled)) {
            failure = badParamError("IPv6 has been disabled and an IPv6 address was passed.");
            return;
        }
        if (!preConnectWithInterface(interface, &failure)) return;
        if (!connectWithAddress4(address4, address6, &failure)) return;
        flags_ |= kSocketStarted;
        startConnectTimeout(timeout);
        started = true;
    });
    if (!started) setError(error, failure);
    return started;
}

int RPOUTAQueueSocket::createSocket(int family, const std::optional<NSData>& interfaceAddr, Ref<NSError>* error) {
    const int socketFD = socket(family, SOCK_STREAM, 0);
    if (socketFD == -1) {
        setError(error, errnoErrorWithReason("Error in socket() function"));
        return -1;
    }
    if (interfaceAddr && !bindSocket(socketFD, *interfaceAddr, error)) {
        ::close(socketFD);
        return -1;
    }
    // Broken pipes are reported by the write itself (MSG_NOSIGNAL), never as a signal.
    return socketFD;
}

bool RPOUTAQueueSocket::bindSocket(int socketFD, const NSData& interfaceAddr, Ref<NSError>* error) {
    std::string host;
    std::uint16_t port = 0;
    getHost(&host, &port, interfaceAddr);
    if (port != 0) {
        const int reuseOn = 1;
        setsockopt(socketFD, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn);
    }
    if (bind(socketFD, reinterpret_cast<const sockaddr*>(interfaceAddr.bytes()),
             static_cast<socklen_t>(interfaceAddr.length())) != 0) {
        setError(error, errnoErrorWithReason("Error in bind() function"));
        return false;
    }
    return true;
}

bool RPOUTAQueueSocket::connectWithAddress4(std::optional<NSData> address4, std::optional<NSData> address6,
                                            Ref<NSError>* error) {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (address4) socket4FD_ = createSocket(AF_INET, connectInterface4_, error);
    if (address6) socket6FD_ = createSocket(AF_INET6, connectInterface6_, error);
    if (socket4FD_ == -1 && socket6FD_ == -1) return false;

    int firstFD, alternateFD = -1;
    const NSData* firstAddress;
    const NSData* alternateAddress = nullptr;
    if ((config_ & kPreferIPv6) && socket6FD_ != -1) {
        firstFD = socket6FD_, firstAddress = &*address6;
        if (socket4FD_ != -1) alternateFD = socket4FD_, alternateAddress = &*address4;
    } else if (socket4FD_ != -1) {
        firstFD = socket4FD_, firstAddress = &*address4;
        if (socket6FD_ != -1) alternateFD = socket6FD_, alternateAddress = &*address6;
    } else {
        firstFD = socket6FD_, firstAddress = &*address6;
    }
    const int aStateIndex = stateIndex_;
    connectSocket(firstFD, *firstAddress, aStateIndex);
    if (alternateFD != -1) {
        socketQueue_->after(alternateAddressDelay_, [weak = weakSelf<RPOUTAQueueSocket>(), alternateFD,
                                                     address = *alternateAddress, aStateIndex] {
            auto sock = weak.lock();
            if (!sock || sock->stateIndex_ != aStateIndex) return;
            if (alternateFD != sock->socket4FD_ && alternateFD != sock->socket6FD_) return;
            sock->connectSocket(alternateFD, address, aStateIndex);
        });
    }
    return true;
}

void RPOUTAQueueSocket::connectSocket(int socketFD, const NSData& address, int aStateIndex) {
    if (flags_ & kConnected) {
        closeSocket(socketFD);
        return;
    }
    // The connect runs without blocking a thread: the descriptor's first
    // writability (or error) ends it, watched on the socket queue.
    setNonBlocking(socketFD);
    const int result = ::connect(socketFD, reinterpret_cast<const sockaddr*>(address.bytes()),
                                 static_cast<socklen_t>(address.length()));
    if (result == 0 || errno != EINPROGRESS) {
        const int outcome = result == 0 ? 0 : errno;
        socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>(), socketFD, outcome, aStateIndex] {
            if (auto sock = weak.lock()) sock->connectSocketFinished(socketFD, outcome, aStateIndex);
        });
        return;
    }
    auto source = DispatchSource::makeWriteSource(socketFD, socketQueue_);
    source->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>(), socketFD, aStateIndex] {
        auto sock = weak.lock();
        if (!sock) return;
        int outcome = 0;
        socklen_t length = sizeof outcome;
        if (getsockopt(socketFD, SOL_SOCKET, SO_ERROR, &outcome, &length) != 0) outcome = errno;
        auto& slot = socketFD == sock->socket4FD_ ? sock->connect4Source_ : sock->connect6Source_;
        if (slot) {
            slot->cancel();
            slot.reset();
        }
        sock->connectSocketFinished(socketFD, outcome, aStateIndex);
    });
    (socketFD == socket4FD_ ? connect4Source_ : connect6Source_) = source;
    source->resume();
}

void RPOUTAQueueSocket::connectSocketFinished(int socketFD, int result, int aStateIndex) {
    // A result of an abandoned attempt: its descriptor was closed with it.
    if (aStateIndex != stateIndex_ || (socketFD != socket4FD_ && socketFD != socket6FD_)) return;
    if (flags_ & kConnected) {
        closeSocket(socketFD);
        return;
    }
    if (result != 0) {
        closeSocket(socketFD);
        if (socket4FD_ == -1 && socket6FD_ == -1) {
            errno = result;
            didNotConnect(aStateIndex, errnoErrorWithReason("Error in connect() function"));
        }
        return;
    }
    closeUnusedSocket(socketFD);
    didConnect(aStateIndex);
}

void RPOUTAQueueSocket::closeSocket(int socketFD) {
    if (socketFD == -1) return;
    if (socketFD == socket4FD_) {
        if (connect4Source_) connect4Source_->cancel(), connect4Source_.reset();
        ::close(socketFD);
        socket4FD_ = -1;
    } else if (socketFD == socket6FD_) {
        if (connect6Source_) connect6Source_->cancel(), connect6Source_.reset();
        ::close(socketFD);
        socket6FD_ = -1;
    }
}

void RPOUTAQueueSocket::closeUnusedSocket(int usedSocketFD) {
    if (usedSocketFD != socket4FD_) closeSocket(socket4FD_);
    if (usedSocketFD != socket6FD_) closeSocket(socket6FD_);
}

void RPOUTAQueueSocket::didNotConnect(int aStateIndex, const Ref<NSError>& error) {
    if (aStateIndex != stateIndex_) return;
    closeWithError(error);
}

void RPOUTAQueueSocket::didConnect(int aStateIndex) {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    if (aStateIndex != stateIndex_) return;
    flags_ |= kConnected;
    endConnectTimeout();
    const int connectedIndex = stateIndex_;

    std::string host;
    std::uint16_t port = 0;
    Ref<NSURL> url;
    if (socket4FD_ != -1 || socket6FD_ != -1) {
        const int fd = socket4FD_ != -1 ? socket4FD_ : socket6FD_;
        host = connectedHostFromSocket(fd);
        port = connectedPortFromSocket(fd);
    } else if (socketUN_ != -1) {
        url = connectedUrlFromSocketUN(socketUN_);
    }

    // The stream pair: made and registered now, scheduled on the stream
    // thread once the delegate has heard of the connection.
    if (!createReadAndWriteStream()) {
        closeWithError(otherError("Error creating CFStreams"));
        return;
    }
    if (!registerForStreamCallbacksIncludingReadWrite(false)) {
        closeWithError(otherError("Error in CFStreamSetClient"));
        return;
    }
    auto secondHalf = [weak = weakSelf<RPOUTAQueueSocket>(), connectedIndex] {
        auto sock = weak.lock();
        if (!sock || sock->stateIndex_ != connectedIndex) return;
        if (!sock->addStreamsToRunLoop()) {
            sock->closeWithError(otherError("Error in CFStreamScheduleWithRunLoop"));
        } else if (!sock->openStreams()) {
            sock->closeWithError(otherError("Error creating CFStreams"));
        }
    };
    auto delegate = delegate_.lock();
    if (delegate && delegateQueue_ && (!host.empty() || url)) {
        auto queue = socketQueue_;
        delegateQueue_->async([delegate, sock = self<RPOUTAQueueSocket>(), host, port, url, queue, secondHalf] {
            if (url) {
                delegate->socketDidConnectToUrl(sock, url);
            } else {
                delegate->socketDidConnectToHost(sock, host, port);
            }
            queue->async(secondHalf);
        });
    } else {
        secondHalf();
    }
    if (stateIndex_ != connectedIndex) return;  // the stream set-up closed the socket

    const int socketFD = connectedFD();
    if (!setNonBlocking(socketFD)) {
        closeWithError(otherError("Error enabling non-blocking IO on socket (fcntl)"));
        return;
    }
    setupReadAndWriteSourcesForNewlyConnectedSocket(socketFD);
    maybeDequeueRead();
    maybeDequeueWrite();
}

int RPOUTAQueueSocket::connectedFD() const {
    if (socket4FD_ != -1) return socket4FD_;
    if (socket6FD_ != -1) return socket6FD_;
    return socketUN_;
}

void RPOUTAQueueSocket::startConnectTimeout(double timeout) {
    if (timeout < 0) return;
    connectTimer_ = DispatchSource::makeTimerSource(socketQueue_);
    connectTimer_->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>()] {
        if (auto sock = weak.lock()) sock->doConnectTimeout();
    });
    connectTimer_->schedule(timeout);
    connectTimer_->resume();
}

void RPOUTAQueueSocket::endConnectTimeout() {
    if (connectTimer_) {
        connectTimer_->cancel();
        connectTimer_.reset();
    }
    ++stateIndex_;
    connectInterface4_.reset();
    connectInterface6_.reset();
}

void RPOUTAQueueSocket::doConnectTimeout() {
    endConnectTimeout();
    closeWithError(connectTimeoutError());
}

// ---- closing

void RPOUTAQueueSocket::disconnect() {
    runSync([this] {
        if (flags_ & kSocketStarted) closeWithError(nullptr);
    });
}

void RPOUTAQueueSocket::disconnectAfterReading() {
    socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>()] {
        auto sock = weak.lock();
        if (!sock || !(sock->flags_ & kSocketStarted)) return;
        sock->flags_ |= kForbidReadsWrites | kDisconnectAfterReads;
        sock->maybeClose();
    });
}

void RPOUTAQueueSocket::disconnectAfterWriting() {
    socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>()] {
        auto sock = weak.lock();
        if (!sock || !(sock->flags_ & kSocketStarted)) return;
        sock->flags_ |= kForbidReadsWrites | kDisconnectAfterWrites;
        sock->maybeClose();
    });
}

void RPOUTAQueueSocket::disconnectAfterReadingAndWriting() {
    socketQueue_->async([weak = weakSelf<RPOUTAQueueSocket>()] {
        auto sock = weak.lock();
        if (!sock || !(sock->flags_ & kSocketStarted)) return;
        sock->flags_ |= kForbidReadsWrites | kDisconnectAfterReads | kDisconnectAfterWrites;
        sock->maybeClose();
    });
}

void RPOUTAQueueSocket::maybeClose() {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    const bool readsPending = !readQueue_.empty() || currentRead_;
    const bool writesPending = !writeQueue_.empty() || currentWrite_;
    if (flags_ & kDisconnectAfterReads) {
        if (readsPending) return;
        if ((flags_ & kDisconnectAfterWrites) && writesPending) return;
        closeWithError(nullptr);
    } else if (flags_ & kDisconnectAfterWrites) {
        if (writesPending) return;
        closeWithError(nullptr);
    }
}

void RPOUTAQueueSocket::closeWithError(const Ref<NSError>& error) {
    assert(onSocketQueue() && "Must be dispatched on socketQueue");
    endConnectTimeout();
    if (currentRead_) endCurrentRead();
    if (currentWrite_) endCurrentWrite();
    readQueue_.clear();
    writeQueue_.clear();
    preBuffer_.reset();

    if (readStream_ || writeStream_) {
        if (flags_ & kAddedStreamsToRunLoop) removeStreamsFromRunLoop();
        for (Ref<CFStream> stream : {Ref<CFStream>(readStream_), Ref<CFStream>(writeStream_)}) {
            if (!stream) continue;
            stream->setClient(kCFStreamEventNone, nullptr);
            stream->close();
        }
        readStream_.reset();
        writeStream_.reset();
    }

    // Pending connects stop being watched before their descriptors close.
    for (auto* connectSource : {&connect4Source_, &connect6Source_}) {
        if (*connectSource) (*connectSource)->cancel(), connectSource->reset();
    }
    if (accept4Source_ || accept6Source_ || acceptUNSource_ || readSource_ || writeSource_) {
        // The sources' cancel handlers close the descriptors.
        for (auto* acceptSource : {&accept4Source_, &accept6Source_, &acceptUNSource_}) {
            if (*acceptSource) (*acceptSource)->cancel(), acceptSource->reset();
        }
        if (readSource_) {
            readSource_->cancel();
            if (flags_ & kReadSourceSuspended) readSource_->resume();
            readSource_.reset();
        }
        if (writeSource_) {
            writeSource_->cancel();
            if (flags_ & kWriteSourceSuspended) writeSource_->resume();
            writeSource_.reset();
        }
        socket4FD_ = socket6FD_ = socketUN_ = -1;
    } else {
        for (int* fd : {&socket4FD_, &socket6FD_}) {
            if (*fd != -1) ::close(*fd), *fd = -1;
        }
        if (socketUN_ != -1) {
            ::close(socketUN_);
            socketUN_ = -1;
            if (socketUrl_) {
                ::unlink(socketUrl_->path().c_str());
                socketUrl_.reset();
            }
        }
    }

    socketFDBytesAvailable_ = 0;
    const std::uint32_t oldFlags = flags_;
    flags_ = 0;
    if (oldFlags & kSocketStarted) {
        auto delegate = delegate_.lock();
        if (delegate && delegateQueue_) {
            Ref<RPOUTAQueueSocket> sock = (oldFlags & kDealloc) ? nullptr : self<RPOUTAQueueSocket>();
            delegateQueue_->async([delegate, sock, error] { delegate->socketDidDisconnect(sock, error); });
        }
    }
}
