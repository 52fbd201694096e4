#include "media/AVCaptureOutput.h"

#include <algorithm>

std::vector<Ref<AVCaptureConnection>> AVCaptureOutput::connections() const {
    std::lock_guard lock(mutex_);
    return connections_;
}

Ref<AVCaptureConnection> AVCaptureOutput::connectionWithMediaType(const AVMediaType& mediaType) const {
    for (const auto& connection : connections())
        for (const auto& port : connection->inputPorts())
            if (port->mediaType() == mediaType) return connection;
    return nullptr;
}

Ref<AVCaptureSession> AVCaptureOutput::session() const {
    std::lock_guard lock(mutex_);
    return session_.lock();
}

bool AVCaptureOutput::hasConnection(const Ref<AVCaptureConnection>& connection) const {
    std::lock_guard lock(mutex_);
    return connection && std::find(connections_.begin(), connections_.end(), connection) != connections_.end();
}

bool AVCaptureOutput::attachTo(const Ref<AVCaptureSession>& session) {
    std::lock_guard lock(mutex_);
    if (attached_) return false;
    attached_ = true;
    session_ = session;
    return true;
}

void AVCaptureOutput::addConnection(Ref<AVCaptureConnection> connection) {
    std::lock_guard lock(mutex_);
    connections_.push_back(std::move(connection));
}
