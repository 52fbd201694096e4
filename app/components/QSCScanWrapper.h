#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "app/components/QSCScanResult.h"
#include "foundation/StoredBlock.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"
#include "media/AVCaptureDevice.h"
#include "media/AVCaptureDeviceInput.h"
#include "media/AVCaptureMetadataOutput.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureStillImageOutput.h"
#include "media/AVCaptureVideoPreviewLayer.h"
#include "uikit/UIView.h"

// One camera session that reads QR codes and bar codes, shows the camera's
// picture beneath the content of a preview view, and hands every
// recognition to a success closure. It also holds the scanner's work on
// still pictures: reading QR codes in a picture and drawing code images.
//
// The result gate (isNeedScanResult) decides whether metadata reports are
// processed: a single-mode recognition closes it and stops the session;
// startCapture() (on a stopped session) opens it again. In continuous mode
// every report with codes is delivered and the session keeps running.
class QSCScanWrapper : public NSObject, public AVCaptureMetadataOutputObjectsDelegate {
public:
    using SuccessBlock = StoredBlock<void(const std::vector<QSCScanResult>& results)>;

    // Builds and wires the session without starting it. A zero
    // rectOfInterest keeps the output's default (the whole picture).
    QSCScanWrapper(Ref<UIView> previewView, std::vector<AVMetadataObjectType> codeTypes, bool captureImage,
                   CGRect rectOfInterest, SuccessBlock success);
    ~QSCScanWrapper() override;
    static Ref<QSCScanWrapper> openScanSession(Ref<UIView> previewView, std::vector<AVMetadataObjectType> codeTypes,
                                               bool captureImage, CGRect rectOfInterest, SuccessBlock success);

    const Ref<AVCaptureDevice>& device() const { return device_; }
    const Ref<AVCaptureDeviceInput>& input() const { return input_; }
    const Ref<AVCaptureMetadataOutput>& output() const { return output_; }
    const Ref<AVCaptureSession>& session() const { return session_; }
    const Ref<AVCaptureVideoPreviewLayer>& previewLayer() const { return previewLayer_; }
    const Ref<AVCaptureStillImageOutput>& stillImageOutput() const { return stillImageOutput_; }
    const std::vector<QSCScanResult>& arrayResult() const { return arrayResult_; }
    bool isNeedCaptureImage() const { return isNeedCaptureImage_; }
    bool isNeedScanResult() const { return isNeedScanResult_; }
    bool supportContinuous() const { return supportContinuous_; }
    void setSupportContinuous(bool continuous) { supportContinuous_ = continuous; }

    // The metadata output's report: handed on to handleMetadataObjects.
    void captureOutput(const Ref<AVCaptureOutput>& output, const std::vector<Ref<AVMetadataObject>>& metadataObjects,
                       const Ref<AVCaptureConnection>& connection) override;

    // Opens the gate and starts the session, when it is not running.
    virtual void startCapture();
    // Closes the gate and stops the session, when it is running.
    virtual void stopCapture();
    virtual void handleMetadataObjects(const std::vector<Ref<AVMetadataObject>>& metadataObjects);
    // Takes a still and delivers the latest results with it. Without a video
    // connection no still can come: the gate opens again and scanning goes on.
    virtual void captureStillImage();
    // The first connection with an input port of the media type, or null.
    virtual Ref<AVCaptureConnection> videoConnection(const AVMediaType& mediaType,
                                                     const std::vector<Ref<AVCaptureConnection>>& connections);
    virtual void resetRectOfInterest(CGRect rect);
    virtual void setMetadataTypes(const std::vector<AVMetadataObjectType>& types);
    virtual bool hasFlashAndTorch();
    virtual void setTorchOn(bool on);
    virtual void toggleTorch();

    // --- Still pictures ---

    // The QR codes in the picture, in the detector's order; empty when the
    // picture has no bitmap or holds no QR code.
    static std::vector<QSCScanResult> decodeQRFromImage(const Ref<UIImage>& picture);
    // A code image of `size` from a Core Image generator (error correction
    // "H"), the code colour on the dark modules and the background colour
    // on the light ones; null when the generator is unknown or gives nothing,
    // and when `size` is empty or larger than an image may be (64
    // megapixels, 32767 a side: graphics' ImageLimits), which opens no
    // image context.
    static Ref<UIImage> makeCodeImage(std::string_view generatorName, std::string_view content, CGSize size,
                                      const UIColor& codeColor, const UIColor& backgroundColor);
    // A Code 128 bar code at 20 times the generator's size; null when the
    // content cannot be encoded.
    static Ref<UIImage> makeCode128Image(std::string_view content);
    // The code picture with the logo drawn in its centre at `logoSize`.
    static Ref<UIImage> overlayLogo(const Ref<UIImage>& code, const Ref<UIImage>& logo, CGSize logoSize);
    // The code's area in an upright captured picture, from four corners in
    // the capture's landscape space, each an {"X", "Y"} dictionary of
    // fractions; the zero rectangle when there are fewer than four or one is
    // of another form (the boxed points that live capture stores included)
    // or lacks a coordinate.
    static CGRect codeRectFromCorners(const Ref<UIImage>& captured, const QSCScanResult& result);
    // The area cut out of the picture and turned upright; null for an empty
    // area or a picture without a bitmap.
    static Ref<UIImage> cropCodeImageByCorners(const Ref<UIImage>& captured, CGRect rect);

protected:
    void didCreate() override;

private:
    void deliverStill(const CMSampleBufferRef& sample);
    // Hands the success block its own copy of the results: it may start
    // the next scan, which gathers new ones.
    void reportResults();

    Ref<UIView> previewView_;
    std::vector<AVMetadataObjectType> codeTypes_;
    CGRect initialRectOfInterest_;

    Ref<AVCaptureDevice> device_;
    Ref<AVCaptureDeviceInput> input_;
    Ref<AVCaptureMetadataOutput> output_;
    Ref<AVCaptureSession> session_;
    Ref<AVCaptureVideoPreviewLayer> previewLayer_;
    Ref<AVCaptureStillImageOutput> stillImageOutput_;
    std::vector<QSCScanResult> arrayResult_;
    SuccessBlock successBlock_;
    bool isNeedCaptureImage_;
    bool isNeedScanResult_ = true;
    bool supportContinuous_ = false;
};
