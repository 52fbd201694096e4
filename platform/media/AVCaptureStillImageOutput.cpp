#include "media/AVCaptureStillImageOutput.h"

#include "foundation/DispatchQueue.h"
#include "graphics/UIImage.h"
#include "media/AVCaptureSession.h"
#include "media/AVError.h"
#include "media/AVVideoSettings.h"
#include "media/SimulatedCamera.h"

namespace {
constexpr double kJPEGQuality = 0.9;
}  // namespace

Dictionary AVCaptureStillImageOutput::outputSettings() const {
    std::lock_guard lock(mutex_);
    return settings_.empty() ? Dictionary{{AVVideoCodecKey, AVVideoCodecJPEG}} : settings_;
}

void AVCaptureStillImageOutput::setOutputSettings(Dictionary settings) {
    std::lock_guard lock(mutex_);
    settings_ = std::move(settings);
}

void AVCaptureStillImageOutput::captureStillImageAsynchronouslyFromConnection(
    const Ref<AVCaptureConnection>& connection, CompletionHandler handler) {
    Ref<NSError> error;
    auto session = this->session();
    if (!hasConnection(connection)) error = AVErrorMake(AVErrorUnknown, "The connection is not this output's.");
    else if (!session || !session->isRunning()) error = AVErrorMake(AVErrorSessionNotRunning, "Cannot Record");
    CMSampleBufferRef sample;
    if (!error) {
        auto jpeg = UIImageJPEGRepresentation(SimulatedCamera::currentFrame(), kJPEGQuality);
        if (jpeg) sample = make<CMSampleBuffer>(std::move(*jpeg));
        else error = AVErrorMake(AVErrorUnknown, "The still could not be encoded.");
    }
    DispatchQueue::global()->async([handler = std::move(handler), sample, error] {
        if (handler) handler(sample, error);
    });
}

std::optional<NSData> AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(const CMSampleBufferRef& sample) {
    if (!sample) return std::nullopt;
    return sample->jpeg();
}
