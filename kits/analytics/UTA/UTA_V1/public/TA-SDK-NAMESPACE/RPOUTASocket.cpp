#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"

#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstring>

#include "foundation/NSJSONSerialization.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAReportHost.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

constexpr std::int64_t kTag = 0;

void appendBigEndian32(NSData& data, std::uint32_t value) {
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                   static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    data.append(bytes, sizeof bytes);
}

std::uint32_t readBigEndian32(const std::uint8_t* bytes) {
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

}  // namespace

Ref<RPOUTASocket> RPOUTASocket::getInstance() {
    // Lives as long as the process: closing its connection at exit would use
    // dispatch queues that are already gone.
    return UTASharedInstance<RPOUTASocket>();
}

RPOUTASocket::RPOUTASocket() = default;

RPOUTASocket::~RPOUTASocket() {
    if (utaSocket_) utaSocket_->disconnect();
}

void RPOUTASocket::didCreate() {
    // The reply buffer is made once, at full size, and reused.
    readBuf_.setLength(kReadBufferCapacity);
    readBuf_.setLength(0);
    utaSocket_ = make<RPOUTAQueueSocket>(WeakRef<RPOUTAQueueSocketDelegate>(self<RPOUTASocket>()), taskQueue_);
}

void RPOUTASocket::disconnect() {
    taskQueue_->sync([this] {
        if (utaSocket_) utaSocket_->disconnect();
    });
}

// ---- the caller's side

void RPOUTASocket::send(const Ref<RPOUTASendItem>& item) {
    if (!item) return;
    {
        std::lock_guard lock(queueLock_);
        sendItemQueue_.enqueue(item);
    }
    taskQueue_->async([weak = weakSelf<RPOUTASocket>()] {
        if (auto channel = weak.lock()) channel->kick();
    });
}

void RPOUTASocket::sendEvent(const Ref<RPOUTASendItem>& item) {
    if (!item) return;
    if (auto* event = std::get_if<Ref<RPOUTAEvent>>(&item->jsonEvents); event && *event) {
        if ((*event)->isTooLongToReport()) {
            // Not sent, so not reported delivered: the caller decides what
            // becomes of it (the store refuses it as well).
            UTALog("[ERROR]Too large event content length to report:%d", static_cast<int>((*event)->contentLength()));
            complete(item, false);
            return;
        }
    }
    send(item);
}

Ref<RPOUTASendItem> RPOUTASocket::sendingItem() const {
    std::lock_guard lock(callbackLock_);
    return sendingItem_;
}

void RPOUTASocket::setSendingItem(Ref<RPOUTASendItem> item) {
    std::lock_guard lock(callbackLock_);
    sendingItem_ = std::move(item);
}

void RPOUTASocket::setOnlineConfigHandler(std::function<void(const Value&)> handler) {
    std::lock_guard lock(callbackLock_);
    onlineConfigHandler_ = std::move(handler);
}

void RPOUTASocket::complete(const Ref<RPOUTASendItem>& item, bool delivered) {
    if (!item || !item->sendCallback) return;
    DispatchQueue::main()->async([callback = item->sendCallback, delivered] { callback(delivered); });
}

// ---- sending, on "HttpDispatcher"

bool RPOUTASocket::hasWork() {
    std::lock_guard callbackLock(callbackLock_);
    std::lock_guard lock(queueLock_);
    return sendingItem_ || !sendItemQueue_.empty();
}

void RPOUTASocket::kick() {
    if (isSending_ || !hasWork()) return;
    if (utaSocket_->isConnected()) sendData();
    else startSocket();
}

std::optional<std::vector<std::string>> RPOUTASocket::eventTexts(const RPOUTASendItem& item) {
    if (const auto* event = std::get_if<Ref<RPOUTAEvent>>(&item.jsonEvents)) {
        if (!*event) return std::nullopt;
        // An event without a JSON text cannot be delivered.
        if ((*event)->reportText() == "{}") return std::nullopt;
        return std::vector<std::string>{*(*event)->content};
    }
    if (const auto* batch = std::get_if<std::vector<RPOUTAStoreEvent>>(&item.jsonEvents)) {
        std::vector<std::string> texts;
        texts.reserve(batch->size());
        for (const auto& row : *batch) texts.push_back(row.content);
        return texts;
    }
    return std::nullopt;
}

void RPOUTASocket::sendData() {
    while (!isSending_) {
        Ref<RPOUTASendItem> item;
        {
            std::lock_guard callbackLock(callbackLock_);
            // A unit whose connection dropped before it was written is
            // still in flight: it goes first.
            if (!sendingItem_) {
                std::lock_guard lock(queueLock_);
                sendingItem_ = sendItemQueue_.dequeue();
            }
            item = sendingItem_;
        }
        if (!item) return;
        isSending_ = true;
        auto texts = eventTexts(*item);
        if (!texts) {
            isSending_ = false;
            handleSendError();
            continue;
        }
        if (texts->empty()) {
            // An empty batch: nothing to deliver, the next unit follows.
            isSending_ = false;
            setSendingItem(nullptr);
            complete(item, true);
            continue;
        }
        std::string json = "[";
        for (std::size_t i = 0; i < texts->size(); ++i) {
            if (i > 0) json += ",";
            json += (*texts)[i];
        }
        json += "]";
        UTALog("send events : %@", json);
        if (tcpRequest(NSData::fromString(json))) return;
    }
}

bool RPOUTASocket::tcpRequest(const NSData& json) {
    auto frame = getSendData(json);
    if (!frame) {
        handleSendError();
        return false;
    }
    if (utaSocket_->isConnected()) {
        if (hostHasSpokenOutOfTurn()) {
            // Those bytes would be read as this request's reply. The unit
            // fails when the connection drops; the next ones reconnect.
            UTALog("Unexpected data from the report host: no request was out");
            utaSocket_->disconnect();
            return true;
        }
        acknowledgedAtWriteLook_ = acknowledgedAtReadLook_ = acknowledgedBytes();
        utaSocket_->writeData(std::move(*frame), timeout_, kTag);
        utaSocket_->readDataToLength(4, timeout_, kTag);
    } else {
        // The unit stays in flight and is written once connected.
        isSending_ = false;
        startSocket();
    }
    return true;
}

bool RPOUTASocket::hostHasSpokenOutOfTurn() {
    // The channel reads exactly one reply's length, so nothing is ever left
    // in the socket's own buffers: whatever has arrived is on the descriptor.
    int waiting = 0;
    utaSocket_->performBlock([&] {
        const int fd = utaSocket_->socketFD();
        if (fd < 0 || ioctl(fd, FIONREAD, &waiting) != 0) waiting = 0;
    });
    return waiting > 0;
}

std::uint64_t RPOUTASocket::acknowledgedBytes() {
    tcp_info info{};
    socklen_t length = sizeof info;
    utaSocket_->performBlock([&] {
        const int fd = utaSocket_->socketFD();
        if (fd < 0 || getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0) length = 0;
    });
    return length >= offsetof(tcp_info, tcpi_bytes_acked) + sizeof info.tcpi_bytes_acked ? info.tcpi_bytes_acked : 0;
}

std::optional<NSData> RPOUTASocket::getSendData(const NSData& json) {
    NSData compressed;
    if (RPOUTAHelper::GZip(json, &compressed) != 0 || compressed.empty()) {
        UTALog("Failed to gzip data.");
        return std::nullopt;
    }
    NSData payload;
    appendBigEndian32(payload, static_cast<std::uint32_t>(json.length()));
    payload.append(compressed);
    RPOUTAHelper::ChiperRC4(payload);

    NSData frame;
    frame.append(kMagic.data(), kMagic.size());
    appendBigEndian32(frame, static_cast<std::uint32_t>(compressed.length() + 20));
    frame.append(kVersion.data(), kVersion.size());
    frame.append(kConfig.data(), kConfig.size());
    frame.append(payload);
    return frame;
}

void RPOUTASocket::startSocket() {
    if (isConnecting_) return;
    const std::string host = RPOUTAReportHost::host();
    Ref<NSError> error;
    // A host that never answers fails the attempt after the usual time-out.
    if (utaSocket_->connectToHost(host, RPOUTAReportHost::port(), timeout_, &error)) {
        isConnecting_ = true;
        return;
    }
    if (error && error->code() != RPOUTAQueueSocketBadConfigError) {
        UTALog("Unable to connect to due to invalid configuration: %@", error->description());
    }
    // No connection can be made: the waiting units fail now rather than
    // wait for a connection nothing would make.
    handleSendError();
    failWaitingItems();
}

void RPOUTASocket::socketDidConnectToHost(const Ref<RPOUTAQueueSocket>&, const std::string&, std::uint16_t) {
    isConnecting_ = false;
    sendData();
}

// ---- the reply, on "HttpDispatcher"

void RPOUTASocket::socketDidReadData(const Ref<RPOUTAQueueSocket>& sock, const NSData& data, std::int64_t) {
    if (readBuf_.length() + data.length() > kReadBufferCapacity) {
        UTALog("bad data");
        sock->disconnect();
        return;
    }
    readBuf_.append(data);
    if (!readHeaderComplete_) {
        if (!isEqualToMagic(readBuf_)) {
            sock->disconnect();
            return;
        }
        readHeaderComplete_ = true;
        sock->readDataToLength(12, timeout_, kTag);
        return;
    }
    if (!readComplete_) {
        if (readBuf_.length() < 16) {
            sock->disconnect();
            return;
        }
        const std::uint32_t total = readBigEndian32(readBuf_.bytes() + 4);
        if (total < 17) {
            sock->disconnect();
            return;
        }
        // The length comes from the host: a body that could not fit the
        // buffer is refused before anything is read or allocated for it.
        bodyLen_ = total - 16;
        if (bodyLen_ > kLargestReplyBody) {
            UTALog("bad data");
            sock->disconnect();
            return;
        }
        readComplete_ = true;
        sock->readDataToLength(bodyLen_, timeout_, kTag);
        return;
    }
    if (readBuf_.length() < 16 + bodyLen_) {
        sock->disconnect();
        return;
    }
    handleBodyResult(readBuf_.subdata(16, bodyLen_), readBuf_.subdata(12, 4));
}

bool RPOUTASocket::isEqualToMagic(const NSData& data) {
    return data.length() == kMagic.size() && std::memcmp(data.bytes(), kMagic.data(), kMagic.size()) == 0;
}

std::optional<NSData> RPOUTASocket::filterBodyData(const std::optional<NSData>& body, const NSData& configData) {
    if (!body) return std::nullopt;
    const std::uint8_t coding = configData.length() > 1 ? configData[1] : 0;
    NSData decoded = *body;
    if (coding == 2 || coding == 3) RPOUTAHelper::ChiperRC4(decoded);
    if (coding == 1 || coding == 3) {
        NSData inflated;
        if (RPOUTAHelper::GUnzip(decoded, &inflated, kLargestReplyText) != 0 || inflated.empty()) {
            UTALog("Failed to gzip data.");
            return std::nullopt;
        }
        decoded = std::move(inflated);
    }
    return decoded;
}

void RPOUTASocket::handleBodyResult(const NSData& body, const NSData& configData) {
    auto decoded = filterBodyData(body, configData);
    if (!decoded) {
        utaSocket_->disconnect();
        handleSendError();
        return;
    }
    Ref<NSError> error;
    Value answer = NSJSONSerialization::JSONObjectWithData(*decoded, &error);
    if (error) UTALog("Decode JSON error :%@", error->description());
    if (!answer.isDictionary()) {
        if (!error) UTALog("Not NSDictionary for decoded object:%@", answer.description());
        handleSendError();
    } else {
        const std::string ret = answer["ret"].stringValue().value_or("");
        if (RPOUTAConfig::getInstance()->debugEnable()) UTALog("resultJSON %@", answer.description());
        if (ret == "0") {
            Ref<RPOUTASendItem> acknowledged;
            std::function<void(const Value&)> onlineConfig;
            {
                std::lock_guard lock(callbackLock_);
                isSending_ = false;
                acknowledged = std::move(sendingItem_);
                sendingItem_ = nullptr;
                onlineConfig = onlineConfigHandler_;
            }
            complete(acknowledged, true);
            closeBuffer();
            if (onlineConfig) onlineConfig(answer);
        } else {
            handleSendError();
        }
    }
    if (hasWork()) sendData();
}

// ---- failures, on "HttpDispatcher"

void RPOUTASocket::handleSendError() {
    Ref<RPOUTASendItem> failed;
    {
        std::lock_guard lock(callbackLock_);
        failed = std::move(sendingItem_);
        sendingItem_ = nullptr;
        isSending_ = false;
        isConnecting_ = false;
    }
    complete(failed, false);
    closeBuffer();
}

void RPOUTASocket::failWaitingItems() {
    std::vector<Ref<RPOUTASendItem>> waiting;
    {
        std::lock_guard lock(queueLock_);
        while (!sendItemQueue_.empty()) waiting.push_back(sendItemQueue_.dequeue());
    }
    for (const auto& item : waiting) complete(item, false);
}

void RPOUTASocket::closeBuffer() {
    std::memset(readBuf_.mutableBytes(), 0, readBuf_.length());
    readBuf_.setLength(0);
    readComplete_ = false;
    readHeaderComplete_ = false;
    bodyLen_ = 0;
}

// A host that reads the request slowly is still taking it: the write's bytes
// may sit in the kernel long after the write ended, so progress is what the
// host acknowledged, not what was written. With none for a whole period, the
// connection is reset before the unit fails: a plain close would let the
// kernel go on delivering the queued rest of the frame, and a host that read
// on would accept a request told failed, which the store sends again. A unit
// sent from the callback finds the connection closed and reconnects.
std::optional<double> RPOUTASocket::timeOutUnlessTaking(std::uint64_t& lastLook, const char* message) {
    const std::uint64_t acknowledged = acknowledgedBytes();
    if (acknowledged > lastLook) {
        lastLook = acknowledged;
        return timeout_;
    }
    UTALog(message);
    utaSocket_->performBlock([&] {
        const linger reset{1, 0};
        const int fd = utaSocket_->socketFD();
        if (fd >= 0) setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    });
    utaSocket_->disconnect();
    handleSendError();
    return 0.0;
}

std::optional<double> RPOUTASocket::socketShouldTimeoutWriteWithTag(const Ref<RPOUTAQueueSocket>&, std::int64_t,
                                                                    double, std::uint64_t) {
    return timeOutUnlessTaking(acknowledgedAtWriteLook_, "writeDataError:");
}

std::optional<double> RPOUTASocket::socketShouldTimeoutReadWithTag(const Ref<RPOUTAQueueSocket>&, std::int64_t,
                                                                   double, std::uint64_t) {
    return timeOutUnlessTaking(acknowledgedAtReadLook_, "readDataError:");
}

void RPOUTASocket::socketDidDisconnect(const Ref<RPOUTAQueueSocket>&, const Ref<NSError>& error) {
    UTALog("DidDisconnect:withError: \"%@\"", error ? error->description() : std::string("(null)"));
    const bool neverConnected = isConnecting_;
    handleSendError();
    if (neverConnected) {
        // The host could not be reached: nothing waiting can go out now.
        failWaitingItems();
        return;
    }
    // A connection that dropped is made again for the units still waiting.
    kick();
}
