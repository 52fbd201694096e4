#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/CGGeometry.h"
#include "graphics/UIImage.h"
#include "media/AVCaptureDevice.h"
#include "media/AVMetadataObject.h"

class AVCaptureSession;

// The process's one camera, which tests and the runner set up: whether it
// exists, whether the app may use it, what it can do, and what it sees.
//
// Showing a picture reads the QR codes, EAN-13 and Code 128 bar codes in it
// and hands them, once, to every running session with a camera input (whose
// metadata outputs then report them on their delegates' queues). A scripted
// list of codes is handed on the same way without a picture. The last
// picture shown stays in view for still captures. Frames reach sessions only
// while access is authorised.
class SimulatedCamera {
public:
    // A code in a scripted report. Corners are in the metadata space (see
    // AVMetadataObject); without any, the code fills the middle half of the
    // frame. A type other than a code type gives a plain metadata object.
    struct Code {
        AVMetadataObjectType type;
        std::optional<std::string> stringValue;
        std::vector<CGPoint> corners;
    };

    // Present, authorised, with torch, flash and focus, nothing in view.
    static void reset();

    static bool isPresent();
    static void setPresent(bool present);
    static AVAuthorizationStatus authorizationStatus();
    static void setAuthorizationStatus(AVAuthorizationStatus status);
    // What the user answers when asked for access (granted unless set).
    static void setAccessAnswer(bool granted);
    static AVCaptureDevice::Capabilities capabilities();
    static void setCapabilities(AVCaptureDevice::Capabilities capabilities);
    static bool configurationLockFails();
    static void setConfigurationLockFails(bool fails);

    // Puts the picture in view and reports the codes in it; answers how
    // many codes it holds. A null picture clears the view.
    static std::size_t showImage(const Ref<UIImage>& picture);
    // The same for a PNG or JPEG file; nothing when it cannot be read.
    static std::optional<std::size_t> showImageFile(std::string_view path);
    // Reports the codes as if seen, leaving the picture in view as it is.
    static void showCodes(const std::vector<Code>& codes);
    // What a still captures: the picture in view, else a black frame.
    static Ref<UIImage> currentFrame();

    // A picture's codes as metadata objects.
    static std::vector<Ref<AVMetadataObject>> metadataObjectsInPicture(const Ref<UIImage>& picture);

    // Called by sessions as they start and stop.
    static void sessionStarted(const Ref<AVCaptureSession>& session);
    static void sessionStopped(const AVCaptureSession* session);

    // The camera's answer to an access request: asks the simulated user when
    // not determined, and keeps the answer.
    static AVAuthorizationStatus requestAccess();

private:
    static void report(const std::vector<Ref<AVMetadataObject>>& objects);
};
