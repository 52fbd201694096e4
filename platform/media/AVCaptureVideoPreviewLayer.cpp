#include "media/AVCaptureVideoPreviewLayer.h"

#include "graphics/UIGraphics.h"
#include "media/SimulatedCamera.h"
#include "uikit/UIImageView.h"

Ref<AVCaptureVideoPreviewLayer> AVCaptureVideoPreviewLayer::layerWithSession(const Ref<AVCaptureSession>& session) {
    auto layer = make<AVCaptureVideoPreviewLayer>();
    layer->setSession(session);
    return layer;
}

void AVCaptureVideoPreviewLayer::drawInContext(const CGContextRef& context) {
    if (!session_ || !session_->isRunning() || session_->inputs().empty()) return;
    auto frame = SimulatedCamera::currentFrame();
    if (!frame) return;
    UIViewContentMode mode = gravity_ == AVLayerVideoGravityResizeAspectFill ? UIViewContentMode::ScaleAspectFill
                             : gravity_ == AVLayerVideoGravityResize         ? UIViewContentMode::ScaleToFill
                                                                             : UIViewContentMode::ScaleAspectFit;
    CGContextSaveGState(context);
    CGContextClipToRect(context, bounds());
    UIGraphicsPushContext(context);
    frame->drawInRect(UIImageView::placeImage(frame->size(), bounds(), mode));
    UIGraphicsPopContext();
    CGContextRestoreGState(context);
}
