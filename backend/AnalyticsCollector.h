#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "backend/AnalyticsFrame.h"
#include "backend/AnalyticsFrameReaders.h"

namespace backend {

class CollectedEvents;
class DatabasePool;

// The stand-in for the analytics report host: a TCP listener on 127.0.0.1
// that reads the analytics library's request frames, stores their events
// (`CollectedEvents`) and answers each with a reply frame acknowledging it
// ("ret" 0), carrying the online-configuration records that are set.
//
// A frame that is not one (wrong magic, a length out of bounds, a body that
// does not decipher and inflate to exactly the length it claims, JSON that
// is not an array of objects) is refused by closing the connection, before
// anything is allocated for the length it claims; its JSON is read within
// bounds (nesting, values, events), counted as it is read, one event's
// tree at a time. A
// client gets 3 seconds for the rest of each frame once it began, 3
// seconds to take each reply, and may stay quiet 10 seconds between
// frames; 64 clients are served at
// once, and when all 64 places are taken the connection that has waited
// longest for its next frame (since its last reply went out, or since it
// was accepted) gives up its place to a new one. Their frames are read and stored by `kFrameReaders` threads in
// turn (`AnalyticsFrameReaders`), so that memory stays bounded however
// many send at once; a frame no reader takes up within 10 seconds is
// answered "ret" 1, as when storing fails.
//
// The events go to a database of the collector's own, so that storing
// them never waits for the back end's requests nor holds them up.
class AnalyticsCollector {
public:
    // What the collector does once it has stored a request's events.
    enum class Behaviour {
        Acknowledge,      // the reply with "ret" 0
        Refuse,           // a well-formed reply with "ret" 1
        AnswerGarbage,    // bytes that are not a reply frame
        CutConnection,    // closes the connection without a reply
        Silent,           // keeps the connection open and never answers
    };
    // How many frames are read and stored at once.
    static constexpr std::size_t kFrameReaders = 4;

    // Serves on `port` (0: any free port), storing into the database file
    // `databasePath` (empty: a private one, removed with the collector;
    // a file of an older version is brought up to date first); nothing
    // when the database cannot be used or the port bound, and then why in
    // `failure` when given.
    static std::unique_ptr<AnalyticsCollector> start(int port = 0, const std::string& databasePath = "",
                                                     std::string* failure = nullptr);
    // The collector's database file beside the back end's: "backend.db"
    // gives "backend-analytics.db"; empty (a private database) stays empty.
    static std::string databasePathBeside(const std::string& backendDatabasePath);
    ~AnalyticsCollector();
    AnalyticsCollector(const AnalyticsCollector&) = delete;
    AnalyticsCollector& operator=(const AnalyticsCollector&) = delete;

    // "127.0.0.1": the report host setting of the library, with `port()`.
    static constexpr const char* kHost = "127.0.0.1";
    int port() const { return port_; }
    // Stops listening, closes every connection and waits for them.
    void stop();

    long long storedEventCount();
    std::vector<std::string> storedEvents();
    // Request frames read whole and stored / refused as malformed.
    int acceptedFrames() const { return acceptedFrames_; }
    int refusedFrames() const { return refusedFrames_; }
    int connections() const { return connections_; }
    // Connections that hold a place and wait for their next frame.
    int waitingConnections();

    void setBehaviour(Behaviour behaviour) { behaviour_ = behaviour; }
    // How long a connection may stay quiet before a frame (10 seconds).
    void setIdleMilliseconds(long long milliseconds) { idleMilliseconds_ = milliseconds; }
    // How long a client has to send the rest of a frame once it began, and
    // to take a reply (3 seconds each): a frame begun and left unfinished
    // holds a place no longer, so clients that keep one begun cannot keep
    // every other one out.
    void setFrameMilliseconds(long long milliseconds) { frameMilliseconds_ = milliseconds; }
    // How reply bodies are coded (configuration byte 13); RC4 and gzip by default.
    void setReplyCoding(analytics_frame::Coding coding) { coding_ = coding; }
    // The record of `type` (1 the library's, 2 the application's) sent with
    // every acknowledgement: `content` (a JSON object's text), its version
    // and the MD5 of the content. False when the content is not a JSON object.
    bool setConfigRecord(int type, const std::string& content, unsigned version);
    void clearConfigRecords();

private:
    AnalyticsCollector() = default;
    bool listen(int port);
    void acceptLoop();
    void serve(int client);
    // What became of a request frame read whole.
    enum class Outcome { Stored, NotStored, Refused };
    Outcome store(std::string frame);
    // The reply's JSON text.
    std::string replyText(int ret);
    // The turn of a connection whose reply is about to go out: its wait for
    // the next frame is counted from the moment its client can see the
    // reply, so it is taken before the first byte is sent.
    long long nextWaitTurn();
    // The connection waits for its next frame since `turn` (and may give up
    // its place) / has begun one: false when it gave up its place.
    void waitsForAFrame(int client, long long turn);
    bool beginsAFrame(int client);
    bool wait(int fd, short events, long long deadlineMs);
    bool readExactly(int fd, std::string& into, std::size_t length, long long deadlineMs);
    bool writeAll(int fd, const std::string& bytes, long long deadlineMs);

    std::unique_ptr<DatabasePool> databases_;
    std::unique_ptr<CollectedEvents> events_;
    AnalyticsFrameReaders readers_{kFrameReaders};

    int listener_ = -1;
    int wakeRead_ = -1, wakeWrite_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptThread_;
    std::mutex clientsMutex_;
    // The connections holding a place: when each began to wait for its next
    // frame (accepted, or its last reply sent), as a turn counted up under
    // clientsMutex_ (a clock's ties would leave the longest wait to chance),
    // or kBusy while it reads a frame or answers one.
    static constexpr long long kBusy = -1;
    std::map<int, long long> clients_;
    long long waitTurns_ = 0;
    std::map<std::thread::id, std::thread> clientThreads_;
    // Threads of closed connections, joined at the next accept.
    std::vector<std::thread::id> finishedThreads_;

    std::atomic<Behaviour> behaviour_{Behaviour::Acknowledge};
    std::atomic<long long> idleMilliseconds_{10'000};
    std::atomic<long long> frameMilliseconds_{3'000};
    std::atomic<analytics_frame::Coding> coding_{analytics_frame::Coding::RC4AndGZip};
    std::mutex configMutex_;
    std::map<int, std::string> configRecords_;  // type -> the record's JSON text
    std::atomic<int> acceptedFrames_{0}, refusedFrames_{0}, connections_{0};
};

}  // namespace backend
