#include "app/components/KXScanViewController.h"

#include "foundation/NSLog.h"
#include "uikit/UINavigationController.h"

void KXScanViewController::viewDidLoad() {
    QSCScanViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::whiteColor());
    setTitle("扫描二维码");
}

void KXScanViewController::viewWillAppear(bool animated) {
    QSCScanViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXScanViewController::deliverScanResults(const std::vector<QSCScanResult>& results) {
    if (results.empty()) return;
    // A code whose content is not text prints nothing after the caption.
    NSLog("扫描结果:" + results.front().strScanned.value_or(""));
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

QSCScanViewStyle KXScanViewController::homeTabScanStyle() {
    QSCScanViewStyle style;
    style.isNeedShowRetangle = false;
    style.centerUpOffset = 44;
    style.photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::Inner;
    style.colorAngle = UIColor::colorWithRed(0, 200.0 / 255, 20.0 / 255, 1);
    style.photoframeAngleW = 18;
    style.photoframeAngleH = 18;
    style.photoframeLineW = 2;
    style.anmiationStyle = QSCScanViewAnimationStyle::LineMove;
    style.animationImage = UIImage::imageNamed("qrcode_Scan_ripple_Line");
    return style;
}
