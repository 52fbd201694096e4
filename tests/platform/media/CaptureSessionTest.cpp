#include <gtest/gtest.h>

#include <atomic>
#include <fstream>

#include "tests/support/TempSandbox.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "graphics/UIGraphics.h"
#include "media/AVCaptureMetadataOutput.h"
#include "media/AVCaptureSession.h"
#include "media/AVCaptureStillImageOutput.h"
#include "media/AVError.h"
#include "media/AVMetadataMachineReadableCodeObject.h"
#include "media/AVVideoSettings.h"
#include "media/CIContext.h"
#include "media/CIFilter.h"
#include "media/SimulatedCamera.h"
#include "tests/support/Eventually.h"

namespace {

// Keeps every report and where it arrived.
class Recorder : public AVCaptureMetadataOutputObjectsDelegate {
public:
    void captureOutput(const Ref<AVCaptureOutput>& output, const std::vector<Ref<AVMetadataObject>>& objects,
                       const Ref<AVCaptureConnection>& connection) override {
        std::lock_guard lock(mutex);
        reports.push_back(objects);
        onMainThread.push_back(NSThread::isMainThread());
        lastOutput = output;
        lastConnection = connection;
        count = reports.size();
    }
    std::mutex mutex;
    std::vector<std::vector<Ref<AVMetadataObject>>> reports;
    std::vector<bool> onMainThread;
    Ref<AVCaptureOutput> lastOutput;
    Ref<AVCaptureConnection> lastConnection;
    std::atomic<std::size_t> count = 0;
};

// Runs the main loop until blocks posted before now have run.
void drainMainQueue() {
    bool done = false;
    DispatchQueue::main()->async([&] { done = true; });
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return done; }, kGiveUpAfterSeconds));
}

struct Capture {
    Ref<AVCaptureDevice> device;
    Ref<AVCaptureDeviceInput> input;
    Ref<AVCaptureSession> session = make<AVCaptureSession>();
    Ref<AVCaptureMetadataOutput> metadata = make<AVCaptureMetadataOutput>();
    Ref<AVCaptureStillImageOutput> still = make<AVCaptureStillImageOutput>();
    Ref<Recorder> recorder = std::make_shared<Recorder>();
};

// A session wired as a scanner wires it: camera input, metadata and still
// outputs, the delegate on `queue`.
Capture scanner(std::vector<AVMetadataObjectType> types, Ref<DispatchQueue> queue = DispatchQueue::main()) {
    Capture capture;
    capture.device = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo);
    capture.input = AVCaptureDeviceInput::deviceInputWithDevice(capture.device);
    EXPECT_TRUE(capture.input);
    capture.session->addInput(capture.input);
    capture.session->addOutput(capture.metadata);
    capture.session->addOutput(capture.still);
    capture.metadata->setMetadataObjectsDelegate(capture.recorder, queue);
    capture.metadata->setMetadataObjectTypes(types);
    return capture;
}

Ref<UIImage> pictureWithQR(std::string_view text, CGRect where, CGSize size) {
    auto filter = CIFilter::filterWithName("CIQRCodeGenerator", {{"inputMessage", NSData::fromString(text)}});
    auto code = filter->outputImage();
    auto bitmap = CIContext::context()->createCGImage(code, code->extent());
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), UIColor::whiteColor());
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, size.width, size.height));
    CGContextSetInterpolationQuality(UIGraphicsGetCurrentContext(), kCGInterpolationNone);
    UIImage::imageWithCGImage(bitmap)->drawInRect(where);
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return picture;
}

class CaptureSessionTest : public testing::Test {
protected:
    void SetUp() override { SimulatedCamera::reset(); }
    void TearDown() override { SimulatedCamera::reset(); }
};

}  // namespace

TEST_F(CaptureSessionTest, ScriptedCodesReachTheDelegateOnTheMainQueueFilteredByType) {
    auto capture = scanner({AVMetadataObjectTypeQRCode, AVMetadataObjectTypeCode128Code});
    capture.session->startRunning();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "abc", {}},
                                {AVMetadataObjectTypeEAN13Code, "4006381333931", {}},
                                {AVMetadataObjectTypeCode128Code, std::nullopt, {}}});
    EXPECT_EQ(capture.recorder->count, 0u);  // delivered through the queue
    drainMainQueue();

    ASSERT_EQ(capture.recorder->reports.size(), 1u);
    EXPECT_TRUE(capture.recorder->onMainThread[0]);
    EXPECT_EQ(capture.recorder->lastOutput, capture.metadata);
    ASSERT_TRUE(capture.recorder->lastConnection);
    EXPECT_EQ(capture.recorder->lastConnection->inputPorts().at(0)->mediaType(), AVMediaTypeVideo);
    const auto& report = capture.recorder->reports[0];
    ASSERT_EQ(report.size(), 2u);
    auto first = cast<AVMetadataMachineReadableCodeObject>(report[0]);
    auto second = cast<AVMetadataMachineReadableCodeObject>(report[1]);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->type(), "org.iso.QRCode");
    EXPECT_EQ(first->stringValue(), "abc");
    EXPECT_EQ(first->corners().size(), 4u);
    EXPECT_EQ(first->bounds(), CGRectMake(0.25, 0.25, 0.5, 0.5));
    EXPECT_EQ(second->type(), "org.iso.Code128");
    EXPECT_FALSE(second->stringValue());

    // A report of nothing wanted is not delivered; other objects come as plain metadata.
    SimulatedCamera::showCodes({{AVMetadataObjectTypeEAN13Code, "4006381333931", {}}});
    capture.metadata->setMetadataObjectTypes({AVMetadataObjectTypeFace});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeFace, std::nullopt, {}}});
    drainMainQueue();
    ASSERT_EQ(capture.recorder->reports.size(), 2u);
    EXPECT_FALSE(cast<AVMetadataMachineReadableCodeObject>(capture.recorder->reports[1].at(0)));
}

TEST_F(CaptureSessionTest, APictureInViewIsReadAndItsCodeReportedInTheSensorSpace) {
    auto capture = scanner({AVMetadataObjectTypeQRCode});
    capture.session->startRunning();
    // Upright picture 300 x 400 with the code in its upper-left part.
    auto picture = pictureWithQR("https://example.com/a?b=1", CGRectMake(20, 40, 100, 100), CGSizeMake(300, 400));
    EXPECT_EQ(SimulatedCamera::showImage(picture), 1u);
    drainMainQueue();

    ASSERT_EQ(capture.recorder->reports.size(), 1u);
    auto code = cast<AVMetadataMachineReadableCodeObject>(capture.recorder->reports[0].at(0));
    ASSERT_TRUE(code);
    EXPECT_EQ(code->stringValue(), "https://example.com/a?b=1");
    // x runs down the picture, y from its right edge: the code's picture box
    // (x 20...120, y 40...140) lands at x 0.1...0.35, y 0.6...0.933.
    CGRect bounds = code->bounds();
    EXPECT_NEAR(CGRectGetMinX(bounds), (40 + 100.0 / 23) / 400, 0.02);
    EXPECT_NEAR(CGRectGetMaxX(bounds), (140 - 100.0 / 23) / 400, 0.02);
    EXPECT_NEAR(CGRectGetMinY(bounds), 1 - (120 - 100.0 / 23) / 300, 0.02);
    EXPECT_NEAR(CGRectGetMaxY(bounds), 1 - (20 + 100.0 / 23) / 300, 0.02);
    // The symbol's top-left corner sits at the picture's top-left: small x, large y.
    EXPECT_LT(code->corners()[0].x, 0.2);
    EXPECT_GT(code->corners()[0].y, 0.8);

    // Outside the rect of interest it is not reported.
    capture.metadata->setRectOfInterest(CGRectMake(0.5, 0, 0.5, 1));
    SimulatedCamera::showImage(picture);
    capture.metadata->setRectOfInterest(CGRectMake(0, 0.5, 0.5, 0.5));
    SimulatedCamera::showImage(picture);
    drainMainQueue();
    EXPECT_EQ(capture.recorder->reports.size(), 2u);
}

TEST_F(CaptureSessionTest, ImageFilesAreFedFromDisk) {
    TempSandbox sandbox;
    auto capture = scanner({AVMetadataObjectTypeQRCode});
    capture.session->startRunning();
    std::string path = sandbox.path() + "/code.png";
    auto png = UIImagePNGRepresentation(pictureWithQR("from a file", CGRectMake(10, 10, 120, 120), CGSizeMake(140, 140)));
    ASSERT_TRUE(png);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png->bytes()), std::streamsize(png->length()));

    EXPECT_EQ(SimulatedCamera::showImageFile(path), std::optional<std::size_t>(1));
    EXPECT_FALSE(SimulatedCamera::showImageFile(sandbox.path() + "/missing.png"));
    drainMainQueue();
    ASSERT_EQ(capture.recorder->reports.size(), 1u);
    EXPECT_EQ(cast<AVMetadataMachineReadableCodeObject>(capture.recorder->reports[0][0])->stringValue(), "from a file");
}

TEST_F(CaptureSessionTest, ADelegateOnASerialQueueHearsOnThatQueue) {
    auto capture = scanner({AVMetadataObjectTypeQRCode}, DispatchQueue::serial("scan.results"));
    capture.session->startRunning();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "one", {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "two", {}}});
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return capture.recorder->count == 2; }, kGiveUpAfterSeconds));
    std::lock_guard lock(capture.recorder->mutex);
    EXPECT_FALSE(capture.recorder->onMainThread[0]);
    EXPECT_EQ(cast<AVMetadataMachineReadableCodeObject>(capture.recorder->reports[1][0])->stringValue(), "two");
}

TEST_F(CaptureSessionTest, OnlyRunningAuthorisedSessionsWithACameraHearAnything) {
    auto capture = scanner({AVMetadataObjectTypeQRCode});
    auto empty = make<AVCaptureSession>();
    auto lonely = make<AVCaptureMetadataOutput>();
    empty->addOutput(lonely);
    EXPECT_TRUE(lonely->availableMetadataObjectTypes().empty());
    empty->startRunning();
    EXPECT_TRUE(empty->isRunning());  // an empty session runs, and gets nothing

    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "not running", {}}});
    capture.session->startRunning();
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Denied);
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "denied", {}}});
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Authorized);
    capture.session->stopRunning();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "stopped", {}}});
    capture.session->startRunning();
    capture.session->startRunning();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "running", {}}});
    drainMainQueue();
    ASSERT_EQ(capture.recorder->reports.size(), 1u);
    EXPECT_EQ(cast<AVMetadataMachineReadableCodeObject>(capture.recorder->reports[0][0])->stringValue(), "running");

    // A released delegate is not called.
    capture.recorder.reset();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "nobody", {}}});
    drainMainQueue();
}

TEST_F(CaptureSessionTest, SessionsTakeOneCameraInputAndOutputsJoinOneSession) {
    auto capture = scanner({AVMetadataObjectTypeQRCode, "org.example.unknown", AVMetadataObjectTypeEAN13Code});
    EXPECT_EQ(capture.metadata->metadataObjectTypes(),
              (std::vector<AVMetadataObjectType>{AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code}));
    EXPECT_EQ(capture.metadata->rectOfInterest(), CGRectMake(0, 0, 1, 1));
    EXPECT_FALSE(capture.session->canAddInput(AVCaptureDeviceInput::deviceInputWithDevice(capture.device)));
    EXPECT_FALSE(capture.session->canAddOutput(capture.metadata));
    auto other = make<AVCaptureSession>();
    EXPECT_FALSE(other->canAddOutput(capture.still));
    other->addOutput(capture.still);
    EXPECT_TRUE(other->outputs().empty());
    EXPECT_EQ(capture.session->outputs().size(), 2u);
    EXPECT_EQ(capture.session->sessionPreset(), AVCaptureSessionPresetHigh);

    // An output added before the input is connected when the input comes.
    auto late = make<AVCaptureSession>();
    auto still = make<AVCaptureStillImageOutput>();
    late->addOutput(still);
    EXPECT_FALSE(still->connectionWithMediaType(AVMediaTypeVideo));
    late->addInput(AVCaptureDeviceInput::deviceInputWithDevice(capture.device));
    EXPECT_TRUE(still->connectionWithMediaType(AVMediaTypeVideo));
    EXPECT_FALSE(still->connectionWithMediaType(AVMediaTypeAudio));
}

TEST_F(CaptureSessionTest, WithoutACameraOrAccessThereIsNoInput) {
    EXPECT_FALSE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeAudio));
    auto device = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo);
    ASSERT_TRUE(device);

    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Denied);
    Ref<NSError> error;
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(device, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), AVFoundationErrorDomain);
    EXPECT_EQ(error->code(), AVErrorApplicationIsNotAuthorizedToUseDevice);
    EXPECT_FALSE(error->localizedDescription().empty());

    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Authorized);
    SimulatedCamera::setPresent(false);
    EXPECT_FALSE(AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo));
    error.reset();
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(device, &error));
    EXPECT_EQ(error->code(), AVErrorDeviceNotConnected);
    EXPECT_FALSE(AVCaptureDeviceInput::deviceInputWithDevice(nullptr));
}

TEST_F(CaptureSessionTest, AccessRequestsAskTheSimulatedUserOnce) {
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::NotDetermined);
    SimulatedCamera::setAccessAnswer(false);
    std::atomic<int> answers = 0;
    std::atomic<bool> granted = true;
    AVCaptureDevice::requestAccessForMediaType(AVMediaTypeVideo, [&](bool ok) { granted = ok, ++answers; });
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return answers == 1; }, kGiveUpAfterSeconds));
    EXPECT_FALSE(granted);
    EXPECT_EQ(AVCaptureDevice::authorizationStatusForMediaType(AVMediaTypeVideo), AVAuthorizationStatus::Denied);
    // The answer stands; asking again does not change it.
    SimulatedCamera::setAccessAnswer(true);
    AVCaptureDevice::requestAccessForMediaType(AVMediaTypeVideo, [&](bool ok) { granted = ok, ++answers; });
    ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return answers == 2; }, kGiveUpAfterSeconds));
    EXPECT_FALSE(granted);
}

TEST_F(CaptureSessionTest, TorchAndFocusChangeOnlyUnderALock) {
    auto device = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo);
    EXPECT_TRUE(device->hasTorch() && device->hasFlash() && device->isFocusPointOfInterestSupported());
    device->setTorchMode(AVCaptureTorchMode::On);
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::Off);
    ASSERT_TRUE(device->lockForConfiguration());
    device->setTorchMode(AVCaptureTorchMode::On);
    device->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus);
    device->unlockForConfiguration();
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::On);
    EXPECT_EQ(device->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);

    SimulatedCamera::setConfigurationLockFails(true);
    Ref<NSError> error;
    EXPECT_FALSE(device->lockForConfiguration(&error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), AVFoundationErrorDomain);
    device->setTorchMode(AVCaptureTorchMode::Off);
    EXPECT_EQ(device->torchMode(), AVCaptureTorchMode::On);

    SimulatedCamera::reset();
    SimulatedCamera::setCapabilities({.hasTorch = false, .hasFlash = false, .focusPointOfInterestSupported = false,
                                      .continuousAutoFocusSupported = false});
    auto plain = AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo);
    EXPECT_FALSE(plain->hasTorch() || plain->isFocusModeSupported(AVCaptureFocusMode::ContinuousAutoFocus));
    ASSERT_TRUE(plain->lockForConfiguration());
    plain->setTorchMode(AVCaptureTorchMode::On);
    plain->setFocusMode(AVCaptureFocusMode::ContinuousAutoFocus);
    EXPECT_EQ(plain->torchMode(), AVCaptureTorchMode::Off);
    EXPECT_EQ(plain->focusMode(), AVCaptureFocusMode::AutoFocus);
}

TEST_F(CaptureSessionTest, StillsAreJPEGsOfThePictureInViewDeliveredOffTheMainThread) {
    auto capture = scanner({AVMetadataObjectTypeQRCode});
    auto connection = capture.still->connectionWithMediaType(AVMediaTypeVideo);
    ASSERT_TRUE(connection);
    EXPECT_EQ(capture.still->outputSettings()[AVVideoCodecKey].stringValue(), AVVideoCodecJPEG);

    struct Result {
        std::atomic<bool> done = false;
        CMSampleBufferRef sample;
        Ref<NSError> error;
        bool onMain = true;
    };
    auto take = [&](const Ref<AVCaptureConnection>& from) {
        auto result = std::make_shared<Result>();
        capture.still->captureStillImageAsynchronouslyFromConnection(from, [result](auto sample, auto error) {
            result->sample = sample, result->error = error, result->onMain = NSThread::isMainThread();
            result->done = true;
        });
        EXPECT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return result->done.load(); }, kGiveUpAfterSeconds));
        return result;
    };

    auto notRunning = take(connection);
    EXPECT_FALSE(notRunning->sample);
    EXPECT_EQ(notRunning->error->code(), AVErrorSessionNotRunning);

    capture.session->startRunning();
    auto dark = take(connection);
    ASSERT_TRUE(dark->sample);
    EXPECT_FALSE(dark->onMain);
    auto darkPicture = UIImage::imageWithData(*AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(dark->sample));
    ASSERT_TRUE(darkPicture);
    EXPECT_EQ(darkPicture->size(), CGSizeMake(480, 640));
    EXPECT_LT(darkPicture->CGImage()->pixelAt(10, 10).red, 10);

    SimulatedCamera::showImage(pictureWithQR("still", CGRectMake(0, 0, 50, 50), CGSizeMake(64, 48)));
    auto shot = take(connection);
    auto picture = UIImage::imageWithData(*AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(shot->sample));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), CGSizeMake(64, 48));

    auto foreign = take(make<AVCaptureConnection>(connection->inputPorts(), capture.metadata));
    EXPECT_FALSE(foreign->sample);
    EXPECT_TRUE(foreign->error);
    EXPECT_FALSE(AVCaptureStillImageOutput::jpegStillImageNSDataRepresentation(nullptr));
}
