#include "backend/AnalyticsCollector.h"

#include <algorithm>

#include <arpa/inet.h>
#include <fcntl.h>
#include <malloc.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>
#include <exception>
#include <filesystem>
#include <iostream>

#include <nlohmann/json.hpp>

#include "backend/CollectedEvents.h"
#include "backend/DatabaseProblem.h"
#include "backend/DatabasePool.h"
#include "backend/Digest.h"
#include "backend/HttpServer.h"

namespace backend {

namespace {

constexpr std::size_t kLargestClientCount = 64;
// Frames of this much JSON text or more give memory back to the system
// once read.
constexpr std::size_t kTrimAfterTextBytes = 1 << 20;
// How long a frame read whole may wait for a reader before it is answered
// "ret" 1.
constexpr long long kReaderWaitMilliseconds = 10'000;

long long nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

std::unique_ptr<AnalyticsCollector> AnalyticsCollector::start(int port, const std::string& databasePath,
                                                              std::string* failure) {
    const auto fail = [failure](std::string why) {
        if (failure) *failure = std::move(why);
        return nullptr;
    };
    if (!databasePath.empty()) {
        if (auto refused = CollectedEvents::prepareFile(databasePath)) return fail(*refused);
    }
    std::unique_ptr<AnalyticsCollector> collector(new AnalyticsCollector());
    const std::string what = "cannot open the analytics collector's database " + databasePath;
    try {
        collector->databases_ = DatabasePool::open(databasePath);
    } catch (const DatabaseError& error) {
        return fail(databasePath.empty() ? what : withDatabaseProblem(what, databasePath, &error));
    }
    try {
        collector->events_ = std::make_unique<CollectedEvents>(*collector->databases_);
    } catch (const std::exception& error) {
        return fail(databasePath + ": " + error.what());
    }
    if (!collector->listen(port)) return fail("cannot listen on " + std::string(kHost) + ":" + std::to_string(port));
    AnalyticsCollector* running = collector.get();
    collector->acceptThread_ = std::thread([running] { running->acceptLoop(); });
    return collector;
}

std::string AnalyticsCollector::databasePathBeside(const std::string& backendDatabasePath) {
    if (backendDatabasePath.empty()) return "";
    std::filesystem::path path(backendDatabasePath);
    return path.replace_filename(path.stem().string() + "-analytics" + path.extension().string()).string();
}

AnalyticsCollector::~AnalyticsCollector() {
    stop();
    for (int fd : {listener_, wakeRead_, wakeWrite_}) {
        if (fd >= 0) ::close(fd);
    }
}

bool AnalyticsCollector::listen(int port) {
    int wake[2];
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    wakeRead_ = wake[0];
    wakeWrite_ = wake[1];
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) return false;
    int yes = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    ::inet_pton(AF_INET, kHost, &address.sin_addr);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return false;
    if (::listen(listener_, 64) != 0) return false;
    socklen_t length = sizeof address;
    if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) return false;
    port_ = ntohs(address.sin_port);
    return true;
}

void AnalyticsCollector::stop() {
    if (stopping_.exchange(true)) return;
    if (wakeWrite_ >= 0) {
        const char byte = 1;
        [[maybe_unused]] auto written = ::write(wakeWrite_, &byte, 1);
    }
    readers_.close();
    if (acceptThread_.joinable()) acceptThread_.join();
    // The port is free again at once: connections to it are refused.
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
    std::map<std::thread::id, std::thread> threads;
    {
        std::lock_guard lock(clientsMutex_);
        for (const auto& [client, idleSince] : clients_) ::shutdown(client, SHUT_RDWR);
        threads.swap(clientThreads_);
    }
    for (auto& [id, thread] : threads) thread.join();
}

void AnalyticsCollector::acceptLoop() {
    while (!stopping_) {
        pollfd watch[2] = {{listener_, POLLIN, 0}, {wakeRead_, POLLIN, 0}};
        if (::poll(watch, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (watch[1].revents) return;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            // With no descriptor left the client waits in the queue, and the
            // listener is tried again shortly, not at once for ever.
            if (errno == EMFILE || errno == ENFILE) {
                pollfd wake{wakeRead_, POLLIN, 0};
                ::poll(&wake, 1, kAcceptAgainAfterMilliseconds);
            }
            continue;
        }
        int yes = 1;
        ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        std::lock_guard lock(clientsMutex_);
        for (const auto& id : finishedThreads_) {
            auto finished = clientThreads_.find(id);
            if (finished == clientThreads_.end()) continue;
            finished->second.join();
            clientThreads_.erase(finished);
        }
        finishedThreads_.clear();
        if (!stopping_ && clients_.size() >= kLargestClientCount) {
            // As a web server drops idle kept-alive connections: the one
            // that has waited longest for its next frame makes room (its
            // thread sees the shutdown and ends), so that a few clients
            // sending now and then cannot keep every other one out.
            auto longest = clients_.end();
            for (auto place = clients_.begin(); place != clients_.end(); ++place) {
                if (place->second != kBusy && (longest == clients_.end() || place->second < longest->second))
                    longest = place;
            }
            if (longest != clients_.end()) {
                ::shutdown(longest->first, SHUT_RDWR);
                clients_.erase(longest);
            }
        }
        if (stopping_ || clients_.size() >= kLargestClientCount) {
            ::close(client);
            continue;
        }
        ++connections_;
        clients_.emplace(client, ++waitTurns_);
        std::thread thread([this, client] { serve(client); });
        const auto id = thread.get_id();
        clientThreads_.emplace(id, std::move(thread));
    }
}

int AnalyticsCollector::waitingConnections() {
    std::lock_guard lock(clientsMutex_);
    return static_cast<int>(std::count_if(clients_.begin(), clients_.end(),
                                          [](const auto& place) { return place.second != kBusy; }));
}

long long AnalyticsCollector::nextWaitTurn() {
    std::lock_guard lock(clientsMutex_);
    return ++waitTurns_;
}

void AnalyticsCollector::waitsForAFrame(int client, long long turn) {
    std::lock_guard lock(clientsMutex_);
    if (auto place = clients_.find(client); place != clients_.end()) place->second = turn;
}

bool AnalyticsCollector::beginsAFrame(int client) {
    std::lock_guard lock(clientsMutex_);
    auto place = clients_.find(client);
    if (place == clients_.end()) return false;
    place->second = kBusy;
    return true;
}

bool AnalyticsCollector::wait(int fd, short events, long long deadlineMs) {
    while (!stopping_) {
        const long long left = deadlineMs - nowMs();
        if (left <= 0) return false;
        pollfd watch{fd, events, 0};
        // stop() shuts the socket down, which ends the wait at once.
        const int ready = ::poll(&watch, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (ready < 0 && errno != EINTR) return false;
        if (ready > 0) return true;
    }
    return false;
}

bool AnalyticsCollector::readExactly(int fd, std::string& into, std::size_t length, long long deadlineMs) {
    // Grows only as bytes actually arrive.
    char chunk[16384];
    while (length > 0) {
        if (!wait(fd, POLLIN, deadlineMs)) return false;
        const ssize_t got = ::recv(fd, chunk, std::min(length, sizeof chunk), 0);
        if (got == 0) return false;
        if (got < 0) {
            if (errno == EINTR || errno == EAGAIN) continue;
            return false;
        }
        into.append(chunk, static_cast<std::size_t>(got));
        length -= static_cast<std::size_t>(got);
    }
    return true;
}

bool AnalyticsCollector::writeAll(int fd, const std::string& bytes, long long deadlineMs) {
    // Never blocks in send: a client that reads nothing has its connection
    // closed at the deadline instead of holding the thread.
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t sent = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0) {
            if (errno == EINTR) continue;
            if ((errno != EAGAIN && errno != EWOULDBLOCK) || !wait(fd, POLLOUT, deadlineMs)) return false;
            continue;
        }
        done += static_cast<std::size_t>(sent);
    }
    return true;
}

AnalyticsCollector::Outcome AnalyticsCollector::store(std::string frame) {
    Outcome outcome = Outcome::NotStored;
    const auto read = [&] {
        std::size_t textLength = 0;
        try {
            auto text = analytics_frame::requestText(frame);
            std::string().swap(frame);
            const auto events = text ? analytics_frame::requestEvents(*text) : std::nullopt;
            textLength = text ? text->size() : 0;
            text.reset();
            if (!events) {
                outcome = Outcome::Refused;
                return;
            }
            events_->add(*events, std::time(nullptr));
            outcome = Outcome::Stored;
        } catch (const std::exception& error) {
            // Out of memory or storage: not stored, and the client may send
            // it again; said where the person running the back end sees it.
            std::cerr << "analytics collector: events not stored: " << error.what() << std::endl;
        }
        // The allocator keeps what a large frame freed unless asked.
        if (textLength >= kTrimAfterTextBytes) ::malloc_trim(0);
    };
    readers_.run(read, std::chrono::steady_clock::now() + std::chrono::milliseconds(kReaderWaitMilliseconds));
    return outcome;
}

void AnalyticsCollector::serve(int client) {
    for (;;) {
        // A kept-alive connection may stay quiet for a while before a
        // frame; once it starts, the rest of it must follow in time.
        std::string frame;
        if (!readExactly(client, frame, 1, nowMs() + idleMilliseconds_) || !beginsAFrame(client)) break;
        const long long deadline = nowMs() + frameMilliseconds_;
        if (!readExactly(client, frame, analytics_frame::kHeadLength - 1, deadline)) break;
        const auto total = analytics_frame::requestLength(frame);
        if (!total) {
            ++refusedFrames_;
            break;
        }
        if (!readExactly(client, frame, *total - analytics_frame::kHeadLength, deadline)) break;
        const Outcome outcome = store(std::move(frame));
        if (outcome == Outcome::Refused) {
            ++refusedFrames_;
            break;
        }
        if (stopping_) break;
        std::string reply;
        if (outcome == Outcome::NotStored) {
            reply = analytics_frame::replyFrame(replyText(1), coding_);
        } else {
            ++acceptedFrames_;
            const Behaviour behaviour = behaviour_;
            if (behaviour == Behaviour::CutConnection) break;
            if (behaviour == Behaviour::AnswerGarbage) reply = "HTTP/1.1 502 Bad Gateway\r\n\r\nnot a frame";
            else if (behaviour != Behaviour::Silent)
                reply = analytics_frame::replyFrame(replyText(behaviour == Behaviour::Refuse), coding_);
        }
        // The client waits from the moment it can see the reply: the turn is
        // taken before its first byte goes, so a client that connects once it
        // has seen it always counts as having waited less.
        const long long turn = nextWaitTurn();
        if (!writeAll(client, reply, nowMs() + frameMilliseconds_)) break;
        waitsForAFrame(client, turn);
    }
    std::lock_guard lock(clientsMutex_);
    clients_.erase(client);
    ::close(client);
    finishedThreads_.push_back(std::this_thread::get_id());
}

std::string AnalyticsCollector::replyText(int ret) {
    std::string text = "{\"ret\":" + std::to_string(ret);
    std::lock_guard lock(configMutex_);
    if (ret == 0 && !configRecords_.empty()) {
        text += ",\"cfg\":{";
        bool first = true;
        for (const auto& [type, record] : configRecords_) {
            if (!first) text += ",";
            text += "\"" + std::to_string(type) + "\":" + record;
            first = false;
        }
        text += "}";
    }
    return text + "}";
}

bool AnalyticsCollector::setConfigRecord(int type, const std::string& content, unsigned version) {
    nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(content, nullptr, false);
    if (parsed.is_discarded() || !parsed.is_object()) return false;
    nlohmann::ordered_json record{{"c", parsed}, {"v", version}, {"m", md5Hex(parsed.dump())}};
    std::lock_guard lock(configMutex_);
    configRecords_[type] = record.dump();
    return true;
}

void AnalyticsCollector::clearConfigRecords() {
    std::lock_guard lock(configMutex_);
    configRecords_.clear();
}

long long AnalyticsCollector::storedEventCount() { return events_->count(); }

std::vector<std::string> AnalyticsCollector::storedEvents() { return events_->texts(); }

}  // namespace backend
