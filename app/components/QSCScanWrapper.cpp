#include "app/components/QSCScanWrapper.h"

#include <cmath>
#include <numbers>

#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "graphics/NSValue.h"
#include "graphics/UIGraphics.h"
#include "media/AVMetadataMachineReadableCodeObject.h"
#include "media/AVVideoSettings.h"
#include "media/CIColor.h"
#include "media/CIContext.h"
#include "media/CIDetector.h"
#include "media/CIFilter.h"
#include "media/CIQRCodeFeature.h"

QSCScanWrapper::QSCScanWrapper(Ref<UIView> previewView, std::vector<AVMetadataObjectType> codeTypes,
                               bool captureImage, CGRect rectOfInterest, SuccessBlock success)
    : previewView_(std::move(previewView)),
      codeTypes_(std::move(codeTypes)),
      initialRectOfInterest_(rectOfInterest),
      device_(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo)),
      output_(make<AVCaptureMetadataOutput>()),
      session_(make<AVCaptureSession>()),
      stillImageOutput_(make<AVCaptureStillImageOutput>()),
      successBlock_(std::move(success)),
      isNeedCaptureImage_(captureImage) {}

Ref<QSCScanWrapper> QSCScanWrapper::openScanSession(Ref<UIView> previewView,
                                                    std::vector<AVMetadataObjectType> codeTypes, bool captureImage,
                                                    CGRect rectOfInterest, SuccessBlock success) {
    return make<QSCScanWrapper>(std::move(previewView), std::move(codeTypes), captureImage, rectOfInterest,
                                std::move(success));
}

// The wiring needs the wrapper owned, since the output holds it as its delegate.
void QSCScanWrapper::didCreate() {
    Ref<UIView> previewView = std::move(previewView_);
    std::vector<AVMetadataObjectType> codeTypes = std::move(codeTypes_);
    if (!device_) return;

    Ref<NSError> error;
    input_ = AVCaptureDeviceInput::deviceInputWithDevice(device_, &error);
    if (!input_) {
        NSLog("AVCaptureDeviceInput(): " + (error ? error->localizedDescription() : std::string("(null)")));
        return;
    }
    if (session_->canAddInput(input_)) session_->addInput(input_);
    if (session_->canAddOutput(output_)) session_->addOutput(output_);
    if (session_->canAddOutput(stillImageOutput_)) session_->addOutput(stillImageOutput_);
    stillImageOutput_->setOutputSettings({{AVVideoCodecKey, AVVideoCodecJPEG}});
    session_->setSessionPreset(AVCaptureSessionPresetHigh);
    output_->setMetadataObjectsDelegate(self<QSCScanWrapper>(), DispatchQueue::main());
    output_->setMetadataObjectTypes(codeTypes);
    if (initialRectOfInterest_ != CGRectZero) output_->setRectOfInterest(initialRectOfInterest_);

    previewLayer_ = AVCaptureVideoPreviewLayer::layerWithSession(session_);
    previewLayer_->setVideoGravity(AVLayerVideoGravityResizeAspectFill);
    if (previewView) {
        CGRect frame = previewView->frame();
        previewLayer_->setFrame(CGRectMake(0, 0, frame.size.width, frame.size.height));
        previewView->layer()->insertSublayer(previewLayer_, 0);
    }

    if (device_->isFocusPointOfInterestSupported() &&
        device_->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus)) {
        const auto& camera = input_->device();
        Ref<NSError> lockError;
        if (camera->lockForConfiguration(&lockError)) {
            camera->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus);
            camera->unlockForConfiguration();
        } else {
            NSLog("device.lockForConfiguration(): " +
                  (lockError ? lockError->localizedDescription() : std::string("(null)")));
        }
    }
}

QSCScanWrapper::~QSCScanWrapper() {
    if (session_->isRunning()) session_->stopRunning();
}

void QSCScanWrapper::captureOutput(const Ref<AVCaptureOutput>&,
                                   const std::vector<Ref<AVMetadataObject>>& metadataObjects,
                                   const Ref<AVCaptureConnection>&) {
    handleMetadataObjects(metadataObjects);
}

void QSCScanWrapper::startCapture() {
    if (session_->isRunning()) return;
    isNeedScanResult_ = true;
    session_->startRunning();
}

void QSCScanWrapper::stopCapture() {
    if (!session_->isRunning()) return;
    isNeedScanResult_ = false;
    session_->stopRunning();
}

void QSCScanWrapper::handleMetadataObjects(const std::vector<Ref<AVMetadataObject>>& metadataObjects) {
    if (!isNeedScanResult_) return;
    isNeedScanResult_ = false;
    arrayResult_.clear();
    for (const auto& object : metadataObjects) {
        auto code = cast<AVMetadataMachineReadableCodeObject>(object);
        if (!code) continue;
        Array corners;
        for (CGPoint corner : code->corners()) corners.push_back(NSValue::valueWithCGPoint(corner));
        arrayResult_.push_back({code->stringValue(), make<UIImage>(nullptr, 1, UIImageOrientation::Up), code->type(),
                                std::move(corners)});
    }
    if (arrayResult_.empty() || supportContinuous_) isNeedScanResult_ = true;
    if (arrayResult_.empty()) return;
    if (supportContinuous_) {
        reportResults();
        return;
    }
    if (isNeedCaptureImage_) {
        captureStillImage();
        return;
    }
    if (session_->isRunning()) {
        isNeedScanResult_ = false;
        session_->stopRunning();
    }
    reportResults();
}

void QSCScanWrapper::captureStillImage() {
    auto connection = videoConnection(AVMediaTypeVideo, stillImageOutput_->connections());
    if (!connection) {
        // No still can come to deliver the codes: scanning goes on.
        isNeedScanResult_ = true;
        return;
    }
    // The still arrives on a global queue; the results, the gate and the
    // receiver (which works on screens) belong to the main queue.
    stillImageOutput_->captureStillImageAsynchronouslyFromConnection(
        connection, [me = self<QSCScanWrapper>()](const CMSampleBufferRef& sample, const Ref<NSError>&) {
            DispatchQueue::main()->async([me, sample] { me->deliverStill(sample); });
        });
}

void QSCScanWrapper::deliverStill(const CMSampleBufferRef& sample) {
    if (session_->isRunning()) {
        isNeedScanResult_ = false;
        session_->stopRunning();
    }
    if (sample) {
        if (auto jpeg = AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(sample))
            if (auto picture = UIImage::imageWithData(*jpeg))
                for (auto& result : arrayResult_) result.imgScanned = picture;
    }
    reportResults();
}

void QSCScanWrapper::reportResults() {
    if (!successBlock_) return;
    const std::vector<QSCScanResult> results = arrayResult_;
    successBlock_(results);
}

Ref<AVCaptureConnection> QSCScanWrapper::videoConnection(const AVMediaType& mediaType,
                                                         const std::vector<Ref<AVCaptureConnection>>& connections) {
    for (const auto& connection : connections) {
        if (!connection) continue;
        for (const auto& port : connection->inputPorts())
            if (port->mediaType() == mediaType) return connection;
    }
    return nullptr;
}

void QSCScanWrapper::resetRectOfInterest(CGRect rect) {
    stopCapture();
    output_->setRectOfInterest(rect);
    startCapture();
}

void QSCScanWrapper::setMetadataTypes(const std::vector<AVMetadataObjectType>& types) {
    output_->setMetadataObjectTypes(types);
}

bool QSCScanWrapper::hasFlashAndTorch() { return device_ && device_->hasFlash() && device_->hasTorch(); }

void QSCScanWrapper::setTorchOn(bool on) {
    if (!hasFlashAndTorch() || !input_) return;
    const auto& camera = input_->device();
    Ref<NSError> error;
    if (!camera->lockForConfiguration(&error)) {
        NSLog("device.lockForConfiguration(): " + (error ? error->localizedDescription() : std::string("(null)")));
        return;
    }
    camera->setTorchMode(on ? AVCaptureTorchMode::On : AVCaptureTorchMode::Off);
    camera->unlockForConfiguration();
}

void QSCScanWrapper::toggleTorch() {
    setTorchOn(input_ && input_->device()->torchMode() == AVCaptureTorchMode::Off);
}

// --- Still pictures ---

std::vector<QSCScanResult> QSCScanWrapper::decodeQRFromImage(const Ref<UIImage>& picture) {
    if (!picture || !picture->CGImage()) return {};
    Dictionary options{{CIDetectorAccuracy, CIDetectorAccuracyHigh}};
    auto detector = CIDetector::detectorOfType(CIDetectorTypeQRCode, nullptr, options);
    if (!detector) return {};
    std::vector<QSCScanResult> results;
    for (const auto& feature : detector->featuresInImage(CIImage::imageWithCGImage(picture->CGImage()), options)) {
        auto qrCode = cast<CIQRCodeFeature>(feature);
        if (!qrCode) continue;
        results.push_back({qrCode->messageString(), picture, std::string(AVMetadataObjectTypeQRCode), std::nullopt});
    }
    return results;
}

namespace {

// The filter's output rendered into a bitmap over its extent, or null.
Ref<CGImage> renderedOutput(const Ref<CIFilter>& filter) {
    Ref<CIImage> output = filter ? filter->outputImage() : nullptr;
    if (!output) return nullptr;
    return CIContext::context()->createCGImage(output, output->extent());
}

// The content as a filter's message; nil for text that is not valid UTF-8.
Value messageOf(std::string_view content) {
    auto data = NSString::dataUsingEncoding(content, NSUTF8StringEncoding);
    return data ? Value(std::move(*data)) : Value();
}

}  // namespace

Ref<UIImage> QSCScanWrapper::makeCodeImage(std::string_view generatorName, std::string_view content, CGSize size,
                                           const UIColor& codeColor, const UIColor& backgroundColor) {
    auto generator = CIFilter::filterWithName(generatorName);
    if (generator) {
        generator->setValue(messageOf(content), "inputMessage");
        generator->setValue("H", "inputCorrectionLevel");
    }
    auto falseColor = CIFilter::filterWithName(
        "CIFalseColor", {{"inputImage", generator ? generator->outputImage() : nullptr},
                         {"inputColor0", CIColor::colorWithCGColor(codeColor)},
                         {"inputColor1", CIColor::colorWithCGColor(backgroundColor)}});
    auto bitmap = renderedOutput(falseColor);
    if (!bitmap) return nullptr;

    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    auto context = UIGraphicsGetCurrentContext();
    if (!context) {
        UIGraphicsEndImageContext();
        return nullptr;
    }
    CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    CGContextScaleCTM(context, 1, -1);
    CGContextDrawImage(context, CGContextGetClipBoundingBox(context), bitmap);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

Ref<UIImage> QSCScanWrapper::makeCode128Image(std::string_view content) {
    auto generator = CIFilter::filterWithName("CICode128BarcodeGenerator");
    if (!generator) return nullptr;
    generator->setDefaults();
    generator->setValue(messageOf(content), "inputMessage");
    auto bitmap = renderedOutput(generator);
    if (!bitmap) return nullptr;
    auto barCode = UIImage::imageWithCGImage(bitmap, 1.0, UIImageOrientation::Up);
    CGSize size = barCode->size();

    constexpr CGFloat kEnlargement = 20;
    CGRect target = CGRectMake(0, 0, kEnlargement * size.width, kEnlargement * size.height);
    UIGraphicsBeginImageContext(target.size);
    if (auto context = UIGraphicsGetCurrentContext()) CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    barCode->drawInRect(target);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

Ref<UIImage> QSCScanWrapper::overlayLogo(const Ref<UIImage>& code, const Ref<UIImage>& logo, CGSize logoSize) {
    if (!code) return nullptr;
    CGSize size = code->size();
    UIGraphicsBeginImageContext(size);
    code->drawInRect(CGRectMake(0, 0, size.width, size.height));
    if (logo)
        logo->drawInRect(CGRectMake(size.width / 2 - logoSize.width / 2, size.height / 2 - logoSize.height / 2,
                                    logoSize.width, logoSize.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

CGRect QSCScanWrapper::codeRectFromCorners(const Ref<UIImage>& captured, const QSCScanResult& result) {
    if (!result.arrayCorner || result.arrayCorner->size() < 4) return CGRectZero;
    CGPoint corners[4];
    for (std::size_t index = 0; index < 4; ++index) {
        const Value& corner = (*result.arrayCorner)[index];
        if (!corner.isDictionary() || !corner["X"].isNumber() || !corner["Y"].isNumber()) return CGRectZero;
        // Kept as 32-bit floats.
        corners[index] = CGPointMake(corner["X"].floatValue(), corner["Y"].floatValue());
    }
    CGSize size = captured ? captured->size() : CGSizeZero;
    CGFloat minX = std::min(corners[3].x, corners[0].x);
    CGFloat maxX = std::max(corners[1].x, corners[2].x);
    CGFloat minY = std::min(corners[1].y, corners[0].y);
    CGFloat maxY = std::max(corners[3].y, corners[2].y);
    // Landscape corners on an upright picture: the height scales X, the width Y.
    return CGRectMake(minX * size.height, minY * size.width, (maxX - minX) * size.height,
                      (maxY - minY) * size.width);
}

Ref<UIImage> QSCScanWrapper::cropCodeImageByCorners(const Ref<UIImage>& captured, CGRect rect) {
    if (CGRectIsEmpty(rect) || !captured || !captured->CGImage()) return nullptr;
    auto crop = CGImageCreateWithImageInRect(captured->CGImage(), rect);
    if (!crop) return nullptr;
    CGSize size = UIImage::imageWithCGImage(crop)->size();
    CGFloat w = size.width, h = size.height;

    UIGraphicsBeginImageContext(CGSizeMake(h, w));
    auto context = UIGraphicsGetCurrentContext();
    if (!context) {
        UIGraphicsEndImageContext();
        return nullptr;
    }
    CGContextTranslateCTM(context, 0, w);
    CGContextScaleCTM(context, 1, -1);
    CGContextRotateCTM(context, 3 * std::numbers::pi / 2);
    CGContextTranslateCTM(context, -w, 0);
    CGContextScaleCTM(context, w / h, h / w);
    CGContextDrawImage(context, CGRectMake(0, 0, h, w), crop);
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
