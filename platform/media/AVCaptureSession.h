#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "foundation/NSObject.h"
#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureOutput.h"
#include "media/AVMetadataObject.h"

inline constexpr const char* AVCaptureSessionPresetHigh = "AVCaptureSessionPresetHigh";
inline constexpr const char* AVCaptureSessionPresetMedium = "AVCaptureSessionPresetMedium";
inline constexpr const char* AVCaptureSessionPresetLow = "AVCaptureSessionPresetLow";
inline constexpr const char* AVCaptureSessionPresetPhoto = "AVCaptureSessionPresetPhoto";

// Joins a camera input to outputs. Each output added while the session has
// an input (or before the input comes) gets one connection to the input's
// ports. While running, the session passes what SimulatedCamera shows to its
// outputs; a session without an input runs and receives nothing.
class AVCaptureSession : public NSObject {
public:
    std::string sessionPreset() const;
    void setSessionPreset(std::string preset);

    std::vector<Ref<AVCaptureDeviceInput>> inputs() const;
    std::vector<Ref<AVCaptureOutput>> outputs() const;
    // One camera input per session.
    bool canAddInput(const Ref<AVCaptureDeviceInput>& input) const;
    // Ignored when canAddInput is false.
    void addInput(const Ref<AVCaptureDeviceInput>& input);
    // An output joins one session only.
    bool canAddOutput(const Ref<AVCaptureOutput>& output) const;
    // Ignored when canAddOutput is false.
    void addOutput(const Ref<AVCaptureOutput>& output);

    void startRunning();
    void stopRunning();
    bool isRunning() const;

    // SimulatedCamera's entry: the objects recognised in the frame in view.
    void captureMetadataObjects(const std::vector<Ref<AVMetadataObject>>& objects);

private:
    void connect(const Ref<AVCaptureDeviceInput>& input, const Ref<AVCaptureOutput>& output);

    mutable std::mutex mutex_;
    std::string preset_ = AVCaptureSessionPresetHigh;
    std::vector<Ref<AVCaptureDeviceInput>> inputs_;
    std::vector<Ref<AVCaptureOutput>> outputs_;
    bool running_ = false;
};
