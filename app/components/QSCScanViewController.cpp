#include "app/components/QSCScanViewController.h"

#include "app/components/QSCPermissions.h"
#include "app/shell/KXUniversal.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "uikit/UIAlertController.h"
#include "uikit/UINavigationController.h"

namespace {

// The height of the top bar the overlay leaves out, before scaling.
constexpr CGFloat kTopBarHeight = 44;

}  // namespace

void QSCScanViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::blackColor());
    setEdgesForExtendedLayout(UIRectEdgeNone);
    showScanView();
    startScan();
}

void QSCScanViewController::showScanView() {
    if (!qRScanView_) {
        CGFloat top = kTopBarHeight * layoutScale();
        qRScanView_ = make<QSCScanView>(CGRectMake(0, top, screenWidth(), screenHeight() - top),
                                        scanStyle_.value_or(QSCScanViewStyle{}));
        qRScanView_->setAccessibilityIdentifier("qRScanView");
        view()->addSubview(qRScanView_);
        if (delegate_) delegate_->scanRectDidDraw();
    }
    if (readyString_) qRScanView_->showReadying(*readyString_);
}

void QSCScanViewController::startScan() {
    if (!scanObj_) {
        CGRect rect = CGRectZero;
        if (isOpenInterestRect_) rect = QSCScanView::rectOfInterest(view(), scanStyle_.value_or(QSCScanViewStyle{}));
        if (!arrayCodeType_)
            arrayCodeType_ = {AVMetadataObjectTypeQRCode, AVMetadataObjectTypeEAN13Code,
                              AVMetadataObjectTypeCode128Code};
        auto weak = weakSelf<QSCScanViewController>();
        scanObj_ = QSCScanWrapper::openScanSession(
            view(), *arrayCodeType_, isNeedCodeImage_, rect, [weak](const std::vector<QSCScanResult>& results) {
                auto screen = weak.lock();
                if (!screen) return;
                if (screen->qRScanView_) screen->qRScanView_->stopScanAnimation();
                screen->deliverScanResults(results);
            });
    }
    scanObj_->setSupportContinuous(isSupportContinuous_);
    if (qRScanView_) {
        qRScanView_->hideReadying();
        qRScanView_->startScanAnimation();
    }
    scanObj_->startCapture();
}

void QSCScanViewController::deliverScanResults(const std::vector<QSCScanResult>& results) {
    auto receiver = scanResultDelegate();
    if (!receiver) {
        // A screen without a receiver is a programming error; it is reported
        // and the results are dropped rather than the app stopped.
        NSLog("QSCScanViewController: you must set scanResultDelegate or override this method without super keyword");
        return;
    }
    if (!isSupportContinuous_)
        if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
    if (results.empty()) receiver->receiveScanResult(QSCScanResult{}, "no scan result");
    else receiver->receiveScanResult(results.front(), std::nullopt);
}

void QSCScanViewController::openPhotoAlbum() {
    auto weak = weakSelf<QSCScanViewController>();
    QSCPermissions::authorizePhotoLibrary([weak](bool) {
        auto picker = make<UIImagePickerController>();
        picker->setSourceType(UIImagePickerControllerSourceType::PhotoLibrary);
        auto screen = weak.lock();
        if (screen) picker->setDelegate(screen);
        picker->setAllowsEditing(true);
        if (screen) screen->presentViewController(picker, true);
    });
}

void QSCScanViewController::imagePickerController(const Ref<UIImagePickerController>& picker, const Dictionary& info) {
    Ref<UIImage> picture = info[UIImagePickerControllerEditedImage].objectAs<UIImage>();
    if (!picture) picture = info[UIImagePickerControllerOriginalImage].objectAs<UIImage>();
    if (!picture) {
        // The alert waits for the picker to be gone: a screen presents one
        // controller at a time.
        auto weak = weakSelf<QSCScanViewController>();
        picker->dismissViewControllerAnimated(true, [weak] {
            auto screen = weak.lock();
            if (!screen) return;
            auto bundle = NSBundle::mainBundle();
            auto alert = UIAlertController::alertControllerWithTitle(
                "", bundle->localizedStringForKey("Identify failed", ""), UIAlertControllerStyle::Alert);
            alert->addAction(UIAlertAction::actionWithTitle(bundle->localizedStringForKey("OK", ""),
                                                            UIAlertActionStyle::Default));
            screen->presentViewController(alert, true);
        });
        return;
    }
    picker->dismissViewControllerAnimated(true);
    auto results = QSCScanWrapper::decodeQRFromImage(picture);
    if (!results.empty()) deliverScanResults(results);
}
