#pragma once

#include <vector>

#include "media/AVCaptureConnection.h"
#include "media/AVMetadataObject.h"

class AVCaptureOutput;

// Receives the metadata objects of each frame that holds any, on the queue
// given with the delegate.
class AVCaptureMetadataOutputObjectsDelegate {
public:
    virtual ~AVCaptureMetadataOutputObjectsDelegate() = default;
    virtual void captureOutput(const Ref<AVCaptureOutput>& output,
                               const std::vector<Ref<AVMetadataObject>>& metadataObjects,
                               const Ref<AVCaptureConnection>& connection) = 0;
};
