#include "app/promotion/KXerweiMaFenXiangView.h"

#include <algorithm>
#include <cmath>

#include "app/promotion/KXNotchedScreen.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSData.h"
#include "graphics/CGBitmapContext.h"
#include "media/CIContext.h"
#include "media/CIFilter.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageWriteToSavedPhotosAlbum.h"
#include "uikit/UIScreen.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {

// The panel's content: the code, a divider and the save button.
constexpr CGFloat kPanelContentHeight = 176;
constexpr CGFloat kCodeViewSide = 120;

}  // namespace

void KXerweiMaFenXiangView::didCreate() {
    UIView::didCreate();
    addgrayView();
    setupUI();
}

void KXerweiMaFenXiangView::addgrayView() {
    const CGSize screen = UIScreen::mainScreen()->bounds().size;
    grayView_ = make<UIView>(CGRect{0, 0, screen.width, screen.height});
    grayView_->setAccessibilityIdentifier("grayView");
    grayView_->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#333333"));
    grayView_->setAlpha(0.6);
    grayView_->addGestureRecognizer(
        make<UITapGestureRecognizer>(self<KXerweiMaFenXiangView>(), &KXerweiMaFenXiangView::tapView));
    addSubview(grayView_);
}

void KXerweiMaFenXiangView::setupUI() {
    const CGSize screen = UIScreen::mainScreen()->bounds().size;
    const bool notched = KXNotchedScreen::isNotched();
    const CGFloat bottomInset = notched ? KXNotchedScreen::kBottomInset : 0;
    fenxiangView_ = make<UIView>(CGRect{0, screen.height - kPanelContentHeight - bottomInset, screen.width,
                                        kPanelContentHeight + bottomInset});
    fenxiangView_->setAccessibilityIdentifier("fenxiangView");
    fenxiangView_->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F0F4F6"));
    addSubview(fenxiangView_);

    fenxiangImge_ = make<UIImageView>(CGRect{(screen.width - kCodeViewSide) * 0.5, 10, kCodeViewSide, kCodeViewSide});
    fenxiangImge_->setAccessibilityIdentifier("fenxiangImge");
    fenxiangView_->addSubview(fenxiangImge_);

    auto divider = make<UIView>(CGRect{0, 137, screen.width, 1});
    divider->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#D7D7D7"));
    fenxiangView_->addSubview(divider);

    auto save = UIButton::buttonWithType(UIButtonType::Custom);
    save->setFrame({0, 138, screen.width, 38});
    save->setTitle(std::string("保存"), UIControlStateNormal);
    save->setTitleColor(UIColorHex::colorWithHexStringWithHexString("#333333"), UIControlStateNormal);
    save->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    save->addTarget(self<KXerweiMaFenXiangView>(), &KXerweiMaFenXiangView::quiabuttontap, UIControlEventTouchUpInside);
    fenxiangView_->addSubview(save);
}

void KXerweiMaFenXiangView::setUrlStr(std::optional<std::string> urlStr) {
    urlStr_ = std::move(urlStr);
    fenxiangImge_->setImage(
        createNonInterpolatedUIImageFormCIImage(creatQRcodeWithUrlstring(urlStr_.value_or("")), kCodeSide));
}

Ref<CIImage> KXerweiMaFenXiangView::creatQRcodeWithUrlstring(const std::string& text) {
    auto filter = CIFilter::filterWithName("CIQRCodeGenerator");
    if (!filter) return nullptr;
    filter->setDefaults();
    filter->setValue(NSData::fromString(text), "inputMessage");
    return filter->outputImage();
}

Ref<UIImage> KXerweiMaFenXiangView::createNonInterpolatedUIImageFormCIImage(const Ref<CIImage>& image, double size) {
    if (!image) return nullptr;
    const CGRect extent = CGRectIntegral(image->extent());
    if (extent.size.width <= 0 || extent.size.height <= 0) return nullptr;
    const double scale = std::min(size / extent.size.width, size / extent.size.height);
    const auto width = static_cast<std::size_t>(extent.size.width * scale);
    const auto height = static_cast<std::size_t>(extent.size.height * scale);

    auto context = CGBitmapContextCreate(nullptr, width, height, 8, 0, CGColorSpaceCreateDeviceGray(), kCGImageAlphaNone);
    auto rendered = CIContext::contextWithOptions()->createCGImage(image, extent);
    if (!context || !rendered) return nullptr;
    CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    CGContextScaleCTM(context, scale, scale);
    CGContextDrawImage(context, extent, rendered);
    auto scaled = CGBitmapContextCreateImage(context);
    return scaled ? UIImage::imageWithCGImage(scaled, 1, UIImageOrientation::Up) : nullptr;
}

void KXerweiMaFenXiangView::quiabuttontap() {
    auto image = fenxiangImge_->image();
    // The album holds its target until it answers, so the answer shows even
    // when the overlay has been closed meanwhile.
    auto overlay = self<KXerweiMaFenXiangView>();
    UIImageWriteToSavedPhotosAlbum(image, [overlay, image](const Ref<NSError>& error) {
        overlay->imageDidFinishSavingWithError(image, error);
    });
}

void KXerweiMaFenXiangView::imageDidFinishSavingWithError(const Ref<UIImage>&, const Ref<NSError>& error) {
    // A failed save shows as a failure.
    if (error) MBProgressHUDManager::showError("保存失败");
    else MBProgressHUDManager::showSuccess("保存成功");
}

void KXerweiMaFenXiangView::tapView(const Ref<UIGestureRecognizer>& recognizer) {
    auto backdrop = recognizer->view();
    if (auto overlay = backdrop ? backdrop->superview() : nullptr) overlay->removeFromSuperview();
}
