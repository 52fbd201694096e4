#include <gtest/gtest.h>

#include <atomic>

#include "foundation/DispatchQueue.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSThread.h"
#include "graphics/UIGraphics.h"
#include "media/AVCaptureVideoPreviewLayer.h"
#include "media/PHPhotoLibrary.h"
#include "media/SimulatedCamera.h"
#include "media/SimulatedPhotoLibrary.h"
#include "media/UIImagePickerController.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIWindow.h"
#include "tests/support/Eventually.h"

namespace {

Ref<UIImage> filled(UIColor colour, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    CGContextSetFillColorWithColor(UIGraphicsGetCurrentContext(), colour);
    CGContextFillRect(UIGraphicsGetCurrentContext(), CGRectMake(0, 0, size.width, size.height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

class PickRecorder : public UIImagePickerControllerDelegate {
public:
    void imagePickerController(const Ref<UIImagePickerController>& picker, const Dictionary& info) override {
        picks.push_back(info);
        pickers.push_back(picker);
    }
    std::vector<Dictionary> picks;
    std::vector<Ref<UIImagePickerController>> pickers;
};

class PhotosTest : public AppFixture {
protected:
    PhotosTest() {
        SimulatedPhotoLibrary::reset();
        SimulatedCamera::reset();
    }
    ~PhotosTest() override {
        SimulatedPhotoLibrary::reset();
        SimulatedCamera::reset();
    }

    // Shows the picker as a window's root screen, which makes it appear.
    void show(const Ref<UIImagePickerController>& picker) {
        window = make<UIWindow>(CGRectMake(0, 0, 320, 480));
        window->setRootViewController(picker);
        window->makeKeyAndVisible();
    }
    void drainMainQueue() {
        bool done = false;
        DispatchQueue::main()->async([&] { done = true; });
        ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return done; }, kGiveUpAfterSeconds));
    }

    Ref<UIWindow> window;
};

PHAuthorizationStatus requestAndWait() {
    std::atomic<bool> done = false;
    PHAuthorizationStatus answer = PHAuthorizationStatus::NotDetermined;
    bool onMain = true;
    PHPhotoLibrary::requestAuthorization([&](PHAuthorizationStatus status) {
        answer = status, onMain = NSThread::isMainThread();
        done = true;
    });
    EXPECT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return done.load(); }, kGiveUpAfterSeconds));
    EXPECT_FALSE(onMain);
    return answer;
}

}  // namespace

TEST_F(PhotosTest, AuthorisationIsAskedOnceAndADenialStands) {
    EXPECT_EQ(PHPhotoLibrary::authorizationStatus(), PHAuthorizationStatus::NotDetermined);
    SimulatedPhotoLibrary::setAuthorizationAnswer(PHAuthorizationStatus::Denied);
    EXPECT_EQ(requestAndWait(), PHAuthorizationStatus::Denied);
    EXPECT_EQ(PHPhotoLibrary::authorizationStatus(), PHAuthorizationStatus::Denied);
    SimulatedPhotoLibrary::setAuthorizationAnswer(PHAuthorizationStatus::Authorized);
    EXPECT_EQ(requestAndWait(), PHAuthorizationStatus::Denied);

    SimulatedPhotoLibrary::setAuthorizationStatus(PHAuthorizationStatus::Limited);
    EXPECT_EQ(requestAndWait(), PHAuthorizationStatus::Limited);
}

TEST_F(PhotosTest, ThePickerHandsTheNextPickToItsDelegateOnceItAppears) {
    auto wide = filled(UIColor::redColor(), CGSizeMake(90, 60));
    SimulatedPhotoLibrary::addPick(wide);
    auto recorder = std::make_shared<PickRecorder>();
    auto picker = make<UIImagePickerController>();
    picker->setSourceType(UIImagePickerControllerSourceType::PhotoLibrary);
    picker->setAllowsEditing(true);
    picker->setDelegate(recorder);
    EXPECT_TRUE(recorder->picks.empty());

    show(picker);
    drainMainQueue();
    ASSERT_EQ(recorder->picks.size(), 1u);
    EXPECT_EQ(recorder->pickers[0], picker);
    const Dictionary& info = recorder->picks[0];
    EXPECT_EQ(info[UIImagePickerControllerMediaType].stringValue(), "public.image");
    EXPECT_EQ(info[UIImagePickerControllerOriginalImage].objectAs<UIImage>(), wide);
    auto edited = info[UIImagePickerControllerEditedImage].objectAs<UIImage>();
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->size(), CGSizeMake(60, 60));

    // Nothing left to pick: the user stays in the picker.
    auto second = make<UIImagePickerController>();
    second->setDelegate(recorder);
    show(second);
    drainMainQueue();
    EXPECT_EQ(recorder->picks.size(), 1u);
}

TEST_F(PhotosTest, PicksWithoutAPictureOrEditingGiveOnlyWhatThereIs) {
    TempSandbox files;
    auto recorder = std::make_shared<PickRecorder>();
    SimulatedPhotoLibrary::addPick(nullptr);
    EXPECT_FALSE(SimulatedPhotoLibrary::addPickFromFile(files.path() + "/missing.jpg"));
    auto png = UIImagePNGRepresentation(filled(UIColor::blueColor(), CGSizeMake(8, 8)));
    std::string path = files.path() + "/blue.png";
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(png->bytes(), 1, png->length(), file);
    std::fclose(file);
    EXPECT_TRUE(SimulatedPhotoLibrary::addPickFromFile(path));

    for (int i = 0; i < 2; ++i) {
        auto picker = make<UIImagePickerController>();
        picker->setDelegate(recorder);
        show(picker);
        drainMainQueue();
    }
    ASSERT_EQ(recorder->picks.size(), 2u);
    EXPECT_EQ(recorder->picks[0].count(), 1u);  // the media type only
    EXPECT_TRUE(recorder->picks[1][UIImagePickerControllerOriginalImage].objectAs<UIImage>());
    EXPECT_TRUE(recorder->picks[1][UIImagePickerControllerEditedImage].isNil());
}

TEST_F(PhotosTest, APickerGoneBeforeThePickArrivesTellsNobody) {
    SimulatedPhotoLibrary::addPick(filled(UIColor::redColor(), CGSizeMake(4, 4)));
    auto recorder = std::make_shared<PickRecorder>();
    {
        auto picker = make<UIImagePickerController>();
        picker->setDelegate(recorder);
        show(picker);
        window->setRootViewController(nullptr);
        window.reset();
    }
    drainMainQueue();
    EXPECT_TRUE(recorder->picks.empty());

    EXPECT_TRUE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::PhotoLibrary));
    EXPECT_TRUE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
    SimulatedCamera::setPresent(false);
    EXPECT_FALSE(UIImagePickerController::isSourceTypeAvailable(UIImagePickerControllerSourceType::Camera));
}

TEST_F(PhotosTest, ThePreviewLayerShowsThePictureInViewWhileTheSessionRuns) {
    auto session = make<AVCaptureSession>();
    session->addInput(AVCaptureDeviceInput::deviceInputWithDevice(
        AVCaptureDevice::defaultDeviceWithMediaType(AVMediaTypeVideo)));
    auto layer = AVCaptureVideoPreviewLayer::layerWithSession(session);
    EXPECT_EQ(layer->videoGravity(), AVLayerVideoGravityResizeAspect);
    layer->setFrame(CGRectMake(0, 0, 100, 100));
    SimulatedCamera::showImage(filled(UIColor::greenColor(), CGSizeMake(100, 50)));

    auto render = [&] {
        UIGraphicsBeginImageContextWithOptions(CGSizeMake(100, 100), false, 1);
        layer->renderInContext(UIGraphicsGetCurrentContext());
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        return image->CGImage();
    };
    EXPECT_EQ(render()->pixelAt(50, 50).alpha, 0);  // not running: nothing

    session->startRunning();
    auto fit = render();
    EXPECT_EQ(fit->pixelAt(50, 10).alpha, 0);         // above the fitted picture
    EXPECT_EQ(fit->pixelAt(50, 50), (CGImagePixel{0, 255, 0, 255}));
    layer->setVideoGravity(AVLayerVideoGravityResizeAspectFill);
    auto fill = render();
    EXPECT_EQ(fill->pixelAt(50, 10), (CGImagePixel{0, 255, 0, 255}));
    EXPECT_EQ(fill->pixelAt(99, 99), (CGImagePixel{0, 255, 0, 255}));
}
