#pragma once

#include <mutex>
#include <vector>

#include "foundation/NSObject.h"
#include "media/AVCaptureConnection.h"
#include "media/AVMediaFormat.h"

class AVCaptureSession;

// Where a session sends what its input captures. An output belongs to at
// most one session, which gives it a connection once the session has an
// input.
class AVCaptureOutput : public NSObject {
public:
    std::vector<Ref<AVCaptureConnection>> connections() const;
    // The first connection with a port of that media type, or nullptr.
    Ref<AVCaptureConnection> connectionWithMediaType(const AVMediaType& mediaType) const;
    // The session the output was added to, while it exists.
    Ref<AVCaptureSession> session() const;
    bool hasConnection(const Ref<AVCaptureConnection>& connection) const;

private:
    friend class AVCaptureSession;
    // Claims the output for a session; false when another one has it.
    bool attachTo(const Ref<AVCaptureSession>& session);
    void addConnection(Ref<AVCaptureConnection> connection);

    mutable std::mutex mutex_;
    WeakRef<AVCaptureSession> session_;
    bool attached_ = false;
    std::vector<Ref<AVCaptureConnection>> connections_;
};
