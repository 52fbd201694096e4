#pragma once

#include <vector>

#include "foundation/NSObject.h"
#include "media/AVCaptureInputPort.h"

class AVCaptureOutput;

// The link a session makes between an input's ports and an output.
class AVCaptureConnection : public NSObject {
public:
    AVCaptureConnection(std::vector<Ref<AVCaptureInputPort>> inputPorts, WeakRef<AVCaptureOutput> output)
        : inputPorts_(std::move(inputPorts)), output_(std::move(output)) {}

    const std::vector<Ref<AVCaptureInputPort>>& inputPorts() const { return inputPorts_; }
    Ref<AVCaptureOutput> output() const { return output_.lock(); }

private:
    std::vector<Ref<AVCaptureInputPort>> inputPorts_;
    WeakRef<AVCaptureOutput> output_;
};
