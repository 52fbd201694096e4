#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/components/QRRectDelegate.h"
#include "app/components/QSCScanView.h"
#include "app/components/QSCScanViewControllerDelegate.h"
#include "app/components/QSCScanWrapper.h"
#include "media/UIImagePickerController.h"
#include "uikit/UIViewController.h"

// The scanner screen: the camera's picture underneath, the scan overlay on
// top, recognition by a capture wrapper, and delivery of the first result
// to a receiver. It starts capturing while its view loads; in single mode
// the first recognition stops the camera and leaves the screen. A picture
// picked from the photo library (openPhotoAlbum) is searched for QR codes
// the same way.
//
// A creator sets the fields it wants before the view loads. A screen needs a
// receiver (scanResultDelegate) or a subclass that replaces
// deliverScanResults.
class QSCScanViewController : public UIViewController, public UIImagePickerControllerDelegate {
public:
    Ref<QSCScanViewControllerDelegate> scanResultDelegate() const { return scanResultDelegate_.lock(); }
    void setScanResultDelegate(const Ref<QSCScanViewControllerDelegate>& delegate) { scanResultDelegate_ = delegate; }
    const Ref<QRRectDelegate>& delegate() const { return delegate_; }
    void setDelegate(Ref<QRRectDelegate> delegate) { delegate_ = std::move(delegate); }
    const Ref<QSCScanWrapper>& scanObj() const { return scanObj_; }
    // The overlay's look; the default style when set to nothing.
    const std::optional<QSCScanViewStyle>& scanStyle() const { return scanStyle_; }
    void setScanStyle(std::optional<QSCScanViewStyle> style) { scanStyle_ = std::move(style); }
    const Ref<QSCScanView>& qRScanView() const { return qRScanView_; }
    bool isOpenInterestRect() const { return isOpenInterestRect_; }
    bool isSupportContinuous() const { return isSupportContinuous_; }
    void setIsSupportContinuous(bool continuous) { isSupportContinuous_ = continuous; }
    // Nothing until the first start, which fills in QR, EAN-13 and Code 128.
    const std::optional<std::vector<AVMetadataObjectType>>& arrayCodeType() const { return arrayCodeType_; }
    void setArrayCodeType(std::optional<std::vector<AVMetadataObjectType>> types) { arrayCodeType_ = std::move(types); }
    bool isNeedCodeImage() const { return isNeedCodeImage_; }
    // The readying indicator's text; none shown when set to nothing.
    const std::optional<std::string>& readyString() const { return readyString_; }
    void setReadyString(std::optional<std::string> text) { readyString_ = std::move(text); }

    virtual void enableCodeImage(bool enable) { isNeedCodeImage_ = enable; }
    virtual void enableInterestRect(bool enable) { isOpenInterestRect_ = enable; }
    // Makes the wrapper on first use, then starts the overlay's animation and the camera.
    virtual void startScan();
    // Puts the overlay in place on first use and shows its readying indicator.
    virtual void showScanView();
    // Leaves the screen (unless continuous) and hands the first result to the receiver.
    virtual void deliverScanResults(const std::vector<QSCScanResult>& results);
    // Asks for the photo library and presents a picker over the screen.
    virtual void openPhotoAlbum();

    void viewDidLoad() override;
    // The picker's answer: the picture is searched for QR codes.
    void imagePickerController(const Ref<UIImagePickerController>& picker, const Dictionary& info) override;

private:
    WeakRef<QSCScanViewControllerDelegate> scanResultDelegate_;
    Ref<QRRectDelegate> delegate_;
    Ref<QSCScanWrapper> scanObj_;
    std::optional<QSCScanViewStyle> scanStyle_ = QSCScanViewStyle{};
    Ref<QSCScanView> qRScanView_;
    bool isOpenInterestRect_ = false;
    bool isSupportContinuous_ = false;
    std::optional<std::vector<AVMetadataObjectType>> arrayCodeType_;
    bool isNeedCodeImage_ = false;
    std::optional<std::string> readyString_ = "loading";
};
