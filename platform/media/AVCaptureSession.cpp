#include "media/AVCaptureSession.h"

#include <algorithm>

#include "media/AVCaptureMetadataOutput.h"
#include "media/SimulatedCamera.h"

std::string AVCaptureSession::sessionPreset() const {
    std::lock_guard lock(mutex_);
    return preset_;
}

void AVCaptureSession::setSessionPreset(std::string preset) {
    std::lock_guard lock(mutex_);
    preset_ = std::move(preset);
}

std::vector<Ref<AVCaptureDeviceInput>> AVCaptureSession::inputs() const {
    std::lock_guard lock(mutex_);
    return inputs_;
}

std::vector<Ref<AVCaptureOutput>> AVCaptureSession::outputs() const {
    std::lock_guard lock(mutex_);
    return outputs_;
}

bool AVCaptureSession::canAddInput(const Ref<AVCaptureDeviceInput>& input) const {
    std::lock_guard lock(mutex_);
    return input && inputs_.empty();
}

void AVCaptureSession::addInput(const Ref<AVCaptureDeviceInput>& input) {
    if (!canAddInput(input)) return;
    std::vector<Ref<AVCaptureOutput>> outputs;
    {
        std::lock_guard lock(mutex_);
        inputs_.push_back(input);
        outputs = outputs_;
    }
    for (const auto& output : outputs) connect(input, output);
}

bool AVCaptureSession::canAddOutput(const Ref<AVCaptureOutput>& output) const {
    std::lock_guard lock(mutex_);
    return output && !output->session() &&
           std::find(outputs_.begin(), outputs_.end(), output) == outputs_.end();
}

void AVCaptureSession::addOutput(const Ref<AVCaptureOutput>& output) {
    if (!output || !output->attachTo(self<AVCaptureSession>())) return;
    std::vector<Ref<AVCaptureDeviceInput>> inputs;
    {
        std::lock_guard lock(mutex_);
        outputs_.push_back(output);
        inputs = inputs_;
    }
    for (const auto& input : inputs) connect(input, output);
}

void AVCaptureSession::connect(const Ref<AVCaptureDeviceInput>& input, const Ref<AVCaptureOutput>& output) {
    output->addConnection(make<AVCaptureConnection>(input->ports(), output));
}

void AVCaptureSession::startRunning() {
    {
        std::lock_guard lock(mutex_);
        if (running_) return;
        running_ = true;
    }
    SimulatedCamera::sessionStarted(self<AVCaptureSession>());
}

void AVCaptureSession::stopRunning() {
    {
        std::lock_guard lock(mutex_);
        if (!running_) return;
        running_ = false;
    }
    SimulatedCamera::sessionStopped(this);
}

bool AVCaptureSession::isRunning() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void AVCaptureSession::captureMetadataObjects(const std::vector<Ref<AVMetadataObject>>& objects) {
    std::vector<Ref<AVCaptureOutput>> outputs;
    {
        std::lock_guard lock(mutex_);
        if (!running_ || inputs_.empty()) return;
        outputs = outputs_;
    }
    for (const auto& output : outputs)
        if (auto metadata = cast<AVCaptureMetadataOutput>(output)) metadata->captureMetadataObjects(objects);
}
