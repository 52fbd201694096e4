#pragma once

#include <functional>
#include <optional>

#include "foundation/NSData.h"
#include "foundation/NSError.h"
#include "foundation/Value.h"
#include "media/AVCaptureOutput.h"
#include "media/CMSampleBuffer.h"

// Takes JPEG stills of what the camera shows (SimulatedCamera's picture, or
// a black frame when nothing is shown).
class AVCaptureStillImageOutput : public AVCaptureOutput {
public:
    using CompletionHandler = std::function<void(const CMSampleBufferRef& sample, const Ref<NSError>& error)>;

    // {AVVideoCodecKey: AVVideoCodecJPEG} by default; stills are JPEG whatever it says.
    Dictionary outputSettings() const;
    void setOutputSettings(Dictionary settings);

    // The handler runs on a global queue with the still, or with an error
    // when the connection is not this output's or the session is not running.
    void captureStillImageAsynchronouslyFromConnection(const Ref<AVCaptureConnection>& connection,
                                                       CompletionHandler handler);
    // The sample's JPEG bytes; nothing for a null sample.
    static std::optional<NSData> jpegStillImageNSDataRepresentation(const CMSampleBufferRef& sample);

private:
    mutable std::mutex mutex_;
    Dictionary settings_;
};
