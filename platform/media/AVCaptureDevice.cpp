#include "media/AVCaptureDevice.h"

#include "foundation/DispatchQueue.h"
#include "media/AVError.h"
#include "media/SimulatedCamera.h"

Ref<AVCaptureDevice> AVCaptureDevice::defaultDeviceWithMediaType(const AVMediaType& mediaType) {
    if (mediaType != AVMediaTypeVideo || !SimulatedCamera::isPresent()) return nullptr;
    return make<AVCaptureDevice>(SimulatedCamera::capabilities());
}

AVAuthorizationStatus AVCaptureDevice::authorizationStatusForMediaType(const AVMediaType& mediaType) {
    if (mediaType != AVMediaTypeVideo) return AVAuthorizationStatus::Authorized;
    return SimulatedCamera::authorizationStatus();
}

void AVCaptureDevice::requestAccessForMediaType(const AVMediaType& mediaType, std::function<void(bool)> handler) {
    bool granted = mediaType != AVMediaTypeVideo || SimulatedCamera::requestAccess() == AVAuthorizationStatus::Authorized;
    DispatchQueue::global()->async([handler = std::move(handler), granted] {
        if (handler) handler(granted);
    });
}

bool AVCaptureDevice::isTorchModeSupported(AVCaptureTorchMode mode) const {
    return capabilities_.hasTorch || mode == AVCaptureTorchMode::Off;
}

bool AVCaptureDevice::isFocusModeSupported(AVCaptureFocusMode mode) const {
    return mode != AVCaptureFocusMode::ContinuousAutoFocus || capabilities_.continuousAutoFocusSupported;
}

bool AVCaptureDevice::lockForConfiguration(Ref<NSError>* error) {
    Ref<NSError> failure;
    if (!SimulatedCamera::isPresent())
        failure = AVErrorMake(AVErrorDeviceNotConnected, "The camera is not connected.");
    else if (SimulatedCamera::configurationLockFails())
        failure = AVErrorMake(AVErrorDeviceAlreadyUsedByAnotherSession, "The camera is in use by another app.");
    if (failure) {
        if (error) *error = failure;
        return false;
    }
    std::lock_guard lock(mutex_);
    locked_ = true;
    return true;
}

void AVCaptureDevice::unlockForConfiguration() {
    std::lock_guard lock(mutex_);
    locked_ = false;
}

AVCaptureTorchMode AVCaptureDevice::torchMode() const {
    std::lock_guard lock(mutex_);
    return torchMode_;
}

void AVCaptureDevice::setTorchMode(AVCaptureTorchMode mode) {
    std::lock_guard lock(mutex_);
    if (locked_ && isTorchModeSupported(mode)) torchMode_ = mode;
}

AVCaptureFocusMode AVCaptureDevice::focusMode() const {
    std::lock_guard lock(mutex_);
    return focusMode_;
}

void AVCaptureDevice::setFocusMode(AVCaptureFocusMode mode) {
    std::lock_guard lock(mutex_);
    if (locked_ && isFocusModeSupported(mode)) focusMode_ = mode;
}
