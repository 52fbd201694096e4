#include "media/AVCaptureDeviceInput.h"

#include "media/AVError.h"
#include "media/SimulatedCamera.h"

AVCaptureDeviceInput::AVCaptureDeviceInput(Ref<AVCaptureDevice> device)
    : device_(std::move(device)), ports_{make<AVCaptureInputPort>(AVMediaTypeVideo)} {}

Ref<AVCaptureDeviceInput> AVCaptureDeviceInput::deviceInputWithDevice(const Ref<AVCaptureDevice>& device,
                                                                      Ref<NSError>* error) {
    Ref<NSError> failure;
    if (!device || !SimulatedCamera::isPresent()) {
        failure = AVErrorMake(AVErrorDeviceNotConnected, "Cannot Open Camera");
    } else {
        auto status = SimulatedCamera::authorizationStatus();
        if (status == AVAuthorizationStatus::Denied || status == AVAuthorizationStatus::Restricted)
            failure = AVErrorMake(AVErrorApplicationIsNotAuthorizedToUseDevice, "Cannot use Back Camera");
    }
    if (failure) {
        if (error) *error = failure;
        return nullptr;
    }
    return make<AVCaptureDeviceInput>(device);
}
