#include <gtest/gtest.h>

#include "app/components/QSCScanWrapper.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "graphics/NSValue.h"
#include "media/AVVideoSettings.h"
#include "media/SimulatedCamera.h"
#include "tests/app/components/ScanPictures.h"
#include "tests/support/AppFixture.h"

namespace {

const std::vector<AVMetadataObjectType> kCodeTypes = {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code,
                                                      AVMetadataObjectTypeCode128Code};

class QSCScanWrapperTest : public AppFixture {
protected:
    QSCScanWrapperTest() { SimulatedCamera::reset(); }
    ~QSCScanWrapperTest() override { SimulatedCamera::reset(); }

    Ref<QSCScanWrapper> open(bool captureImage = false, CGRect rectOfInterest = CGRectZero,
                             std::vector<AVMetadataObjectType> types = kCodeTypes) {
        return QSCScanWrapper::openScanSession(previewView, std::move(types), captureImage, rectOfInterest,
                                               [this](const std::vector<QSCScanResult>& results) {
                                                   deliveries.push_back(results);
                                               });
    }

    // Runs the main queue until the blocks posted so far have run.
    static void drain() {
        bool done = false;
        DispatchQueue::main()->async([&] { done = true; });
        ASSERT_TRUE(runUntil([&] { return done; }));
    }

    Ref<UIView> previewView = make<UIView>(CGRectMake(50, 100, 300, 400));
    std::vector<std::vector<QSCScanResult>> deliveries;
};

// Replaces the still capture's connection lookup by "none".
class WrapperWithoutVideoConnection : public QSCScanWrapper {
public:
    using QSCScanWrapper::QSCScanWrapper;
    Ref<AVCaptureConnection> videoConnection(const AVMediaType&, const std::vector<Ref<AVCaptureConnection>>&) override {
        return nullptr;
    }
};

}  // namespace

TEST_F(QSCScanWrapperTest, ConstructionWiresTheSessionBeneathThePreviewWithoutStartingIt) {
    previewView->addSubview(make<UIView>(CGRectMake(0, 0, 10, 10)));
    auto wrapper = open(false, CGRectMake(0.1, 0.2, 0.5, 0.6));

    EXPECT_FALSE(wrapper->session()->isRunning());
    EXPECT_TRUE(wrapper->isNeedScanResult());
    EXPECT_FALSE(wrapper->supportContinuous());
    ASSERT_TRUE(wrapper->input());
    EXPECT_EQ(wrapper->session()->inputs().size(), 1u);
    EXPECT_EQ(wrapper->session()->outputs().size(), 2u);
    EXPECT_EQ(wrapper->session()->sessionPreset(), AVCaptureSessionPresetHigh);
    EXPECT_EQ(wrapper->output()->metadataObjectTypes(), kCodeTypes);
    EXPECT_EQ(wrapper->output()->rectOfInterest(), CGRectMake(0.1, 0.2, 0.5, 0.6));
    EXPECT_EQ(wrapper->output()->metadataObjectsDelegate().get(),
              static_cast<AVCaptureMetadataOutputObjectsDelegate*>(wrapper.get()));
    EXPECT_EQ(wrapper->output()->metadataObjectsCallbackQueue(), DispatchQueue::main());
    EXPECT_EQ(wrapper->stillImageOutput()->outputSettings()[AVVideoCodecKey].stringValue(), "jpeg");
    EXPECT_EQ(wrapper->device()->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);

    // The camera's picture lies beneath the preview view's content, sized to it.
    const auto& layer = wrapper->previewLayer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->frame(), CGRectMake(0, 0, 300, 400));
    EXPECT_EQ(layer->videoGravity(), AVLayerVideoGravityResizeAspectFill);
    EXPECT_EQ(layer->session(), wrapper->session());
    ASSERT_EQ(previewView->layer()->sublayers().size(), 2u);
    EXPECT_EQ(previewView->layer()->sublayers().front(), layer);

    // The zero rectangle keeps the whole picture.
    EXPECT_EQ(open()->output()->rectOfInterest(), CGRectMake(0, 0, 1, 1));
}

TEST_F(QSCScanWrapperTest, WithoutACameraOrItsUseTheWrapperNeverReports) {
    SimulatedCamera::setPresent(false);
    auto noCamera = open();
    EXPECT_FALSE(noCamera->device());
    EXPECT_FALSE(noCamera->input());
    EXPECT_FALSE(noCamera->previewLayer());
    EXPECT_TRUE(noCamera->session()->outputs().empty());
    noCamera->startCapture();
    EXPECT_TRUE(noCamera->session()->isRunning());  // an empty session

    SimulatedCamera::setPresent(true);
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Denied);
    NSLogCapture log;
    auto denied = open();
    EXPECT_TRUE(denied->device());
    EXPECT_FALSE(denied->input());
    EXPECT_FALSE(denied->previewLayer());
    EXPECT_TRUE(denied->session()->outputs().empty());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("AVCaptureDeviceInput(): ")) << log.lines()[0];
    EXPECT_GT(log.lines()[0].size(), std::string("AVCaptureDeviceInput(): ").size());
    denied->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "abc", {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());
}

TEST_F(QSCScanWrapperTest, AFailedFocusLockIsLoggedAndChangesNothing) {
    SimulatedCamera::setConfigurationLockFails(true);
    NSLogCapture log;
    auto wrapper = open();
    EXPECT_NE(wrapper->device()->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("device.lockForConfiguration(): "));
    EXPECT_TRUE(wrapper->previewLayer());

    // A camera without a focus point keeps its focus without trying.
    SimulatedCamera::setConfigurationLockFails(false);
    SimulatedCamera::setCapabilities({.focusPointOfInterestSupported = false});
    EXPECT_NE(open()->device()->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);
}

TEST_F(QSCScanWrapperTest, ASingleRecognitionStopsTheSessionClosesTheGateAndDeliversOnce) {
    auto wrapper = open();
    wrapper->startCapture();
    ASSERT_TRUE(wrapper->session()->isRunning());
    // Two reports in a row: the first closes the gate, the second is ignored.
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "abc", {}}, {AVMetadataObjectTypeEAN13Code, std::nullopt, {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "second", {}}});
    drain();

    ASSERT_EQ(deliveries.size(), 1u);
    ASSERT_EQ(deliveries[0].size(), 2u);
    const QSCScanResult& first = deliveries[0][0];
    EXPECT_EQ(first.strScanned, "abc");
    EXPECT_EQ(first.strBarCodeType, "org.iso.QRCode");
    ASSERT_TRUE(first.imgScanned);  // an empty picture until a still replaces it
    EXPECT_FALSE(first.imgScanned->CGImage());
    ASSERT_TRUE(first.arrayCorner);
    ASSERT_EQ(first.arrayCorner->size(), 4u);
    auto corner = (*first.arrayCorner)[0].objectAs<NSValue>();
    ASSERT_TRUE(corner);
    EXPECT_EQ(corner->CGPointValue(), CGPointMake(0.25, 0.75));
    // A code without text is delivered all the same.
    EXPECT_FALSE(deliveries[0][1].strScanned);
    EXPECT_EQ(deliveries[0][1].strBarCodeType, "org.gs1.EAN-13");

    EXPECT_FALSE(wrapper->session()->isRunning());
    EXPECT_FALSE(wrapper->isNeedScanResult());
    EXPECT_EQ(wrapper->arrayResult().size(), 2u);

    // Scanning resumes through startCapture.
    wrapper->startCapture();
    EXPECT_TRUE(wrapper->isNeedScanResult());
    SimulatedCamera::showCodes({{AVMetadataObjectTypeCode128Code, "again", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 2u);
    ASSERT_EQ(deliveries[1].size(), 1u);  // a fresh list
    EXPECT_EQ(deliveries[1][0].strScanned, "again");
}

TEST_F(QSCScanWrapperTest, AReportWithoutCodeObjectsReopensTheGateAndDeliversNothing) {
    auto wrapper = open(false, CGRectZero, {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeFace});
    wrapper->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeFace, std::nullopt, {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(wrapper->isNeedScanResult());
    EXPECT_TRUE(wrapper->session()->isRunning());
    EXPECT_TRUE(wrapper->arrayResult().empty());

    // A face beside a code: only the code becomes a result.
    SimulatedCamera::showCodes({{AVMetadataObjectTypeFace, std::nullopt, {}}, {AVMetadataObjectTypeQRCode, "x", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 1u);
    ASSERT_EQ(deliveries[0].size(), 1u);
    EXPECT_EQ(deliveries[0][0].strScanned, "x");
}

TEST_F(QSCScanWrapperTest, ContinuousModeDeliversEveryReportAndKeepsRunning) {
    auto wrapper = open();
    wrapper->setSupportContinuous(true);
    wrapper->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "one", {}}, {AVMetadataObjectTypeQRCode, "two", {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "three", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 2u);
    EXPECT_EQ(deliveries[0].size(), 2u);
    ASSERT_EQ(deliveries[1].size(), 1u);
    EXPECT_EQ(deliveries[1][0].strScanned, "three");
    EXPECT_TRUE(wrapper->session()->isRunning());
    EXPECT_TRUE(wrapper->isNeedScanResult());
}

TEST_F(QSCScanWrapperTest, AStillCaptureDeliversTheCamerasPictureWithTheResultsOnTheMainQueue) {
    auto wrapper = open(true);
    wrapper->startCapture();
    auto picture = ScanPictures::pageWithQRCode("with a still");
    ASSERT_EQ(SimulatedCamera::showImage(picture), 1u);
    ASSERT_TRUE(runUntil([&] { return !deliveries.empty(); }));

    ASSERT_EQ(deliveries.size(), 1u);
    ASSERT_EQ(deliveries[0].size(), 1u);
    EXPECT_EQ(deliveries[0][0].strScanned, "with a still");
    ASSERT_TRUE(deliveries[0][0].imgScanned && deliveries[0][0].imgScanned->CGImage());
    EXPECT_EQ(deliveries[0][0].imgScanned->size(), picture->size());
    EXPECT_FALSE(wrapper->session()->isRunning());
    EXPECT_FALSE(wrapper->isNeedScanResult());
}

TEST_F(QSCScanWrapperTest, AStillCaptureWithoutAVideoConnectionDeliversNothingAndKeepsTheGateClosed) {
    auto wrapper = make<WrapperWithoutVideoConnection>(
        previewView, kCodeTypes, true, CGRectZero,
        [this](const std::vector<QSCScanResult>& results) { deliveries.push_back(results); });
    wrapper->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "lost", {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(wrapper->session()->isRunning());
    EXPECT_FALSE(wrapper->isNeedScanResult());

    wrapper->startCapture();  // already running: the gate stays closed
    EXPECT_FALSE(wrapper->isNeedScanResult());
    wrapper->stopCapture();
    wrapper->startCapture();
    EXPECT_TRUE(wrapper->isNeedScanResult());
}

TEST_F(QSCScanWrapperTest, TheVideoConnectionIsTheFirstWithAVideoPort) {
    auto wrapper = open();
    auto connections = wrapper->stillImageOutput()->connections();
    ASSERT_EQ(connections.size(), 1u);
    EXPECT_EQ(wrapper->videoConnection(AVMediaTypeVideo, {nullptr, connections[0]}), connections[0]);
    EXPECT_FALSE(wrapper->videoConnection(AVMediaTypeAudio, connections));
    EXPECT_FALSE(wrapper->videoConnection(AVMediaTypeVideo, {}));
}

TEST_F(QSCScanWrapperTest, ResettingTheRectOfInterestRestartsScanning) {
    auto wrapper = open();
    wrapper->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "first", {}}});
    drain();
    ASSERT_FALSE(wrapper->session()->isRunning());

    wrapper->resetRectOfInterest(CGRectMake(0, 0, 0.5, 0.5));
    EXPECT_EQ(wrapper->output()->rectOfInterest(), CGRectMake(0, 0, 0.5, 0.5));
    EXPECT_TRUE(wrapper->session()->isRunning());
    EXPECT_TRUE(wrapper->isNeedScanResult());
    // The scripted code fills the middle half of the frame: outside the new rect.
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "outside", {}}});
    drain();
    EXPECT_EQ(deliveries.size(), 1u);

    wrapper->setMetadataTypes({AVMetadataObjectTypeEAN13Code});
    EXPECT_EQ(wrapper->output()->metadataObjectTypes(), std::vector<AVMetadataObjectType>{AVMetadataObjectTypeEAN13Code});
}

TEST_F(QSCScanWrapperTest, TheTorchTogglesOnlyOnACameraWithFlashAndTorch) {
    auto wrapper = open();
    ASSERT_TRUE(wrapper->hasFlashAndTorch());
    wrapper->toggleTorch();
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::On);
    wrapper->toggleTorch();
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::Off);
    wrapper->setTorchOn(true);
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::On);

    SimulatedCamera::setConfigurationLockFails(true);
    NSLogCapture log;
    wrapper->setTorchOn(false);
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::On);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("device.lockForConfiguration(): "));
    SimulatedCamera::setConfigurationLockFails(false);

    SimulatedCamera::setCapabilities({.hasTorch = true, .hasFlash = false});
    auto noFlash = open();
    EXPECT_FALSE(noFlash->hasFlashAndTorch());
    noFlash->toggleTorch();
    EXPECT_EQ(noFlash->device()->torchMode(), AVCaptureTorchMode::Off);

    SimulatedCamera::setPresent(false);
    EXPECT_FALSE(open()->hasFlashAndTorch());
}

TEST_F(QSCScanWrapperTest, TheSessionEndsWithTheWrapper) {
    auto wrapper = open();
    wrapper->startCapture();
    auto session = wrapper->session();
    wrapper.reset();
    EXPECT_FALSE(session->isRunning());
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "late", {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());
}
