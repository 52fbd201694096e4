#pragma once

#include <string>

#include "media/AVCaptureSession.h"
#include "uikit/CALayer.h"

// How the picture fills the layer.
using AVLayerVideoGravity = std::string;
inline constexpr const char* AVLayerVideoGravityResizeAspect = "AVLayerVideoGravityResizeAspect";
inline constexpr const char* AVLayerVideoGravityResizeAspectFill = "AVLayerVideoGravityResizeAspectFill";
inline constexpr const char* AVLayerVideoGravityResize = "AVLayerVideoGravityResize";

// Shows what the camera sees while its session runs with a camera input:
// SimulatedCamera's current frame, placed by the video gravity and clipped
// to the layer's bounds. Otherwise it shows only its background.
class AVCaptureVideoPreviewLayer : public CALayer {
public:
    static Ref<AVCaptureVideoPreviewLayer> layerWithSession(const Ref<AVCaptureSession>& session);

    Ref<AVCaptureSession> session() const { return session_; }
    void setSession(const Ref<AVCaptureSession>& session) { session_ = session; }
    // Aspect-fit (AVLayerVideoGravityResizeAspect) by default.
    const AVLayerVideoGravity& videoGravity() const { return gravity_; }
    void setVideoGravity(AVLayerVideoGravity gravity) { gravity_ = std::move(gravity); }

protected:
    void drawInContext(const CGContextRef& context) override;

private:
    Ref<AVCaptureSession> session_;
    AVLayerVideoGravity gravity_ = AVLayerVideoGravityResizeAspect;
};
