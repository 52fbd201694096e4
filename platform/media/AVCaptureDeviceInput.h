#pragma once

#include <vector>

#include "foundation/NSError.h"
#include "media/AVCaptureDevice.h"
#include "media/AVCaptureInputPort.h"

// A camera as a session's source of frames, with one video port.
class AVCaptureDeviceInput : public NSObject {
public:
    explicit AVCaptureDeviceInput(Ref<AVCaptureDevice> device);

    // nullptr with an error when there is no device, the camera is gone, or
    // the app may not use it (denied or restricted).
    static Ref<AVCaptureDeviceInput> deviceInputWithDevice(const Ref<AVCaptureDevice>& device,
                                                           Ref<NSError>* error = nullptr);

    const Ref<AVCaptureDevice>& device() const { return device_; }
    const std::vector<Ref<AVCaptureInputPort>>& ports() const { return ports_; }

private:
    Ref<AVCaptureDevice> device_;
    std::vector<Ref<AVCaptureInputPort>> ports_;
};
