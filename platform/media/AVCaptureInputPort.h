#pragma once

#include "foundation/NSObject.h"
#include "media/AVMediaFormat.h"

// One stream of an input, by its media type.
class AVCaptureInputPort : public NSObject {
public:
    explicit AVCaptureInputPort(AVMediaType mediaType) : mediaType_(std::move(mediaType)) {}
    const AVMediaType& mediaType() const { return mediaType_; }

private:
    AVMediaType mediaType_;
};
