#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/un.h>

#include <cstring>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"

namespace {

NSData addressData(const void* address, std::size_t length) { return NSData(address, length); }

NSData ipv4Address(in_addr_t hostOrderAddress, std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(hostOrderAddress);
    return addressData(&address, sizeof address);
}

NSData ipv6Address(const in6_addr& host, std::uint16_t port) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_port = htons(port);
    address.sin6_addr = host;
    return addressData(&address, sizeof address);
}

template <class Address> bool readAddress(const NSData& data, Address* out) {
    if (data.length() < sizeof(Address)) return false;
    std::memcpy(out, data.bytes(), sizeof(Address));
    return true;
}

sa_family_t familyOf(const NSData& data) {
    sa_family_t family = AF_UNSPEC;
    if (data.length() >= sizeof family) std::memcpy(&family, data.bytes(), sizeof family);
    return family;
}

}  // namespace

std::optional<std::vector<NSData>> RPOUTAQueueSocket::lookupHost(const std::string& host, std::uint16_t port,
                                                                  Ref<NSError>* error) {
    if (host == "localhost" || host == "loopback") {
        return std::vector<NSData>{ipv4Address(INADDR_LOOPBACK, port), ipv6Address(in6addr_loopback, port)};
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* results = nullptr;
    const std::string service = std::to_string(port);
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &results);
    if (status != 0) {
        if (error) *error = gaiError(status);
        return std::nullopt;
    }
    std::vector<NSData> addresses;
    for (addrinfo* entry = results; entry; entry = entry->ai_next) {
        if (entry->ai_family == AF_INET) {
            addresses.push_back(addressData(entry->ai_addr, entry->ai_addrlen));
        } else if (entry->ai_family == AF_INET6) {
            sockaddr_in6 address;
            std::memcpy(&address, entry->ai_addr, sizeof address);
            if (address.sin6_port == 0) address.sin6_port = htons(port);
            addresses.push_back(addressData(&address, sizeof address));
        }
    }
    freeaddrinfo(results);
    if (addresses.empty()) {
        if (error) *error = gaiError(EAI_FAIL);
        return std::nullopt;
    }
    return addresses;
}

void RPOUTAQueueSocket::getInterfaceAddress4(std::optional<NSData>* address4, std::optional<NSData>* address6,
                                             const std::string& description, std::uint16_t port) {
    std::string interface = description;
    const auto colon = description.find(':');
    // An IPv6 literal ("::1", "fe80::1") is an address as a whole, never
    // a name followed by a port.
    const bool ipv6Literal = colon != std::string::npos && description.find(':', colon + 1) != std::string::npos;
    in6_addr literal{};
    const bool literalRead = ipv6Literal && inet_pton(AF_INET6, description.c_str(), &literal) == 1;
    if (colon != std::string::npos && !ipv6Literal) {
        interface = description.substr(0, colon);
        if (port == 0) {
            const std::string suffix = description.substr(colon + 1);
            char* end = nullptr;
            const long value = std::strtol(suffix.c_str(), &end, 10);
            port = (!suffix.empty() && *end == '\0' && value >= 1 && value <= 65535) ? static_cast<std::uint16_t>(value)
                                                                                  : 0;
        }
    }
    std::optional<NSData> found4, found6;
    // The any-address "::" (in any of its forms) means every interface, as
    // no interface does.
    if (interface.empty() || (literalRead && IN6_IS_ADDR_UNSPECIFIED(&literal))) {
        found4 = ipv4Address(INADDR_ANY, port);
        found6 = ipv6Address(in6addr_any, port);
    } else if (interface == "localhost" || interface == "loopback") {
        found4 = ipv4Address(INADDR_LOOPBACK, port);
        found6 = ipv6Address(in6addr_loopback, port);
    } else {
        ifaddrs* list = nullptr;
        if (getifaddrs(&list) == 0) {
            for (ifaddrs* entry = list; entry; entry = entry->ifa_next) {
                if (!entry->ifa_addr) continue;
                if (!found4 && entry->ifa_addr->sa_family == AF_INET) {
                    sockaddr_in address;
                    std::memcpy(&address, entry->ifa_addr, sizeof address);
                    char text[INET_ADDRSTRLEN] = {};
                    inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
                    if (interface == entry->ifa_name || interface == text) {
                        address.sin_port = htons(port);
                        found4 = addressData(&address, sizeof address);
                    }
                } else if (!found6 && entry->ifa_addr->sa_family == AF_INET6) {
                    sockaddr_in6 address;
                    std::memcpy(&address, entry->ifa_addr, sizeof address);
                    char text[INET6_ADDRSTRLEN] = {};
                    inet_ntop(AF_INET6, &address.sin6_addr, text, sizeof text);
                    // A literal may be written in any of its forms.
                    const bool sameAddress =
                        literalRead && std::memcmp(&literal, &address.sin6_addr, sizeof literal) == 0;
                    if (interface == entry->ifa_name || interface == text || sameAddress) {
                        address.sin6_port = htons(port);
                        found6 = addressData(&address, sizeof address);
                    }
                }
            }
            freeifaddrs(list);
        }
    }
    if (address4) *address4 = std::move(found4);
    if (address6) *address6 = std::move(found6);
}

std::optional<NSData> RPOUTAQueueSocket::getInterfaceAddressFromUrl(const Ref<NSURL>& url) {
    const std::string path = url ? url->path() : std::string();
    if (path.empty()) return std::nullopt;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return addressData(&address, sizeof address);
}

// ---- conversions

std::string RPOUTAQueueSocket::hostFromSockaddr4(const sockaddr_in* address) {
    char text[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) return std::string();
    return text;
}

std::string RPOUTAQueueSocket::hostFromSockaddr6(const sockaddr_in6* address) {
    char text[INET6_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET6, &address->sin6_addr, text, sizeof text)) return std::string();
    return text;
}

std::uint16_t RPOUTAQueueSocket::portFromSockaddr4(const sockaddr_in* address) { return ntohs(address->sin_port); }

std::uint16_t RPOUTAQueueSocket::portFromSockaddr6(const sockaddr_in6* address) { return ntohs(address->sin6_port); }

Ref<NSURL> RPOUTAQueueSocket::urlFromSockaddrUN(const sockaddr_un* address) {
    const std::string path(address->sun_path, strnlen(address->sun_path, sizeof address->sun_path));
    return NSURL::fileURLWithPath(path);
}

bool RPOUTAQueueSocket::getHost(std::string* host, std::uint16_t* port, const NSData& address) {
    return getHost(host, port, nullptr, address);
}

bool RPOUTAQueueSocket::getHost(std::string* host, std::uint16_t* port, sa_family_t* family, const NSData& address) {
    const sa_family_t addressFamily = familyOf(address);
    if (addressFamily == AF_INET) {
        sockaddr_in address4;
        if (readAddress(address, &address4)) {
            if (host) *host = hostFromSockaddr4(&address4);
            if (port) *port = portFromSockaddr4(&address4);
            if (family) *family = AF_INET;
            return true;
        }
    } else if (addressFamily == AF_INET6) {
        sockaddr_in6 address6;
        if (readAddress(address, &address6)) {
            if (host) *host = hostFromSockaddr6(&address6);
            if (port) *port = portFromSockaddr6(&address6);
            if (family) *family = AF_INET6;
            return true;
        }
    }
    if (host) host->clear();
    if (port) *port = 0;
    return false;
}

std::optional<std::string> RPOUTAQueueSocket::hostFromAddress(const NSData& address) {
    std::string host;
    if (!getHost(&host, nullptr, address)) return std::nullopt;
    return host;
}

std::uint16_t RPOUTAQueueSocket::portFromAddress(const NSData& address) {
    std::uint16_t port = 0;
    getHost(nullptr, &port, address);
    return port;
}

bool RPOUTAQueueSocket::isIPv4Address(const NSData& address) {
    return address.length() >= sizeof(sockaddr_in) && familyOf(address) == AF_INET;
}

bool RPOUTAQueueSocket::isIPv6Address(const NSData& address) {
    return address.length() >= sizeof(sockaddr_in6) && familyOf(address) == AF_INET6;
}

// ---- queries of the descriptors (on the socket queue)

namespace {

std::optional<NSData> peerOrLocal(int socketFD, bool peer) {
    if (socketFD == -1) return std::nullopt;
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    const int result = peer ? getpeername(socketFD, reinterpret_cast<sockaddr*>(&address), &length)
                            : getsockname(socketFD, reinterpret_cast<sockaddr*>(&address), &length);
    if (result != 0) return std::nullopt;
    return NSData(&address, length);
}

}  // namespace

std::string RPOUTAQueueSocket::connectedHostFromSocket(int socketFD) const {
    auto address = peerOrLocal(socketFD, true);
    return address ? hostFromAddress(*address).value_or("") : std::string();
}

std::uint16_t RPOUTAQueueSocket::connectedPortFromSocket(int socketFD) const {
    auto address = peerOrLocal(socketFD, true);
    return address ? portFromAddress(*address) : 0;
}

std::string RPOUTAQueueSocket::localHostFromSocket(int socketFD) const {
    auto address = peerOrLocal(socketFD, false);
    return address ? hostFromAddress(*address).value_or("") : std::string();
}

std::uint16_t RPOUTAQueueSocket::localPortFromSocket(int socketFD) const {
    auto address = peerOrLocal(socketFD, false);
    return address ? portFromAddress(*address) : 0;
}

Ref<NSURL> RPOUTAQueueSocket::connectedUrlFromSocketUN(int socketFD) const {
    auto address = peerOrLocal(socketFD, true);
    if (!address || familyOf(*address) != AF_UNIX) return nullptr;
    sockaddr_un un{};
    std::memcpy(&un, address->bytes(), std::min(address->length(), sizeof un));
    return urlFromSockaddrUN(&un);
}

std::string RPOUTAQueueSocket::connectedHost() {
    std::string result;
    runSync([&] { result = connectedHostFromSocket(socket4FD_ != -1 ? socket4FD_ : socket6FD_); });
    return result;
}

std::uint16_t RPOUTAQueueSocket::connectedPort() {
    std::uint16_t result = 0;
    runSync([&] { result = connectedPortFromSocket(socket4FD_ != -1 ? socket4FD_ : socket6FD_); });
    return result;
}

Ref<NSURL> RPOUTAQueueSocket::connectedUrl() {
    Ref<NSURL> result;
    runSync([&] { result = socketUN_ != -1 ? connectedUrlFromSocketUN(socketUN_) : nullptr; });
    return result;
}

std::string RPOUTAQueueSocket::localHost() {
    std::string result;
    runSync([&] { result = localHostFromSocket(socket4FD_ != -1 ? socket4FD_ : socket6FD_); });
    return result;
}

std::uint16_t RPOUTAQueueSocket::localPort() {
    std::uint16_t result = 0;
    runSync([&] { result = localPortFromSocket(socket4FD_ != -1 ? socket4FD_ : socket6FD_); });
    return result;
}

std::optional<NSData> RPOUTAQueueSocket::connectedAddress() {
    std::optional<NSData> result;
    runSync([&] {
        result = peerOrLocal(socket4FD_, true);
        if (socket6FD_ != -1) result = peerOrLocal(socket6FD_, true);
    });
    return result;
}

std::optional<NSData> RPOUTAQueueSocket::localAddress() {
    std::optional<NSData> result;
    runSync([&] {
        result = peerOrLocal(socket4FD_, false);
        if (socket6FD_ != -1) result = peerOrLocal(socket6FD_, false);
    });
    return result;
}

bool RPOUTAQueueSocket::isIPv4() {
    bool result = false;
    runSync([&] { result = socket4FD_ != -1; });
    return result;
}

bool RPOUTAQueueSocket::isIPv6() {
    bool result = false;
    runSync([&] { result = socket6FD_ != -1; });
    return result;
}

int RPOUTAQueueSocket::socketFD() {
    if (!onSocketQueue()) return -1;
    return socket4FD_ != -1 ? socket4FD_ : socket6FD_;
}

int RPOUTAQueueSocket::socket4FD() { return onSocketQueue() ? socket4FD_ : -1; }

// Off the socket queue the descriptor fields belong to another thread, so
// the per-family queries look only when on it.
std::string RPOUTAQueueSocket::connectedHost4() const {
    return onSocketQueue() ? connectedHostFromSocket(socket4FD_) : "";
}
std::string RPOUTAQueueSocket::connectedHost6() const {
    return onSocketQueue() ? connectedHostFromSocket(socket6FD_) : "";
}
std::uint16_t RPOUTAQueueSocket::connectedPort4() const {
    return onSocketQueue() ? connectedPortFromSocket(socket4FD_) : 0;
}
std::uint16_t RPOUTAQueueSocket::connectedPort6() const {
    return onSocketQueue() ? connectedPortFromSocket(socket6FD_) : 0;
}
std::string RPOUTAQueueSocket::localHost4() const {
    return onSocketQueue() ? localHostFromSocket(socket4FD_) : "";
}
std::string RPOUTAQueueSocket::localHost6() const {
    return onSocketQueue() ? localHostFromSocket(socket6FD_) : "";
}
std::uint16_t RPOUTAQueueSocket::localPort4() const {
    return onSocketQueue() ? localPortFromSocket(socket4FD_) : 0;
}
std::uint16_t RPOUTAQueueSocket::localPort6() const {
    return onSocketQueue() ? localPortFromSocket(socket6FD_) : 0;
}

int RPOUTAQueueSocket::socket6FD() { return onSocketQueue() ? socket6FD_ : -1; }

// ---- configuration

bool RPOUTAQueueSocket::isDisconnected() {
    bool result = false;
    runSync([&] { result = !(flags_ & kSocketStarted); });
    return result;
}

bool RPOUTAQueueSocket::isConnected() {
    bool result = false;
    runSync([&] { result = flags_ & kConnected; });
    return result;
}

Ref<RPOUTAQueueSocketDelegate> RPOUTAQueueSocket::delegate() {
    Ref<RPOUTAQueueSocketDelegate> result;
    runSync([&] { result = delegate_.lock(); });
    return result;
}

void RPOUTAQueueSocket::setDelegate(WeakRef<RPOUTAQueueSocketDelegate> delegate, bool synchronously) {
    auto apply = [this, delegate] { delegate_ = delegate; };
    synchronously ? runSync(apply) : runAsync(apply);
}

Ref<DispatchQueue> RPOUTAQueueSocket::delegateQueue() {
    Ref<DispatchQueue> result;
    runSync([&] { result = delegateQueue_; });
    return result;
}

void RPOUTAQueueSocket::setDelegateQueue(Ref<DispatchQueue> queue, bool synchronously) {
    auto apply = [this, queue] { delegateQueue_ = queue; };
    synchronously ? runSync(apply) : runAsync(apply);
}

void RPOUTAQueueSocket::getDelegate(Ref<RPOUTAQueueSocketDelegate>* delegate, Ref<DispatchQueue>* queue) {
    runSync([&] {
        if (delegate) *delegate = delegate_.lock();
        if (queue) *queue = delegateQueue_;
    });
}

void RPOUTAQueueSocket::setDelegate(WeakRef<RPOUTAQueueSocketDelegate> delegate, Ref<DispatchQueue> queue,
                                    bool synchronously) {
    auto apply = [this, delegate, queue] {
        delegate_ = delegate;
        delegateQueue_ = queue;
    };
    synchronously ? runSync(apply) : runAsync(apply);
}

namespace {

template <class Socket, class Getter> auto readOnQueue(Socket& sock, Getter getter) {
    decltype(getter()) result{};
    sock.performBlock([&] { result = getter(); });
    return result;
}

}  // namespace

bool RPOUTAQueueSocket::isIPv4Enabled() {
    return readOnQueue(*this, [this] { return !(config_ & kIPv4Disabled); });
}

void RPOUTAQueueSocket::setIPv4Enabled(bool flag) {
    runAsync([this, flag] { flag ? config_ &= ~kIPv4Disabled : config_ |= kIPv4Disabled; });
}

bool RPOUTAQueueSocket::isIPv6Enabled() {
    return readOnQueue(*this, [this] { return !(config_ & kIPv6Disabled); });
}

void RPOUTAQueueSocket::setIPv6Enabled(bool flag) {
    runAsync([this, flag] { flag ? config_ &= ~kIPv6Disabled : config_ |= kIPv6Disabled; });
}

bool RPOUTAQueueSocket::isIPv4PreferredOverIPv6() {
    return readOnQueue(*this, [this] { return !(config_ & kPreferIPv6); });
}

void RPOUTAQueueSocket::setIPv4PreferredOverIPv6(bool flag) {
    runAsync([this, flag] { flag ? config_ &= ~kPreferIPv6 : config_ |= kPreferIPv6; });
}

bool RPOUTAQueueSocket::autoDisconnectOnClosedReadStream() {
    return readOnQueue(*this, [this] { return !(config_ & kAllowHalfDuplexConnection); });
}

void RPOUTAQueueSocket::setAutoDisconnectOnClosedReadStream(bool flag) {
    runAsync([this, flag] { flag ? config_ &= ~kAllowHalfDuplexConnection : config_ |= kAllowHalfDuplexConnection; });
}

double RPOUTAQueueSocket::alternateAddressDelay() {
    return readOnQueue(*this, [this] { return alternateAddressDelay_; });
}

void RPOUTAQueueSocket::setAlternateAddressDelay(double delay) {
    runAsync([this, delay] { alternateAddressDelay_ = delay; });
}

Value RPOUTAQueueSocket::userData() {
    Value result;
    runSync([&] { result = userData_; });
    return result;
}

void RPOUTAQueueSocket::setUserData(Value value) {
    runAsync([this, value = std::move(value)] { userData_ = value; });
}
