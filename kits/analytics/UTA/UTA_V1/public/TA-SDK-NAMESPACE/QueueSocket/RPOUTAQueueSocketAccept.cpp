#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "foundation/NSFileManager.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

namespace {

void setError(Ref<NSError>* out, const Ref<NSError>& error) {
    if (out) *out = error;
}

bool setNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags != -1 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) != -1;
}

// The checks every kind of listening starts with; false with the error.
bool checkCanAccept(bool hasDelegate, bool hasDelegateQueue, Ref<NSError>* error) {
    if (!hasDelegate) {
        setError(error, RPOUTAQueueSocket::badConfigError("Attempting to accept without a delegate. Set a delegate first."));
        return false;
    }
    if (!hasDelegateQueue) {
        setError(error, RPOUTAQueueSocket::badConfigError(
                            "Attempting to accept without a delegate queue. Set a delegate queue first."));
        return false;
    }
    return true;
}

const char* const kAlreadyStarted = "Attempting to accept while connected or accepting connections. Disconnect first.";

}  // namespace

bool RPOUTAQueueSocket::acceptOnPort(std::uint16_t port, Ref<NSError>* error) {
    return acceptOnInterface(std::string(), port, error);
}

int RPOUTAQueueSocket::createAcceptSocket(int family, const NSData& interfaceAddr, Ref<NSError>* error) {
    const int socketFD = socket(family, SOCK_STREAM, 0);
    if (socketFD == -1) {
        setError(error, errnoErrorWithReason("Error in socket() function"));
        return -1;
    }
    auto fail = [&](const char* reason) {
        setError(error, errnoErrorWithReason(reason));
        ::close(socketFD);
        return -1;
    };
    if (!setNonBlocking(socketFD)) return fail("Error enabling non-blocking IO on socket (fcntl)");
    const int reuseOn = 1;
    if (setsockopt(socketFD, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn) == -1) {
        return fail("Error enabling address reuse (setsockopt)");
    }
    if (family == AF_INET6) {
        // The IPv6 listener takes IPv6 only; IPv4 has its own.
        setsockopt(socketFD, IPPROTO_IPV6, IPV6_V6ONLY, &reuseOn, sizeof reuseOn);
    }
    if (bind(socketFD, reinterpret_cast<const sockaddr*>(interfaceAddr.bytes()),
             static_cast<socklen_t>(interfaceAddr.length())) == -1) {
        return fail("Error in bind() function");
    }
    if (listen(socketFD, 1024) == -1) return fail("Error in listen() function");
    return socketFD;
}

Ref<DispatchDescriptorSource> RPOUTAQueueSocket::makeAcceptSource(int socketFD, bool holdStrongly,
                                                                  bool closeOnCancel) {
    auto source = DispatchSource::makeReadSource(socketFD, socketQueue_);
    auto accept = [socketFD](RPOUTAQueueSocket& sock, unsigned long pending) {
        // At least one accept, at most as many as are pending; the first
        // failure ends the round.
        unsigned long count = 0;
        while (sock.doAccept(socketFD) && ++count < pending) {
        }
    };
    if (holdStrongly) {
        source->setEventHandler([sock = self<RPOUTAQueueSocket>(), accept, source = source.get()] {
            accept(*sock, source->data());
        });
    } else {
        source->setEventHandler([weak = weakSelf<RPOUTAQueueSocket>(), accept, source = source.get()] {
            if (auto sock = weak.lock()) accept(*sock, source->data());
        });
    }
    source->setCancelHandler([socketFD, closeOnCancel] {
        if (closeOnCancel) ::close(socketFD);
    });
    return source;
}

bool RPOUTAQueueSocket::acceptOnInterface(const std::string& interface, std::uint16_t port, Ref<NSError>* error) {
    bool listening = false;
    Ref<NSError> failure;
    runSync([&] {
        if (!checkCanAccept(delegate_.lock() != nullptr, delegateQueue_ != nullptr, &failure)) return;
        const bool ipv4Disabled = config_ & kIPv4Disabled;
        const bool ipv6Disabled = config_ & kIPv6Disabled;
        if (ipv4Disabled && ipv6Disabled) {
            failure = badConfigError("Both IPv4 and IPv6 have been disabled. Must enable at least one protocol first.");
            return;
        }
        if (flags_ & kSocketStarted) {
            failure = badConfigError(kAlreadyStarted);
            return;
        }
        readQueue_.clear();
        writeQueue_.clear();

        std::optional<NSData> interface4, interface6;
        getInterfaceAddress4(&interface4, &interface6, interface, port);
        if (!interface4 && !interface6) {
            failure = badParamError("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address.");
            return;
        }
        if (ipv4Disabled && !interface6) {
            failure = badParamError("IPv4 has been disabled and specified interface doesn't support IPv6.");
            return;
        }
        if (ipv6Disabled && !interface4) {
            failure = badParamError("IPv6 has been disabled and specified interface doesn't support IPv4.");
            return;
        }
        const bool enableIPv4 = !ipv4Disabled && interface4;
        const bool enableIPv6 = !ipv6Disabled && interface6;

        if (enableIPv4) {
            socket4FD_ = createAcceptSocket(AF_INET, *interface4, &failure);
            if (socket4FD_ == -1) return;
        }
        if (enableIPv6) {
            NSData address6 = *interface6;
            if (enableIPv4 && portFromAddress(address6) == 0) {
                // Both families listen on the port the system gave IPv4.
                const std::uint16_t chosen = localPortFromSocket(socket4FD_);
                sockaddr_in6 raw;
                std::memcpy(&raw, address6.bytes(), sizeof raw);
                raw.sin6_port = htons(chosen);
                address6 = NSData(&raw, sizeof raw);
            }
            socket6FD_ = createAcceptSocket(AF_INET6, address6, &failure);
            if (socket6FD_ == -1) {
                if (socket4FD_ != -1) {
                    ::close(socket4FD_);
                    socket4FD_ = -1;
                }
                return;
            }
        }
        if (socket4FD_ != -1) {
            accept4Source_ = makeAcceptSource(socket4FD_, false, true);
            accept4Source_->resume();
        }
        if (socket6FD_ != -1) {
            accept6Source_ = makeAcceptSource(socket6FD_, false, true);
            accept6Source_->resume();
        }
        flags_ |= kSocketStarted;
        listening = true;
    });
    if (!listening) setError(error, failure);
    return listening;
}

bool RPOUTAQueueSocket::acceptOnUrl(const Ref<NSURL>& url, Ref<NSError>* error) {
    bool listening = false;
    Ref<NSError> failure;
    runSync([&] {
        if (!checkCanAccept(delegate_.lock() != nullptr, delegateQueue_ != nullptr, &failure)) return;
        if (flags_ & kSocketStarted) {
            failure = badConfigError(kAlreadyStarted);
            return;
        }
        readQueue_.clear();
        writeQueue_.clear();
        const std::string path = url ? url->path() : std::string();
        auto fileManager = NSFileManager::defaultManager();
        if (!path.empty() && fileManager->fileExistsAtPath(path) && !fileManager->removeItemAtPath(path)) {
            failure = otherError("Could not remove previous unix domain socket at given url.");
            return;
        }
        auto address = getInterfaceAddressFromUrl(url);
        if (!address) {
            failure = badParamError(
                "Invalid unix domain url. Specify a valid file url that does not exist (e.g. \"file:///tmp/socket\")");
            return;
        }
        socketUN_ = createAcceptSocket(AF_UNIX, *address, &failure);
        if (socketUN_ == -1) return;
        socketUrl_ = url;
        // A listening Unix-domain socket stays alive until it is closed.
        acceptUNSource_ = makeAcceptSource(socketUN_, true, true);
        acceptUNSource_->resume();
        flags_ |= kSocketStarted;
        listening = true;
    });
    if (!listening) setError(error, failure);
    return listening;
}

bool RPOUTAQueueSocket::doAccept(int parentSocketFD) {
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int childFD = ::accept(parentSocketFD, reinterpret_cast<sockaddr*>(&address), &length);
    if (childFD == -1) return false;
    if (!setNonBlocking(childFD)) {
        ::close(childFD);
        return false;
    }
    const bool isUN = parentSocketFD == socketUN_;
    const bool is4 = parentSocketFD == socket4FD_;
    if (!delegateQueue_) {
        ::close(childFD);
        return true;
    }
    NSData peer(&address, length);
    auto delegate = delegate_.lock();
    delegateQueue_->async([listener = self<RPOUTAQueueSocket>(), delegate, delegateQueue = delegateQueue_, peer,
                           childFD, isUN, is4] {
        Ref<DispatchQueue> childQueue;
        if (delegate) {
            if (auto answer = delegate->newSocketQueueForConnectionFromAddress(peer, listener)) childQueue = *answer;
        }
        auto child = make<RPOUTAQueueSocket>(listener->delegate_, delegateQueue, childQueue);
        child->runSync([&] {
            (isUN ? child->socketUN_ : is4 ? child->socket4FD_ : child->socket6FD_) = childFD;
            child->flags_ = kSocketStarted | kConnected;
        });
        child->socketQueue_->async([weak = child->weakSelf<RPOUTAQueueSocket>(), childFD] {
            auto sock = weak.lock();
            if (!sock) return;
            sock->setupReadAndWriteSourcesForNewlyConnectedSocket(childFD);
            sock->maybeDequeueRead();
            sock->maybeDequeueWrite();
        });
        if (delegate) delegate->socketDidAcceptNewSocket(listener, child);
    });
    return true;
}

bool RPOUTAQueueSocket::connectToUrl(const Ref<NSURL>& url, double timeout, Ref<NSError>* error) {
    bool started = false;
    Ref<NSError> failure;
    runSync([&] {
        if (!url || url->path().empty()) {
            failure = badParamError("Invalid unix domain socket url.");
            return;
        }
        if (!preConnectWithUrl(url, &failure)) return;
        flags_ |= kSocketStarted;
        if (!connectWithAddressUN(*connectInterfaceUN_, &failure)) {
            flags_ &= ~kSocketStarted;
            return;
        }
        startConnectTimeout(timeout);
        started = true;
    });
    if (!started) setError(error, failure);
    return started;
}

bool RPOUTAQueueSocket::preConnectWithUrl(const Ref<NSURL>& url, Ref<NSError>* error) {
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
    auto address = getInterfaceAddressFromUrl(url);
    if (!address) {
        setError(error, badParamError("Unknown interface. Specify valid interface by name (e.g. \"en1\") or IP address."));
        return false;
    }
    connectInterfaceUN_ = std::move(address);
    readQueue_.clear();
    writeQueue_.clear();
    return true;
}

bool RPOUTAQueueSocket::connectWithAddressUN(const NSData& address, Ref<NSError>* error) {
    socketUN_ = socket(AF_UNIX, SOCK_STREAM, 0);
    if (socketUN_ == -1) {
        setError(error, errnoErrorWithReason("Error in socket() function"));
        return false;
    }
    const int reuseOn = 1;
    setsockopt(socketUN_, SOL_SOCKET, SO_REUSEADDR, &reuseOn, sizeof reuseOn);
    const int socketFD = socketUN_;
    const int aStateIndex = stateIndex_;
    DispatchQueue::global()->async([weak = weakSelf<RPOUTAQueueSocket>(), socketFD, address, aStateIndex] {
        const auto* raw = reinterpret_cast<const sockaddr_un*>(address.bytes());
        const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + strlen(raw->sun_path) + 1);
        const int result = ::connect(socketFD, reinterpret_cast<const sockaddr*>(raw), length);
        const int code = result == 0 ? 0 : errno;
        auto sock = weak.lock();
        if (!sock) return;
        if (code != 0) std::fprintf(stderr, "connect: %s\n", std::strerror(code));
        sock->socketQueue_->async([sock, socketFD, code, aStateIndex] {
            if (sock->socketUN_ != socketFD) return;
            if (code != 0) {
                errno = code;
                sock->didNotConnect(aStateIndex, errnoErrorWithReason("Error in connect() function"));
            } else {
                sock->didConnect(aStateIndex);
            }
        });
    });
    return true;
}
