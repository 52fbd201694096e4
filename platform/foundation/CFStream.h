#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "foundation/NSRunLoop.h"
#include "foundation/Value.h"

enum class CFStreamStatus { NotOpen, Opening, Open, Reading, Writing, AtEnd, Closed, Error };

using CFStreamEventType = unsigned;
inline constexpr CFStreamEventType kCFStreamEventNone = 0;
inline constexpr CFStreamEventType kCFStreamEventOpenCompleted = 1;
inline constexpr CFStreamEventType kCFStreamEventHasBytesAvailable = 2;
inline constexpr CFStreamEventType kCFStreamEventCanAcceptBytes = 4;
inline constexpr CFStreamEventType kCFStreamEventErrorOccurred = 8;
inline constexpr CFStreamEventType kCFStreamEventEndEncountered = 16;

extern const char* const kCFStreamPropertyShouldCloseNativeSocket;
extern const char* const kCFStreamNetworkServiceType;
extern const char* const kCFStreamNetworkServiceTypeVoIP;

// One end of a stream pair made on a connected socket descriptor. The pair
// carries the descriptor's settings (its properties, such as the network
// service type), a client told of events on the run loops the stream is
// scheduled on, and an open/close status. It moves no bytes itself: whoever
// owns the descriptor reads and writes it directly, and the stream only ever
// reports the events its owner signals through `post` (an error or the end).
class CFStream : public NSObject {
public:
    using ClientCallback = std::function<void(CFStreamEventType, const Ref<NSError>&)>;

    explicit CFStream(int socketFD) : socketFD_(socketFD) {}
    ~CFStream() override;

    int socketFD() const { return socketFD_; }
    bool setProperty(const std::string& key, Value value);
    Value property(const std::string& key) const;
    // The events the client wants and the function told of them; an empty
    // function removes the client.
    bool setClient(CFStreamEventType events, ClientCallback callback);
    void scheduleWithRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode mode);
    void unscheduleFromRunLoop(const Ref<NSRunLoop>& runLoop, NSRunLoopMode mode);
    bool isScheduledOn(const Ref<NSRunLoop>& runLoop) const;
    bool open();
    // Closes the descriptor too when kCFStreamPropertyShouldCloseNativeSocket is set.
    void close();
    CFStreamStatus status() const;
    // Tells the client of `event` on every run loop the stream is scheduled
    // on, when the client asked for it.
    void post(CFStreamEventType event, Ref<NSError> error = nullptr);

private:
    mutable std::mutex mutex_;
    int socketFD_;
    CFStreamStatus status_ = CFStreamStatus::NotOpen;
    std::unordered_map<std::string, Value> properties_;
    CFStreamEventType events_ = kCFStreamEventNone;
    ClientCallback callback_;
    std::vector<WeakRef<NSRunLoop>> runLoops_;
};

class CFReadStream : public CFStream {
public:
    using CFStream::CFStream;
};
class CFWriteStream : public CFStream {
public:
    using CFStream::CFStream;
};

// Makes the read and write stream of a connected socket.
void CFStreamCreatePairWithSocket(int socketFD, Ref<CFReadStream>* readStream, Ref<CFWriteStream>* writeStream);
