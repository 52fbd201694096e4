#include <gtest/gtest.h>

#include "app/components/QSCScanWrapper.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSLog.h"
#include "graphics/NSValue.h"
#include "media/SimulatedCamera.h"
#include "tests/app/components/ScanPictures.h"
#include "tests/support/AppFixture.h"

namespace {

const std::vector<AVMetadataObjectType> kCodeTypes = {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code,
                                                      AVMetadataObjectTypeCode128Code};

// Answers no connection for still captures.
class WrapperWithoutVideoConnection : public QSCScanWrapper {
public:
    using QSCScanWrapper::QSCScanWrapper;
    Ref<AVCaptureConnection> videoConnection(const AVMediaType&, const std::vector<Ref<AVCaptureConnection>>&) override {
        return nullptr;
    }
};

class QSCScanWrapperTest : public AppFixture {
protected:
    QSCScanWrapperTest() { SimulatedCamera::reset(); }
    ~QSCScanWrapperTest() override { SimulatedCamera::reset(); }

    template <class Wrapper = QSCScanWrapper>
    Ref<Wrapper> open(bool captureImage = false, CGRect rectOfInterest = CGRectZero,
                      std::vector<AVMetadataObjectType> types = kCodeTypes) {
        return make<Wrapper>(previewView, std::move(types), captureImage, rectOfInterest,
                             [this](const std::vector<QSCScanResult>& results) { deliveries.push_back(results); });
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

}  // namespace

TEST_F(QSCScanWrapperTest, ConstructionWiresTheSessionBeneathThePreviewWithoutStartingIt) {
    previewView->addSubview(make<UIView>());
    auto wrapper = open(false, CGRectMake(0.1, 0.2, 0.5, 0.6));
    EXPECT_FALSE(wrapper->session()->isRunning());
    EXPECT_EQ(wrapper->session()->outputs().size(), 2u);
    EXPECT_EQ(wrapper->output()->metadataObjectTypes(), kCodeTypes);
    EXPECT_EQ(wrapper->output()->rectOfInterest(), CGRectMake(0.1, 0.2, 0.5, 0.6));
    EXPECT_EQ(wrapper->output()->metadataObjectsCallbackQueue(), DispatchQueue::main());
    EXPECT_EQ(wrapper->device()->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);
    const auto& layer = wrapper->previewLayer();
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->frame(), CGRectMake(0, 0, 300, 400));
    EXPECT_EQ(layer->videoGravity(), AVLayerVideoGravityResizeAspectFill);
    EXPECT_EQ(previewView->layer()->sublayers().front(), layer);  // beneath the content

    EXPECT_EQ(open()->output()->rectOfInterest(), CGRectMake(0, 0, 1, 1));  // zero keeps the whole picture
}

TEST_F(QSCScanWrapperTest, WithoutCameraAccessNothingIsWiredAndConfigurationFailuresAreLogged) {
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Denied);
    NSLogCapture log;
    auto denied = open();
    EXPECT_FALSE(denied->input());
    EXPECT_FALSE(denied->previewLayer());
    EXPECT_TRUE(denied->session()->outputs().empty());
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("AVCaptureDeviceInput(): ")) << log.lines()[0];
    denied->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "abc", {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());

    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Authorized);
    SimulatedCamera::setConfigurationLockFails(true);
    log.clear();
    auto locked = open();
    EXPECT_NE(locked->device()->focusMode(), AVCaptureFocusMode::ContinuousAutoFocus);
    locked->setTorchOn(true);
    EXPECT_EQ(locked->device()->torchMode(), AVCaptureTorchMode::Off);
    ASSERT_EQ(log.lines().size(), 2u);  // focus, then torch
    for (const auto& line : log.lines()) EXPECT_TRUE(line.starts_with("device.lockForConfiguration(): ")) << line;

    SimulatedCamera::setPresent(false);
    auto noCamera = open();
    EXPECT_FALSE(noCamera->device() || noCamera->previewLayer() || noCamera->hasFlashAndTorch());
}

TEST_F(QSCScanWrapperTest, ASingleRecognitionStopsTheSessionClosesTheGateAndDeliversOnce) {
    auto wrapper = open();
    wrapper->startCapture();
    // Two reports in a row: the first closes the gate, the second is ignored.
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "abc", {}}, {AVMetadataObjectTypeEAN13Code, std::nullopt, {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "second", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 1u);
    ASSERT_EQ(deliveries[0].size(), 2u);
    const QSCScanResult& first = deliveries[0][0];
    EXPECT_EQ(first.strScanned, "abc");
    EXPECT_EQ(first.strBarCodeType, "org.iso.QRCode");
    EXPECT_TRUE(first.imgScanned && !first.imgScanned->CGImage());  // empty until a still replaces it
    ASSERT_EQ(first.arrayCorner->size(), 4u);
    EXPECT_EQ((*first.arrayCorner)[0].objectAs<NSValue>()->CGPointValue(), CGPointMake(0.25, 0.75));
    EXPECT_FALSE(deliveries[0][1].strScanned);  // a code without text still counts
    EXPECT_FALSE(wrapper->session()->isRunning());
    EXPECT_FALSE(wrapper->isNeedScanResult());

    // Scanning resumes through a restart, with a fresh list.
    wrapper->resetRectOfInterest(CGRectMake(0.125, 0.125, 0.75, 0.75));
    EXPECT_EQ(wrapper->output()->rectOfInterest(), CGRectMake(0.125, 0.125, 0.75, 0.75));
    EXPECT_TRUE(wrapper->isNeedScanResult());
    SimulatedCamera::showCodes({{AVMetadataObjectTypeCode128Code, "again", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 2u);
    ASSERT_EQ(deliveries[1].size(), 1u);
    EXPECT_EQ(deliveries[1][0].strScanned, "again");
}

TEST_F(QSCScanWrapperTest, AReportWithoutCodesReopensTheGateAndContinuousModeDeliversEveryReport) {
    auto wrapper = open(false, CGRectZero, {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeFace});
    wrapper->startCapture();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeFace, std::nullopt, {}}});
    drain();
    EXPECT_TRUE(deliveries.empty());
    EXPECT_TRUE(wrapper->isNeedScanResult());

    wrapper->setSupportContinuous(true);
    SimulatedCamera::showCodes({{AVMetadataObjectTypeFace, std::nullopt, {}}, {AVMetadataObjectTypeQRCode, "one", {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "two", {}}});
    drain();
    ASSERT_EQ(deliveries.size(), 2u);
    ASSERT_EQ(deliveries[0].size(), 1u);  // the face is not a result
    EXPECT_EQ(deliveries[1][0].strScanned, "two");
    EXPECT_TRUE(wrapper->session()->isRunning());
    EXPECT_TRUE(wrapper->isNeedScanResult());
}

TEST_F(QSCScanWrapperTest, AStillCaptureDeliversTheCamerasPictureOnTheMainQueue) {
    auto wrapper = open(true);
    wrapper->startCapture();
    auto picture = ScanPictures::pageWithQRCode("with a still");
    ASSERT_EQ(SimulatedCamera::showImage(picture), 1u);
    ASSERT_TRUE(runUntil([&] { return !deliveries.empty(); }));
    ASSERT_TRUE(deliveries[0].at(0).imgScanned->CGImage());
    EXPECT_EQ(deliveries[0][0].imgScanned->size(), picture->size());
    EXPECT_FALSE(wrapper->session()->isRunning());

    // Without a video connection no still comes: the gate opens again and
    // scanning goes on, each report trying anew.
    auto lost = open<WrapperWithoutVideoConnection>(true);
    lost->startCapture();
    for (const char* text : {"lost", "again"}) {
        SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, text, {}}});
        drain();
        EXPECT_EQ(deliveries.size(), 1u);
        EXPECT_TRUE(lost->isNeedScanResult()) << text;
        EXPECT_TRUE(lost->session()->isRunning());
        EXPECT_EQ(lost->arrayResult().at(0).strScanned, text);
    }
}

TEST_F(QSCScanWrapperTest, TheTorchTogglesOnlyOnACameraWithFlashAndTorch) {
    auto wrapper = open();
    wrapper->toggleTorch();
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::On);
    wrapper->toggleTorch();
    EXPECT_EQ(wrapper->device()->torchMode(), AVCaptureTorchMode::Off);
    SimulatedCamera::setCapabilities({.hasTorch = true, .hasFlash = false});
    auto noFlash = open();
    noFlash->toggleTorch();
    EXPECT_EQ(noFlash->device()->torchMode(), AVCaptureTorchMode::Off);
}
