#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "foundation/DispatchQueue.h"
#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/QueueSocket/RPOUTAQueueSocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAQueue.h"

// One unit of sending: one event, or a batch of stored rows (only their
// `content` is sent), and the block told the outcome (true: delivered and
// acknowledged) once, asynchronously, on the main queue.
class RPOUTASendItem : public NSObject {
public:
    using Events = std::variant<std::monostate, Ref<RPOUTAEvent>, std::vector<RPOUTAStoreEvent>>;

    RPOUTASendItem() = default;
    RPOUTASendItem(Events events, std::function<void(bool)> callback)
        : jsonEvents(std::move(events)), sendCallback(std::move(callback)) {}
    std::string className() const override { return "RPOUTASendItem"; }

    Events jsonEvents;
    std::function<void(bool)> sendCallback;
};

// The report channel: delivers units of events to the report host
// (`RPOUTAReportHost`) over one long-lived TCP connection, one request in
// flight at a time, the others waiting in order. A request is a framed,
// gzip-compressed, RC4-enciphered JSON array; the reply acknowledges it
// ("ret" "0") and may carry the online configuration.
//
// Everything but the queue of waiting units lives on the serial queue
// "HttpDispatcher", where the socket reports. Every unit handed to `send`
// gets its callback exactly once: acknowledged (an empty batch counts as
// delivered), or failed (no events or an event without a JSON text, no
// connection, the connection dropped, a time-out, a reply that is not an
// acknowledgement).
class RPOUTASocket : public NSObject, public RPOUTAQueueSocketDelegate {
public:
    // The reply buffer's capacity; a reply body may fill half of it.
    static constexpr std::size_t kReadBufferCapacity = 0x3C000;
    static constexpr std::size_t kLargestReplyBody = (kReadBufferCapacity - 16) / 2;
    // A reply body never inflates past this, whatever it holds.
    static constexpr std::size_t kLargestReplyText = 4 << 20;
    // Connecting, and a request that makes no progress for this long (the
    // host takes none of its bytes, or sends no reply), time out.
    static constexpr double kTimeout = 11.0;
    static constexpr std::array<std::uint8_t, 4> kMagic{0x00, 0x00, 0x95, 0x27};
    static constexpr std::array<std::uint8_t, 4> kVersion{0x00, 0x00, 0x00, 0x01};
    static constexpr std::array<std::uint8_t, 4> kConfig{0x01, 0x03, 0x00, 0x00};
    // The report host refuses a request whose JSON nests deeper than this,
    // and with it every event of the request: the request's array is the
    // first level, each event's object the second.
    static constexpr std::size_t kDeepestNesting = 32;

    static Ref<RPOUTASocket> getInstance();
    RPOUTASocket();
    ~RPOUTASocket() override;
    std::string className() const override { return "RPOUTASocket"; }

    // Queues the unit; it goes out once those before it are done.
    void send(const Ref<RPOUTASendItem>& item);
    // One event, with its report text (made when it has none yet); a text
    // too long to report (not an error event) is not sent and the unit fails.
    void sendEvent(const Ref<RPOUTASendItem>& item);

    bool isSending() const { return isSending_; }
    Ref<RPOUTASendItem> sendingItem() const;
    void setSendingItem(Ref<RPOUTASendItem> item);

    static bool isEqualToMagic(const NSData& data);
    // The request frame for the JSON bytes; nothing when they cannot be
    // compressed. Safe on any thread: it touches no exchange.
    std::optional<NSData> getSendData(const NSData& json);
    // A reply body decoded as frame byte 13 (`configData`'s second byte)
    // says; nothing when it cannot be. Safe on any thread.
    std::optional<NSData> filterBodyData(const std::optional<NSData>& body, const NSData& configData);

    // Receives every acknowledged reply (a JSON object), which carries the
    // online configuration; called on "HttpDispatcher".
    void setOnlineConfigHandler(std::function<void(const Value&)> handler);

    const Ref<DispatchQueue>& taskQueue() const { return taskQueue_; }
    // Replaces `kTimeout` for this channel; set before its first send.
    void setTimeoutForTests(double seconds) { timeout_ = seconds; }
    // Drops the connection, on "HttpDispatcher"; the unit in flight fails.
    void disconnect();

    // Socket reports, on "HttpDispatcher".
    void socketDidConnectToHost(const Ref<RPOUTAQueueSocket>& sock, const std::string& host,
                                std::uint16_t port) override;
    std::optional<double> socketShouldTimeoutWriteWithTag(const Ref<RPOUTAQueueSocket>& sock, std::int64_t tag,
                                                          double elapsed, std::uint64_t bytesDone) override;
    std::optional<double> socketShouldTimeoutReadWithTag(const Ref<RPOUTAQueueSocket>& sock, std::int64_t tag,
                                                         double elapsed, std::uint64_t bytesDone) override;
    void socketDidReadData(const Ref<RPOUTAQueueSocket>& sock, const NSData& data, std::int64_t tag) override;
    void socketDidDisconnect(const Ref<RPOUTAQueueSocket>& sock, const Ref<NSError>& error) override;

protected:
    void didCreate() override;

private:
    // On "HttpDispatcher": starts the next unit, or connects first.
    void kick();
    // A unit in flight or waiting.
    bool hasWork();
    void sendData();
    // False when no frame could be made (the unit has failed).
    bool tcpRequest(const NSData& json);
    // Whether the host has sent bytes while no request was out (a second
    // reply to the last request, or one before any request): a reply
    // answers only the request it follows.
    bool hostHasSpokenOutOfTurn();
    // The bytes of the connection the host has acknowledged so far (0 when
    // the system cannot tell).
    std::uint64_t acknowledgedBytes();
    // A write's or read's time-out: another period while the host took bytes
    // of the request since the last look (`lastLook`, that time-out's own);
    // otherwise the connection is reset and the unit fails.
    std::optional<double> timeOutUnlessTaking(std::uint64_t& lastLook, const char* message);
    void startSocket();
    void handleBodyResult(const NSData& body, const NSData& configData);
    // Fails the unit in flight and resets the exchange.
    void handleSendError();
    // Fails every unit still waiting (no connection could be made).
    void failWaitingItems();
    void closeBuffer();
    // The event texts of a unit; nothing when it carries no events at all.
    static std::optional<std::vector<std::string>> eventTexts(const RPOUTASendItem& item);
    static void complete(const Ref<RPOUTASendItem>& item, bool delivered);

    Ref<DispatchQueue> taskQueue_ = DispatchQueue::serial("HttpDispatcher");
    NSData readBuf_;
    bool readHeaderComplete_ = false;
    bool readComplete_ = false;
    Ref<RPOUTAQueueSocket> utaSocket_;
    double timeout_ = kTimeout;
    std::uint64_t acknowledgedAtWriteLook_ = 0, acknowledgedAtReadLook_ = 0;
    bool isConnecting_ = false;
    std::atomic<bool> isSending_{false};
    std::uint64_t bodyLen_ = 0;
    // "__UTA_SOCKET_QUEUE_KEY": the waiting units.
    std::mutex queueLock_;
    UTAQueue<Ref<RPOUTASendItem>> sendItemQueue_;
    // "__UTA_SOCKET_CALLBACK_KEY": the unit in flight and its completion.
    mutable std::mutex callbackLock_;
    Ref<RPOUTASendItem> sendingItem_;
    std::function<void(const Value&)> onlineConfigHandler_;
};
