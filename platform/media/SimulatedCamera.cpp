#include "media/SimulatedCamera.h"

#include <algorithm>
#include <mutex>

#include "graphics/UIGraphics.h"
#include "media/AVCaptureSession.h"
#include "media/AVMetadataMachineReadableCodeObject.h"
#include "media/CodeReader.h"

namespace {

struct CameraState {
    bool present = true;
    AVAuthorizationStatus status = AVAuthorizationStatus::Authorized;
    bool accessAnswer = true;
    AVCaptureDevice::Capabilities capabilities;
    bool lockFails = false;
    Ref<UIImage> picture;
    std::vector<WeakRef<AVCaptureSession>> running;
};

std::mutex stateMutex;
CameraState state;

// One field of the camera's state, read or written under its lock.
template <class T> T readState(T CameraState::*field) {
    std::lock_guard lock(stateMutex);
    return state.*field;
}

template <class T> void writeState(T CameraState::*field, T value) {
    std::lock_guard lock(stateMutex);
    state.*field = std::move(value);
}

// A portrait frame, as the camera gives with nothing in view.
constexpr CGFloat kFrameWidth = 480, kFrameHeight = 640;

const char* metadataTypeOf(CodeReader::Symbology symbology) {
    switch (symbology) {
        case CodeReader::Symbology::QRCode: return AVMetadataObjectTypeQRCode;
        case CodeReader::Symbology::EAN13: return AVMetadataObjectTypeEAN13Code;
        case CodeReader::Symbology::Code128: return AVMetadataObjectTypeCode128Code;
    }
    return AVMetadataObjectTypeQRCode;
}

bool isCodeType(const AVMetadataObjectType& type) {
    return type == AVMetadataObjectTypeQRCode || type == AVMetadataObjectTypeEAN13Code ||
           type == AVMetadataObjectTypeCode128Code;
}

}  // namespace

void SimulatedCamera::reset() {
    std::lock_guard lock(stateMutex);
    auto running = std::move(state.running);
    state = CameraState{};
    state.running = std::move(running);
}

bool SimulatedCamera::isPresent() { return readState(&CameraState::present); }

void SimulatedCamera::setPresent(bool present) { writeState(&CameraState::present, present); }

AVAuthorizationStatus SimulatedCamera::authorizationStatus() { return readState(&CameraState::status); }

void SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus status) { writeState(&CameraState::status, status); }

void SimulatedCamera::setAccessAnswer(bool granted) { writeState(&CameraState::accessAnswer, granted); }

AVAuthorizationStatus SimulatedCamera::requestAccess() {
    std::lock_guard lock(stateMutex);
    if (state.status == AVAuthorizationStatus::NotDetermined)
        state.status = state.accessAnswer ? AVAuthorizationStatus::Authorized : AVAuthorizationStatus::Denied;
    return state.status;
}

AVCaptureDevice::Capabilities SimulatedCamera::capabilities() { return readState(&CameraState::capabilities); }

void SimulatedCamera::setCapabilities(AVCaptureDevice::Capabilities capabilities) {
    writeState(&CameraState::capabilities, capabilities);
}

bool SimulatedCamera::configurationLockFails() { return readState(&CameraState::lockFails); }

void SimulatedCamera::setConfigurationLockFails(bool fails) { writeState(&CameraState::lockFails, fails); }

std::vector<Ref<AVMetadataObject>> SimulatedCamera::metadataObjectsInPicture(const Ref<UIImage>& picture) {
    if (!picture || !picture->CGImage()) return {};
    const auto& bitmap = picture->CGImage();
    auto width = double(bitmap->width()), height = double(bitmap->height());
    auto grey = CodeReader::greyPictureFromRGBA(bitmap->width(), bitmap->height(), bitmap->rgbaPixels());
    std::vector<Ref<AVMetadataObject>> objects;
    for (const auto& code : CodeReader::codesInPicture(
             grey, {CodeReader::Symbology::QRCode, CodeReader::Symbology::EAN13, CodeReader::Symbology::Code128})) {
        // The sensor lies in landscape under the upright picture.
        std::vector<CGPoint> corners;
        for (auto point : code.corners) corners.push_back(CGPointMake(point.y / height, 1 - point.x / width));
        objects.push_back(make<AVMetadataMachineReadableCodeObject>(metadataTypeOf(code.symbology), code.text,
                                                                    std::move(corners)));
    }
    return objects;
}

std::size_t SimulatedCamera::showImage(const Ref<UIImage>& picture) {
    {
        std::lock_guard lock(stateMutex);
        state.picture = picture;
    }
    auto objects = metadataObjectsInPicture(picture);
    report(objects);
    return objects.size();
}

std::optional<std::size_t> SimulatedCamera::showImageFile(std::string_view path) {
    auto picture = UIImage::imageWithContentsOfFile(path);
    if (!picture) return std::nullopt;
    return showImage(picture);
}

void SimulatedCamera::showCodes(const std::vector<Code>& codes) {
    static const std::vector<CGPoint> middle = {{0.25, 0.75}, {0.75, 0.75}, {0.75, 0.25}, {0.25, 0.25}};
    std::vector<Ref<AVMetadataObject>> objects;
    for (const auto& code : codes) {
        const auto& corners = code.corners.empty() ? middle : code.corners;
        auto object = make<AVMetadataMachineReadableCodeObject>(code.type, code.stringValue, corners);
        if (isCodeType(code.type)) objects.push_back(object);
        else objects.push_back(make<AVMetadataObject>(code.type, object->bounds()));
    }
    report(objects);
}

Ref<UIImage> SimulatedCamera::currentFrame() {
    {
        std::lock_guard lock(stateMutex);
        if (state.picture) return state.picture;
    }
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(kFrameWidth, kFrameHeight), true, 1);
    auto frame = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return frame;
}

void SimulatedCamera::sessionStarted(const Ref<AVCaptureSession>& session) {
    std::lock_guard lock(stateMutex);
    state.running.push_back(session);
}

void SimulatedCamera::sessionStopped(const AVCaptureSession* session) {
    std::lock_guard lock(stateMutex);
    std::erase_if(state.running, [session](const WeakRef<AVCaptureSession>& entry) {
        auto held = entry.lock();
        return !held || held.get() == session;
    });
}

void SimulatedCamera::report(const std::vector<Ref<AVMetadataObject>>& objects) {
    std::vector<Ref<AVCaptureSession>> sessions;
    {
        std::lock_guard lock(stateMutex);
        if (!state.present || state.status != AVAuthorizationStatus::Authorized) return;
        for (const auto& entry : state.running)
            if (auto session = entry.lock()) sessions.push_back(session);
    }
    for (const auto& session : sessions) session->captureMetadataObjects(objects);
}
