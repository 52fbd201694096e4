#pragma once

#include <functional>
#include <mutex>

#include "foundation/NSError.h"
#include "foundation/NSObject.h"
#include "media/AVMediaFormat.h"

enum class AVAuthorizationStatus { NotDetermined, Restricted, Denied, Authorized };
enum class AVCaptureTorchMode { Off, On, Auto };
enum class AVCaptureFocusMode { Locked, AutoFocus, ContinuousAutoFocus };

// The back camera, as SimulatedCamera describes it. Its torch and focus
// settings change only between lockForConfiguration and
// unlockForConfiguration; changes outside a lock, or to modes the camera
// lacks, are ignored.
class AVCaptureDevice : public NSObject {
public:
    struct Capabilities {
        bool hasTorch = true;
        bool hasFlash = true;
        bool focusPointOfInterestSupported = true;
        bool continuousAutoFocusSupported = true;
    };

    explicit AVCaptureDevice(Capabilities capabilities) : capabilities_(capabilities) {}

    // The camera for video; nullptr for other media or when there is none.
    static Ref<AVCaptureDevice> defaultDeviceWithMediaType(const AVMediaType& mediaType);
    // Whether the app may use the camera (audio is always authorised).
    static AVAuthorizationStatus authorizationStatusForMediaType(const AVMediaType& mediaType);
    // Asks when not yet determined (the simulated user answers); the handler
    // gets whether access is authorised, on a global queue.
    static void requestAccessForMediaType(const AVMediaType& mediaType, std::function<void(bool)> handler);

    bool hasMediaType(const AVMediaType& mediaType) const { return mediaType == AVMediaTypeVideo; }
    bool hasTorch() const { return capabilities_.hasTorch; }
    bool hasFlash() const { return capabilities_.hasFlash; }
    bool isTorchModeSupported(AVCaptureTorchMode mode) const;
    bool isFocusModeSupported(AVCaptureFocusMode mode) const;
    bool isFocusPointOfInterestSupported() const { return capabilities_.focusPointOfInterestSupported; }

    // False with an error when the camera is gone or busy.
    bool lockForConfiguration(Ref<NSError>* error = nullptr);
    void unlockForConfiguration();

    AVCaptureTorchMode torchMode() const;
    void setTorchMode(AVCaptureTorchMode mode);
    AVCaptureFocusMode focusMode() const;
    void setFocusMode(AVCaptureFocusMode mode);

private:
    const Capabilities capabilities_;
    mutable std::mutex mutex_;
    bool locked_ = false;
    AVCaptureTorchMode torchMode_ = AVCaptureTorchMode::Off;
    AVCaptureFocusMode focusMode_ = AVCaptureFocusMode::AutoFocus;
};
