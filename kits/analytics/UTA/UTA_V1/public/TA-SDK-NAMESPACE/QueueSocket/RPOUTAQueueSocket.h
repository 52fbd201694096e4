#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/CFStream.h"
#include "foundation/DispatchDescriptorSource.h"
#include "foundation/DispatchQueue.h"
#include "foundation/DispatchTimerSource.h"
#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/NSURL.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueReadPacket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketDelegate.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocketPreBuffer.h"

extern const char* const RPOUTAQueueSocketErrorDomain;  // "QueueSocketErrorDomain"
extern const char* const RPOUTAQueueSocketNetDBErrorDomain;  // "kCFStreamErrorDomainNetDB"
extern const char* const RPOUTAFailureReasonKey;

enum RPOUTAQueueSocketError : long {
    RPOUTAQueueSocketNoError = 0,
    RPOUTAQueueSocketBadConfigError = 1,
    RPOUTAQueueSocketBadParamError = 2,
    RPOUTAQueueSocketConnectTimeoutError = 3,
    RPOUTAQueueSocketReadTimeoutError = 4,
    RPOUTAQueueSocketWriteTimeoutError = 5,
    RPOUTAQueueSocketReadMaxedOutError = 6,
    RPOUTAQueueSocketClosedError = 7,
    RPOUTAQueueSocketOtherError = 8,
};

// A TCP (or Unix-domain) socket whose state lives on one private serial
// queue, the socket queue, and which reports to a delegate on a second
// queue. Requests (connect, read, write, disconnect) may come from any
// thread; they run one at a time in each direction, and every outcome reaches
// the delegate as an asynchronous call. Readiness comes from descriptor
// sources on the platform's poller.
//
// Make it with make<RPOUTAQueueSocket>(delegate, delegateQueue, socketQueue);
// any of the three may be null (a missing socket queue is made, labelled
// "QueueSocket").
class RPOUTAQueueSocket : public NSObject {
public:
    RPOUTAQueueSocket(WeakRef<RPOUTAQueueSocketDelegate> delegate = {}, Ref<DispatchQueue> delegateQueue = nullptr,
                      Ref<DispatchQueue> socketQueue = nullptr);
    ~RPOUTAQueueSocket() override;
    std::string className() const override { return "RPOUTAQueueSocket"; }

    // Adopts a descriptor that is already connected (IPv4 or IPv6).
    static Ref<RPOUTAQueueSocket> socketFromConnectedSocketFD(int socketFD, WeakRef<RPOUTAQueueSocketDelegate> delegate,
                                                            Ref<DispatchQueue> delegateQueue,
                                                            Ref<DispatchQueue> socketQueue, Ref<NSError>* error);

    // ---- connecting (YES when the attempt started; a negative timeout arms no timer)
    bool connectToHost(const std::string& host, std::uint16_t port, Ref<NSError>* error = nullptr);
    bool connectToHost(const std::string& host, std::uint16_t port, double timeout, Ref<NSError>* error = nullptr);
    bool connectToHost(const std::string& host, std::uint16_t port, const std::string& interface, double timeout,
                       Ref<NSError>* error = nullptr);
    bool connectToAddress(const NSData& remoteAddr, Ref<NSError>* error = nullptr);
    bool connectToAddress(const NSData& remoteAddr, double timeout, Ref<NSError>* error = nullptr);
    bool connectToAddress(const NSData& remoteAddr, const std::string& interface, double timeout,
                          Ref<NSError>* error = nullptr);
    bool connectToUrl(const Ref<NSURL>& url, double timeout, Ref<NSError>* error = nullptr);

    // ---- listening
    bool acceptOnPort(std::uint16_t port, Ref<NSError>* error = nullptr);
    bool acceptOnInterface(const std::string& interface, std::uint16_t port, Ref<NSError>* error = nullptr);
    bool acceptOnUrl(const Ref<NSURL>& url, Ref<NSError>* error = nullptr);

    // ---- disconnecting
    void disconnect();
    void disconnectAfterReading();
    void disconnectAfterWriting();
    void disconnectAfterReadingAndWriting();

    // ---- reading (a negative timeout arms no timer; `buffer` is the caller's
    // buffer, appended to in place from `offset`)
    void readDataWithTimeout(double timeout, std::int64_t tag);
    void readDataWithTimeout(double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset, std::int64_t tag);
    void readDataWithTimeout(double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                             std::uint64_t maxLength, std::int64_t tag);
    void readDataToLength(std::uint64_t length, double timeout, std::int64_t tag);
    void readDataToLength(std::uint64_t length, double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                          std::int64_t tag);
    void readDataToData(const NSData& data, double timeout, std::int64_t tag);
    void readDataToData(const NSData& data, double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                        std::int64_t tag);
    void readDataToData(const NSData& data, double timeout, std::uint64_t maxLength, std::int64_t tag);
    void readDataToData(const NSData& data, double timeout, std::shared_ptr<NSData> buffer, std::uint64_t offset,
                        std::uint64_t maxLength, std::int64_t tag);
    // Progress of the current request: fraction done, NaN when there is none.
    float progressOfReadReturningTag(std::int64_t* tag, std::uint64_t* done, std::uint64_t* total);

    // ---- writing (empty data is ignored; shared data is written without a copy)
    void writeData(std::shared_ptr<const NSData> data, double timeout, std::int64_t tag);
    void writeData(NSData data, double timeout, std::int64_t tag);
    float progressOfWriteReturningTag(std::int64_t* tag, std::uint64_t* done, std::uint64_t* total);

    // ---- configuration and queries
    Ref<RPOUTAQueueSocketDelegate> delegate();
    void setDelegate(WeakRef<RPOUTAQueueSocketDelegate> delegate, bool synchronously = false);
    Ref<DispatchQueue> delegateQueue();
    void setDelegateQueue(Ref<DispatchQueue> queue, bool synchronously = false);
    void getDelegate(Ref<RPOUTAQueueSocketDelegate>* delegate, Ref<DispatchQueue>* queue);
    void setDelegate(WeakRef<RPOUTAQueueSocketDelegate> delegate, Ref<DispatchQueue> queue, bool synchronously = false);
    bool isIPv4Enabled();
    void setIPv4Enabled(bool flag);
    bool isIPv6Enabled();
    void setIPv6Enabled(bool flag);
    bool isIPv4PreferredOverIPv6();
    void setIPv4PreferredOverIPv6(bool flag);
    bool autoDisconnectOnClosedReadStream();
    void setAutoDisconnectOnClosedReadStream(bool flag);
    double alternateAddressDelay();
    void setAlternateAddressDelay(double delay);
    Value userData();
    void setUserData(Value value);

    bool isDisconnected();
    bool isConnected();
    std::string connectedHost();
    std::uint16_t connectedPort();
    Ref<NSURL> connectedUrl();
    std::string localHost();
    std::uint16_t localPort();
    std::optional<NSData> connectedAddress();
    std::optional<NSData> localAddress();
    bool isIPv4();
    bool isIPv6();
    bool isSecure() const { return false; }
    // Only on the socket queue (elsewhere -1).
    int socketFD();
    int socket4FD();
    int socket6FD();
    // One family's descriptor, read without changing queue: only on the
    // socket queue (elsewhere, like without that descriptor, "" or 0).
    std::string connectedHost4() const;
    std::string connectedHost6() const;
    std::uint16_t connectedPort4() const;
    std::uint16_t connectedPort6() const;
    std::string localHost4() const;
    std::string localHost6() const;
    std::uint16_t localPort4() const;
    std::uint16_t localPort6() const;
    // Only on the socket queue (elsewhere null); made when missing.
    Ref<CFReadStream> readStream();
    Ref<CFWriteStream> writeStream();
    // Marks the connection for background use (only on the socket queue).
    bool enableBackgroundingOnSocket();
    bool enableBackgroundingOnSocketWithCaveat();

    // Runs `block` synchronously on the socket queue.
    void performBlock(const std::function<void()>& block);
    // Code running on `queue` (a queue the socket queue targets) counts as
    // running on the socket queue.
    void markSocketQueueTargetQueue(const Ref<DispatchQueue>& queue);
    void unmarkSocketQueueTargetQueue(const Ref<DispatchQueue>& queue);

    // ---- address conversions
    static std::string hostFromSockaddr4(const sockaddr_in* address);
    static std::string hostFromSockaddr6(const sockaddr_in6* address);
    static std::uint16_t portFromSockaddr4(const sockaddr_in* address);
    static std::uint16_t portFromSockaddr6(const sockaddr_in6* address);
    static Ref<NSURL> urlFromSockaddrUN(const struct sockaddr_un* address);
    static std::optional<std::string> hostFromAddress(const NSData& address);
    static std::uint16_t portFromAddress(const NSData& address);
    static bool getHost(std::string* host, std::uint16_t* port, const NSData& address);
    static bool getHost(std::string* host, std::uint16_t* port, sa_family_t* family, const NSData& address);
    static bool isIPv4Address(const NSData& address);
    static bool isIPv6Address(const NSData& address);
    // The host's addresses (IPv4 and IPv6, in resolver order); "localhost"
    // and "loopback" are answered without the resolver.
    static std::optional<std::vector<NSData>> lookupHost(const std::string& host, std::uint16_t port,
                                                         Ref<NSError>* error);
    // An interface description ("en0", "127.0.0.1", "localhost", ":8080",
    // "lo:8080", or an IPv6 literal such as "::1", which takes no port) as
    // listening or binding addresses.
    static void getInterfaceAddress4(std::optional<NSData>* address4, std::optional<NSData>* address6,
                                     const std::string& description, std::uint16_t port);
    static std::optional<NSData> getInterfaceAddressFromUrl(const Ref<NSURL>& url);

    static NSData CRLFData();
    static NSData CRData();
    static NSData LFData();
    static NSData ZeroData();

    // Error values of the socket layer.
    static Ref<NSError> badConfigError(const std::string& reason);
    static Ref<NSError> badParamError(const std::string& reason);
    static Ref<NSError> gaiError(int code);
    static Ref<NSError> errnoErrorWithReason(const std::string& reason);
    static Ref<NSError> errnoError();
    static Ref<NSError> connectTimeoutError();
    static Ref<NSError> readMaxedOutError();
    static Ref<NSError> readTimeoutError();
    static Ref<NSError> writeTimeoutError();
    static Ref<NSError> connectionClosedError();
    static Ref<NSError> otherError(const std::string& reason);

    // State bits of `flags`.
    enum Flag : std::uint32_t {
        kSocketStarted = 1u << 0,
        kConnected = 1u << 1,
        kForbidReadsWrites = 1u << 2,
        kReadsPaused = 1u << 3,
        kWritesPaused = 1u << 4,
        kDisconnectAfterReads = 1u << 5,
        kDisconnectAfterWrites = 1u << 6,
        kSocketCanAcceptBytes = 1u << 7,
        kReadSourceSuspended = 1u << 8,
        kWriteSourceSuspended = 1u << 9,
        kSocketHasReadEOF = 1u << 14,
        kReadStreamClosed = 1u << 15,
        kDealloc = 1u << 16,
        kAddedStreamsToRunLoop = 1u << 17,
    };
    // Configuration bits of `config`.
    enum Config : std::uint16_t {
        kIPv4Disabled = 1u << 0,
        kIPv6Disabled = 1u << 1,
        kPreferIPv6 = 1u << 2,
        kAllowHalfDuplexConnection = 1u << 3,
    };

protected:
    void didCreate() override;

private:
    friend class RPOUTAQueueSocketTestAccess;
    bool onSocketQueue() const;
    // Runs on the socket queue: directly when already there, else synchronously.
    void runSync(const std::function<void()>& block);
    void runAsync(std::function<void()> block);
    // Calls the delegate (captured now) on the delegate queue; with
    // `skipWhenUnanswered`, not when the delegate leaves that call unanswered.
    void notifyDelegate(std::function<void(RPOUTAQueueSocketDelegate&, const Ref<RPOUTAQueueSocket>&)> call,
                        std::optional<RPOUTAQueueSocketDelegate::Unanswered> skipWhenUnanswered = std::nullopt);

    // connecting
    bool preConnectWithInterface(const std::string& interface, Ref<NSError>* error);
    bool preConnectWithUrl(const Ref<NSURL>& url, Ref<NSError>* error);
    void lookupDidSucceed(int aStateIndex, std::optional<NSData> address4, std::optional<NSData> address6);
    void lookupDidFail(int aStateIndex, const Ref<NSError>& error);
    bool bindSocket(int socketFD, const NSData& interfaceAddr, Ref<NSError>* error);
    int createSocket(int family, const std::optional<NSData>& interfaceAddr, Ref<NSError>* error);
    void connectSocket(int socketFD, const NSData& address, int aStateIndex);
    void connectSocketFinished(int socketFD, int result, int aStateIndex);
    bool connectWithAddress4(std::optional<NSData> address4, std::optional<NSData> address6, Ref<NSError>* error);
    bool connectWithAddressUN(const NSData& address, Ref<NSError>* error);
    void closeSocket(int socketFD);
    void closeUnusedSocket(int usedSocketFD);
    void didConnect(int aStateIndex);
    void didNotConnect(int aStateIndex, const Ref<NSError>& error);
    void startConnectTimeout(double timeout);
    void endConnectTimeout();
    void doConnectTimeout();
    void closeWithError(const Ref<NSError>& error);
    void maybeClose();

    // reading and writing
    void setupReadAndWriteSourcesForNewlyConnectedSocket(int socketFD);
    void suspendReadSource();
    void resumeReadSource();
    void suspendWriteSource();
    void resumeWriteSource();
    void enqueueRead(std::shared_ptr<RPOUTAQueueReadPacket> packet);
    void maybeDequeueRead();
    void doReadData();
    void doReadEOF();
    void completeCurrentRead();
    void endCurrentRead();
    void setupReadTimerWithTimeout(double timeout);
    void doReadTimeout();
    void doReadTimeoutWithExtension(double timeoutExtension);
    void maybeDequeueWrite();
    void doWriteData();
    void completeCurrentWrite();
    void endCurrentWrite();
    void setupWriteTimerWithTimeout(double timeout);
    void doWriteTimeout();
    void doWriteTimeoutWithExtension(double timeoutExtension);
    int connectedFD() const;

    // listening
    int createAcceptSocket(int family, const NSData& interfaceAddr, Ref<NSError>* error);
    Ref<DispatchDescriptorSource> makeAcceptSource(int socketFD, bool holdStrongly, bool closeOnCancel);
    bool doAccept(int parentSocketFD);

    // streams
    bool createReadAndWriteStream();
    bool registerForStreamCallbacksIncludingReadWrite(bool includeReadWrite);
    bool addStreamsToRunLoop();
    void removeStreamsFromRunLoop();
    bool openStreams();
    void streamEvent(bool readSide, CFStreamEventType type, const Ref<NSError>& error);
    bool enableBackgroundingOnSocketWithCaveat(bool caveat);

    // queries on the socket queue
    std::string connectedHostFromSocket(int socketFD) const;
    std::uint16_t connectedPortFromSocket(int socketFD) const;
    std::string localHostFromSocket(int socketFD) const;
    std::uint16_t localPortFromSocket(int socketFD) const;
    Ref<NSURL> connectedUrlFromSocketUN(int socketFD) const;

    std::uint32_t flags_ = 0;
    std::uint16_t config_ = 0;
    WeakRef<RPOUTAQueueSocketDelegate> delegate_;
    Ref<DispatchQueue> delegateQueue_;
    int socket4FD_ = -1, socket6FD_ = -1, socketUN_ = -1;
    Ref<NSURL> socketUrl_;
    int stateIndex_ = 0;
    std::optional<NSData> connectInterface4_, connectInterface6_, connectInterfaceUN_;
    Ref<DispatchQueue> socketQueue_;
    Ref<DispatchDescriptorSource> accept4Source_, accept6Source_, acceptUNSource_;
    Ref<DispatchTimerSource> connectTimer_;
    // Pending non-blocking connects, watched for writability.
    Ref<DispatchDescriptorSource> connect4Source_, connect6Source_;
    Ref<DispatchDescriptorSource> readSource_, writeSource_;
    Ref<DispatchTimerSource> readTimer_, writeTimer_;
    std::deque<std::shared_ptr<RPOUTAQueueReadPacket>> readQueue_;
    std::deque<std::shared_ptr<RPOUTAQueueWritePacket>> writeQueue_;
    std::shared_ptr<RPOUTAQueueReadPacket> currentRead_;
    std::shared_ptr<RPOUTAQueueWritePacket> currentWrite_;
    std::uint64_t socketFDBytesAvailable_ = 0;
    RPOUTAQueueSocketPreBuffer preBuffer_{4096};
    const std::shared_ptr<RPOUTAQueueSpareBuffers> spareBuffers_ = std::make_shared<RPOUTAQueueSpareBuffers>();
    Ref<CFReadStream> readStream_;
    Ref<CFWriteStream> writeStream_;
    Value userData_;
    double alternateAddressDelay_ = 0.3;
};
