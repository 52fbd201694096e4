#include <gtest/gtest.h>

#include <filesystem>

#include "app/components/KXScanViewController.h"
#include "app/shell/KXNavigationController.h"
#include "app/shell/KXTabBarController1.h"
#include "foundation/DispatchQueue.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "media/SimulatedCamera.h"
#include "media/SimulatedPhotoLibrary.h"
#include "tests/app/components/ScanPictures.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIDriver.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UIScreen.h"
#include "uikit/UITabBar.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

namespace {

const std::vector<AVMetadataObjectType> kDefaultCodeTypes = {
    AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code, AVMetadataObjectTypeCode128Code};

// Keeps every result the screen hands over.
class ResultRecorder : public QSCScanViewControllerDelegate {
public:
    void receiveScanResult(const QSCScanResult& result, const std::optional<std::string>& error) override {
        results.push_back(result);
        errors.push_back(error);
    }
    std::vector<QSCScanResult> results;
    std::vector<std::optional<std::string>> errors;
};

class OverlayListener : public QRRectDelegate {
public:
    void scanRectDidDraw() override { ++calls; }
    int calls = 0;
};

class ScanScreenTest : public AppFixture {
protected:
    ScanScreenTest() {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        UINavigationBar::resetAppearance();
        UITabBar::resetAppearance();
        SimulatedCamera::reset();
        SimulatedPhotoLibrary::reset();
    }
    ~ScanScreenTest() override {
        NSBundle::setMainBundlePath("");
        UINavigationBar::resetAppearance();
        UITabBar::resetAppearance();
        SimulatedCamera::reset();
        SimulatedPhotoLibrary::reset();
    }

    // The signed-in tab bar on screen, its requests answered (their failures
    // logged before a test reads the log); answers the Home tab's stack.
    Ref<KXNavigationController> showHome() {
        tabs = make<KXTabBarController1>();
        window = make<UIWindow>(UIScreen::mainScreen()->bounds());
        window->setRootViewController(tabs);
        window->makeKeyAndVisible();
        EXPECT_TRUE(letRequestsEnd([&] { driver.settle(); }));
        return cast<KXNavigationController>(tabs->viewControllers().at(0));
    }
    // Pushes the screen on the Home tab's stack, as the Home tab does.
    Ref<KXNavigationController> push(const Ref<QSCScanViewController>& screen) {
        auto home = showHome();
        home->pushViewController(screen, true);
        finishTransitions();
        return home;
    }
    void finishTransitions() {
        clock.advance(UIViewController::kTransitionDuration);
        driver.settle();
    }
    static void drain() {
        bool done = false;
        DispatchQueue::main()->async([&] { done = true; });
        ASSERT_TRUE(runUntil([&] { return done; }));
    }
    static Ref<KXScanViewController> homeScanScreen() {
        auto screen = make<KXScanViewController>();
        screen->setScanStyle(KXScanViewController::homeTabScanStyle());
        return screen;
    }
    Ref<QSCScanViewController> receivingScreen() {
        auto screen = make<QSCScanViewController>();
        screen->setScanResultDelegate(receiver);
        return screen;
    }

    Ref<KXTabBarController1> tabs;
    Ref<UIWindow> window;
    UIDriver driver;
    Ref<ResultRecorder> receiver = std::make_shared<ResultRecorder>();
};

}  // namespace

TEST_F(ScanScreenTest, ThePushedScreenScansUnderItsOverlayPrintsTheFirstCodeAndPops) {
    QSCScanViewStyle style = KXScanViewController::homeTabScanStyle();
    EXPECT_FALSE(style.isNeedShowRetangle);
    EXPECT_EQ(style.photoframeAngleStyle, QSCScanViewPhotoframeAngleStyle::Inner);
    EXPECT_EQ(style.colorAngle, UIColor::colorWithRed(0, 200.0 / 255, 20.0 / 255, 1));
    EXPECT_EQ(style.photoframeAngleW + style.photoframeAngleH + style.photoframeLineW, 18 + 18 + 2);
    ASSERT_TRUE(style.animationImage);

    // What the camera sees before the screen opens: a code, not yet read.
    auto picture = ScanPictures::pageWithQRCode("abc");
    SimulatedCamera::showImage(picture);
    auto screen = homeScanScreen();
    auto listener = std::make_shared<OverlayListener>();
    screen->setDelegate(listener);
    auto home = push(screen);
    EXPECT_EQ(screen->title(), "扫描二维码");
    EXPECT_FALSE(home->isNavigationBarHidden());
    EXPECT_EQ(screen->view()->frame(), CGRectMake(0, 64, 375, 603));  // below the bar
    EXPECT_EQ(listener->calls, 1);

    // The camera's picture under the overlay, the line moving, the spinner gone.
    auto overlay = screen->qRScanView();
    EXPECT_EQ(driver.find("#qRScanView"), overlay);
    EXPECT_EQ(overlay->frame(), CGRectMake(0, 0, 375, 667 - 44));
    EXPECT_FALSE(overlay->activityView());
    EXPECT_TRUE(overlay->scanLineAnimation()->isAnimationing());
    const auto& scanner = screen->scanObj();
    EXPECT_TRUE(scanner->session()->isRunning());
    EXPECT_EQ(screen->view()->layer()->sublayers().front(), scanner->previewLayer());
    EXPECT_EQ(scanner->output()->metadataObjectTypes(), kDefaultCodeTypes);
    EXPECT_EQ(scanner->output()->rectOfInterest(), CGRectMake(0, 0, 1, 1));
    EXPECT_TRUE(checkedShot(driver, testShotPath("scan-screen.png")));

    NSLogCapture log;
    SimulatedCamera::showImage(picture);
    drain();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"扫描结果:abc"});
    EXPECT_FALSE(scanner->session()->isRunning());
    EXPECT_TRUE(overlay->scanLineAnimation()->isHidden());
    WeakRef<KXScanViewController> released = screen;
    screen.reset();
    finishTransitions();
    EXPECT_EQ(home->viewControllers().size(), 1u);
    EXPECT_TRUE(released.expired());
}

TEST_F(ScanScreenTest, OnlyTheFirstCodeIsPrintedOnOneLineAndACodeWithoutTextPrintsTheCaptionAlone) {
    auto home = push(homeScanScreen());
    NSLogCapture log;
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "first", {}}, {AVMetadataObjectTypeCode128Code, "second", {}}});
    drain();
    finishTransitions();
    EXPECT_EQ(home->viewControllers().size(), 1u);

    home->pushViewController(homeScanScreen(), true);
    finishTransitions();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeEAN13Code, std::nullopt, {}}});
    drain();
    finishTransitions();

    // Line breaks, control characters and bytes that are not UTF-8 are escaped.
    home->pushViewController(homeScanScreen(), true);
    finishTransitions();
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, std::string("a\nb\0\x1b[2J\\\xC2\x85\xFF", 12), {}}});
    drain();
    finishTransitions();
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"扫描结果:first", "扫描结果:",
                                                     "扫描结果:a\\nb\\x00\\x1b[2J\\\\\\u0085\\xff"}));
    EXPECT_EQ(home->viewControllers().size(), 1u);
}

TEST_F(ScanScreenTest, AReceiverGetsTheFirstResultAndTheScreenLeavesInSingleMode) {
    auto screen = receivingScreen();
    auto home = push(screen);
    EXPECT_EQ(screen->view()->backgroundColor(), UIColor::blackColor());
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "one", {}}, {AVMetadataObjectTypeQRCode, "two", {}}});
    drain();
    ASSERT_EQ(receiver->results.size(), 1u);
    EXPECT_EQ(receiver->results[0].strScanned, "one");
    EXPECT_FALSE(receiver->errors[0]);
    finishTransitions();
    EXPECT_EQ(home->viewControllers().size(), 1u);

    screen->deliverScanResults({});
    ASSERT_EQ(receiver->results.size(), 2u);
    const QSCScanResult& empty = receiver->results[1];
    EXPECT_FALSE(empty.strScanned || empty.imgScanned || empty.strBarCodeType || empty.arrayCorner);
    EXPECT_EQ(receiver->errors[1], "no scan result");
}

TEST_F(ScanScreenTest, InContinuousModeEveryReportDeliversItsFirstResultAndTheScreenStays) {
    auto screen = receivingScreen();
    screen->setIsSupportContinuous(true);
    const std::vector<AVMetadataObjectType> types = {AVMetadataObjectTypeCode128Code, AVMetadataObjectTypeQRCode};
    screen->setArrayCodeType(types);
    auto home = push(screen);
    EXPECT_EQ(screen->scanObj()->output()->metadataObjectTypes(), types);  // used unchanged
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "one", {}}, {AVMetadataObjectTypeQRCode, "extra", {}}});
    SimulatedCamera::showCodes({{AVMetadataObjectTypeCode128Code, "two", {}}});
    drain();
    finishTransitions();
    ASSERT_EQ(receiver->results.size(), 2u);
    EXPECT_EQ(receiver->results[1].strScanned, "two");
    EXPECT_EQ(home->topViewController(), screen);
    EXPECT_TRUE(screen->scanObj()->session()->isRunning());
}

TEST_F(ScanScreenTest, AScreenWithoutAReceiverReportsTheMistakeAndStays) {
    auto screen = make<QSCScanViewController>();
    auto home = push(screen);
    NSLogCapture log;
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "lost", {}}});
    drain();
    finishTransitions();
    EXPECT_EQ(log.lines(), std::vector<std::string>{
        "QSCScanViewController: you must set scanResultDelegate or override this method without super keyword"});
    EXPECT_EQ(home->topViewController(), screen);

    // Scanning resumes when the screen starts again.
    screen->setScanResultDelegate(receiver);
    screen->startScan();
    EXPECT_TRUE(screen->qRScanView()->isAnimationing());
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "found", {}}});
    drain();
    ASSERT_EQ(receiver->results.size(), 1u);
    EXPECT_EQ(receiver->results[0].strScanned, "found");
    finishTransitions();
}

TEST_F(ScanScreenTest, APictureFromTheAlbumIsReadEvenWhenAccessIsDenied) {
    SimulatedPhotoLibrary::setAuthorizationStatus(PHAuthorizationStatus::Denied);
    SimulatedPhotoLibrary::addPick(ScanPictures::pageWithQRCode("from the album"));
    auto screen = receivingScreen();
    auto home = push(screen);
    screen->openPhotoAlbum();
    auto picker = cast<UIImagePickerController>(screen->presentedViewController());
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->allowsEditing());
    EXPECT_EQ(picker->delegate(), screen);
    finishTransitions();  // the picker appears and the user picks
    ASSERT_TRUE(runUntil([&] { return !receiver->results.empty(); }));
    EXPECT_EQ(receiver->results[0].strScanned, "from the album");
    finishTransitions();
    EXPECT_FALSE(screen->presentedViewController());
    EXPECT_EQ(home->viewControllers().size(), 1u);
}

TEST_F(ScanScreenTest, TheAlbumAsksFirstAndAPickWithoutACodeChangesNothing) {
    SimulatedPhotoLibrary::addPick(ScanPictures::page(CGSizeMake(100, 100), {}));
    auto screen = receivingScreen();
    auto home = push(screen);
    screen->openPhotoAlbum();
    EXPECT_FALSE(screen->presentedViewController());  // waiting for the user's answer
    ASSERT_TRUE(runUntil([&] { return screen->presentedViewController() != nullptr; }));
    EXPECT_EQ(SimulatedPhotoLibrary::authorizationStatus(), PHAuthorizationStatus::Authorized);
    finishTransitions();
    drain();
    finishTransitions();
    EXPECT_FALSE(screen->presentedViewController());
    EXPECT_TRUE(receiver->results.empty());
    EXPECT_EQ(home->topViewController(), screen);
    EXPECT_TRUE(screen->scanObj()->session()->isRunning());
}

TEST_F(ScanScreenTest, APickWithoutAPictureShowsTheIdentifyFailedAlert) {
    SimulatedPhotoLibrary::setAuthorizationStatus(PHAuthorizationStatus::Authorized);
    SimulatedPhotoLibrary::addPick(nullptr);
    auto screen = receivingScreen();
    push(screen);
    screen->openPhotoAlbum();
    finishTransitions();  // the picker appears and the user picks nothing
    drain();
    finishTransitions();  // the picker leaves, the alert comes
    auto alert = cast<UIAlertController>(screen->presentedViewController());
    ASSERT_TRUE(alert);
    EXPECT_EQ(alert->preferredStyle(), UIAlertControllerStyle::Alert);
    EXPECT_EQ(alert->message(), "Identify failed");
    ASSERT_EQ(alert->actions().size(), 1u);
    EXPECT_TRUE(driver.tap("OK"));
    finishTransitions();
    EXPECT_FALSE(screen->presentedViewController());
    EXPECT_TRUE(receiver->results.empty());
}

TEST_F(ScanScreenTest, WithoutCameraAccessTheOverlayKeepsAnimatingUntilTheUserLeaves) {
    SimulatedCamera::setAuthorizationStatus(AVAuthorizationStatus::Denied);
    auto screen = homeScanScreen();
    auto home = push(screen);
    EXPECT_FALSE(screen->scanObj()->previewLayer());
    NSLogCapture log;
    SimulatedCamera::showCodes({{AVMetadataObjectTypeQRCode, "unseen", {}}});
    clock.advance(3);
    drain();
    EXPECT_TRUE(log.lines().empty());
    EXPECT_TRUE(screen->qRScanView()->isAnimationing());
    EXPECT_TRUE(checkedShot(driver, testShotPath("scan-screen-no-camera.png")));
    EXPECT_TRUE(driver.back());
    finishTransitions();
    EXPECT_EQ(home->viewControllers().size(), 1u);
}
