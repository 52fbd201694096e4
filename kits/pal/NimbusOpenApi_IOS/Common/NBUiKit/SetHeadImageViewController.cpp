#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/SetHeadImageViewController.h"

#include <algorithm>
#include <limits>

#include "foundation/NSDate.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSString.h"
#include "foundation/UTF16.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"

namespace {

constexpr const char* kDragStarted = "10654";
constexpr const char* kChoose = "10655";
constexpr const char* kCancel = "10656";
constexpr const char* kRetry = "10657";
constexpr const char* kUploadSucceeded = "10658";
constexpr const char* kUploadFailed = "10660";
constexpr const char* kNetworkTrouble = "网络有问题，检查一下网络再重试:)";
constexpr const char* kChooseTitle = "选取";
constexpr const char* kRetryTitle = "重试";
constexpr double kSpinnerY = 240;
// The width of the square's outline, left out of the cut.
constexpr CGFloat kSquareOutline = 1;

double now() { return NSDate::date().timeIntervalSince1970(); }

}  // namespace

void DestRectView::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetRGBStrokeColor(context, 1.0, 1.0, 1.0, 1.0);
    CGContextSetLineWidth(context, kSquareOutline);
    CGContextStrokeRect(context, CGRectMake(0, 0, frame().size.width, frame().size.height));
}

SetHeadImageViewController::~SetHeadImageViewController() {
    if (becomeActiveObserver_) NSNotificationCenter::defaultCenter()->removeObserver(becomeActiveObserver_.get());
    if (memoryWarningObserver_) NSNotificationCenter::defaultCenter()->removeObserver(memoryWarningObserver_.get());
    if (timer_) timer_->invalidate();
}

CGSize SetHeadImageViewController::screenSizeOrientationIndependent() {
    const CGSize size = UIScreen::mainScreen()->bounds().size;
    return CGSizeMake(std::min(size.width, size.height), std::max(size.width, size.height));
}

CGFloat SetHeadImageViewController::squareSide() { return screenSizeOrientationIndependent().width; }

float SetHeadImageViewController::bandHeight() const {
    const CGSize screen = screenSizeOrientationIndependent();
    return static_cast<float>((screen.height - screen.width) / 2);
}

Ref<UIImage> SetHeadImageViewController::bundleImage(const std::string& name) {
    return UIImage::imageNamed("NimbusOpenApi_IOS_Bundle.bundle/" + name + ".png");
}

void SetHeadImageViewController::didCreate() {
    UIViewController::didCreate();
    enterTime_ = now();
    // Low on memory, the screen gives up as if Cancel were pressed, whether
    // or not its view was ever loaded.
    WeakRef<SetHeadImageViewController> weak = self<SetHeadImageViewController>();
    memoryWarningObserver_ = NSNotificationCenter::defaultCenter()->addObserverForName(
        UIApplicationDidReceiveMemoryWarningNotification, nullptr, [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock()) screen->cancelBtnClick();
        });
}

void SetHeadImageViewController::viewDidLoad() {
    seq_ = -1;
    UIViewController::viewDidLoad();
    const CGSize screen = screenSizeOrientationIndependent();
    const CGFloat W = screen.width, H = screen.height;
    const float T = bandHeight();
    const UIColor dim = UIColor::colorWithWhite(0, 0.6);

    scrollView_ = make<UIScrollView>(CGRectMake(0, 0, W, H));
    scrollView_->setBackgroundColor(UIColor::blackColor());
    scrollView_->setShowsHorizontalScrollIndicator(false);
    scrollView_->setShowsVerticalScrollIndicator(false);
    scrollView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    scrollView_->setDelegate(self<SetHeadImageViewController>());
    view()->addSubview(scrollView_);
    headImage_ = make<UIImageView>(CGRectMake(0, 0, W, H));
    headImage_->setBackgroundColor(UIColor::clearColor());
    scrollView_->addSubview(headImage_);
    resetImage();

    topView_ = make<UIView>(CGRectMake(0, 0, W, T));
    topView_->setBackgroundColor(dim);
    view()->addSubview(topView_);
    bottomView_ = make<UIView>(CGRectMake(0, W + T, W, T));
    bottomView_->setBackgroundColor(dim);
    view()->addSubview(bottomView_);
    destRectView_ = make<DestRectView>(CGRectMake(0, T, W, W));
    destRectView_->setBackgroundColor(UIColor::clearColor());
    destRectView_->setUserInteractionEnabled(false);
    view()->addSubview(destRectView_);

    toolbar_ = make<UIToolbar>(CGRectMake(0, T - 55, W, 55));
    toolbar_->setBarStyle(UIBarStyle::BlackTranslucent);
    bottomView_->addSubview(toolbar_);

    nickLabel_ = make<UILabel>(CGRectMake(0, 25, W, T / 2));
    nickLabel_->setFont(UIFont::systemFontOfSize(18));
    nickLabel_->setTextColor(UIColor::whiteColor());
    nickLabel_->setTextAlignment(NSTextAlignment::Center);
    nickLabel_->setNumberOfLines(1);
    nickLabel_->setBackgroundColor(UIColor::clearColor());
    nickLabel_->setText(nick_.value_or(""));
    topView_->addSubview(nickLabel_);
    palImage_ = make<UIImageView>(CGRectMake(30, 20, 18, 20));
    palImage_->setImage(bundleImage("palicon"));
    topView_->addSubview(palImage_);
    setNick(nick_);

    WeakRef<SetHeadImageViewController> weak = self<SetHeadImageViewController>();
    auto action = [weak](void (SetHeadImageViewController::*method)()) {
        return [weak, method](const Ref<UIBarButtonItem>&) {
            if (auto screen = weak.lock()) ((*screen).*method)();
        };
    };
    cancelBtn_ = make<UIBarButtonItem>("取消", UIBarButtonItemStyle::Done, self<SetHeadImageViewController>(),
                                       action(&SetHeadImageViewController::cancelBtnClick));
    cancelBtn_->setWidth(60);
    selectBtn_ = make<UIBarButtonItem>(kChooseTitle, UIBarButtonItemStyle::Done, self<SetHeadImageViewController>(),
                                       action(&SetHeadImageViewController::selectBtnClick));
    selectBtn_->setWidth(60);
    toolbar_->setItems({cancelBtn_, nullptr, selectBtn_});

    const CGRect bar = toolbar_->bounds();
    lable_ = make<UILabel>(CGRectMake((bar.size.width - 90) / 2, (bar.size.height - 30) / 2, 90, 30));
    lable_->setText("移动和缩放");
    lable_->setFont(UIFont::systemFontOfSize(14));
    lable_->setTextColor(UIColor::whiteColor());
    lable_->setTextAlignment(NSTextAlignment::Center);
    lable_->setNumberOfLines(1);
    lable_->setBackgroundColor(UIColor::clearColor());
    toolbar_->addSubview(lable_);

    isSetUserPic_ = false;
    becomeActiveObserver_ = NSNotificationCenter::defaultCenter()->addObserverForName(
        UIApplicationDidBecomeActiveNotification, nullptr, [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock()) screen->onClickApp();
        });
    enterTime_ = now();
    updateSpinner();
}

void SetHeadImageViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    // The status bar is hidden only while the screen shows, so a screen
    // whose view is built but never shown leaves it as it was.
    auto application = UIApplication::sharedApplication();
    lastControllerStatusBarHidden_ = application->isStatusBarHidden();
    application->setStatusBarHidden(true);
}

void SetHeadImageViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    UIApplication::sharedApplication()->setStatusBarHidden(lastControllerStatusBarHidden_);
}

void SetHeadImageViewController::updateSpinner() {
    if (!isViewLoaded()) return;
    const bool pictureShown = headImage_ && headImage_->image();
    if (pictureShown && !uploadAwaited_) {
        removeSpinner();
    } else if (!activityView_ || !activityView_->isAnimating()) {
        startSpinner();
    }
}

void SetHeadImageViewController::removeSpinner() {
    if (!activityView_) return;
    activityView_->stopAnimating();
    activityView_->removeFromSuperview();
    activityView_.reset();
}

void SetHeadImageViewController::startSpinner() {
    removeSpinner();
    activityView_ = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
    activityView_->setCenter(CGPointMake(view()->center().x, kSpinnerY));
    view()->addSubview(activityView_);
    activityView_->startAnimating();
}

void SetHeadImageViewController::setImage(const Ref<UIImage>& image) {
    Ref<UIImage> picture = image;
    if (picture) {
        const CGSize size = picture->size();
        if (size.width * size.height > kMaxPicturePixels) {
            const CGSize scaled = size.width > size.height
                                      ? CGSizeMake(2048, size.height * 2048 / size.width)
                                      : CGSizeMake(size.width * 2048 / size.height, 2048);
            picture = imageWithImage(picture, scaled);
        }
    }
    image_ = picture;
    resetImage();
    updateSpinner();
}

CGSize SetHeadImageViewController::ajustDisplaySize(CGSize size) {
    const CGFloat side = squareSide();
    if (size.width > size.height) return CGSizeMake(size.width * side / size.height, side);
    return CGSizeMake(side, size.height * side / size.width);
}

void SetHeadImageViewController::resetImage() {
    if (!image_ || !scrollView_) return;
    const CGSize picture = image_->size();
    const CGSize display = ajustDisplaySize(picture);
    const float scale = static_cast<float>(display.width / picture.width);
    const float T = bandHeight();
    // Back at scale 1 before the picture sizes its view: a later picture
    // must not be sized through the zoom of the one before.
    scrollView_->setMinimumZoomScale(1);
    scrollView_->setZoomScale(1);
    headImage_->setImage(image_);
    headImage_->setFrame(CGRectMake(0, 0, picture.width, picture.height));
    scrollView_->setContentSize(display);
    scrollView_->setContentInset(UIEdgeInsets{T, 0, T + 1, 1});
    scrollView_->setMinimumZoomScale(scale);
    scrollView_->setMaximumZoomScale(scale > 0.5f ? 2 * scale : 1.0);
    scrollView_->setZoomScale(scale);
    const CGFloat side = squareSide();
    scrollView_->setContentOffset(CGPointMake((display.width - side) / 2, (display.height - side) / 2 - T));
}

void SetHeadImageViewController::setNick(const std::optional<std::string>& nick) {
    nick_.reset();
    if (!nick) return;
    nick_ = stringByNBOSDKTruncateWithDotAtLimit(kNickLimit, nick);
    if (!nickLabel_) return;
    nickLabel_->setText(*nick_);
    const CGFloat W = screenSizeOrientationIndependent().width;
    const CGSize text = nickLabel_->sizeThatFits(CGSizeMake(std::numeric_limits<CGFloat>::max(), nickLabel_->frame().size.height));
    const CGSize icon = palImage_->frame().size;
    const float x = static_cast<float>((W - text.width - icon.width) / 2);
    palImage_->setFrame(CGRectMake(x, 25, icon.width, icon.height));
    nickLabel_->setFrame(CGRectMake(x + icon.width + 3.5, 25, text.width, text.height));
}

std::optional<std::string> SetHeadImageViewController::stringByNBOSDKTruncateWithDotAtLimit(
    int limit, const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const std::u16string units = UTF16::encode(*text);
    int budget = limit;
    std::size_t kept = 0;
    for (; kept < units.size(); ++kept) {
        const int cost = units[kept] > 0xFF ? 2 : 1;
        if (cost > budget) break;
        budget -= cost;
    }
    if (kept == units.size()) return text;
    if (kept > 0) --kept;
    return UTF16::decode(units.substr(0, kept)) + "…";
}

bool SetHeadImageViewController::setViewControllerData(const Dictionary& data) {
    // A text only: a number is no nick name.
    const std::string* nick = data["nick"].text();
    if (!nick || nick->empty()) return false;
    setNick(*nick);
    return true;
}

bool SetHeadImageViewController::setViewControllerResponse(const Ref<APIResponse>& response) {
    if (!response) return false;
    setUserHeadPicResponse(response);
    return true;
}

void SetHeadImageViewController::report(const char* action) {
    NBDataReport::reportData(false, std::string(action), appId_, std::nullopt);
}

void SetHeadImageViewController::reportWithTime(const char* action) {
    NBDataReport::reportDataWithTime(false, std::string(action), appId_, clickTime_ - enterTime_, std::nullopt);
}

void SetHeadImageViewController::replaceTimer(double interval, void (SetHeadImageViewController::*action)()) {
    if (timer_) timer_->invalidate();
    WeakRef<SetHeadImageViewController> weak = self<SetHeadImageViewController>();
    timer_ = NSTimer::scheduledTimerWithTimeInterval(interval, false, [weak, action](const Ref<NSTimer>&) {
        if (auto screen = weak.lock()) ((*screen).*action)();
    });
}

void SetHeadImageViewController::selectBtnClick() {
    selectBtn_->setEnabled(false);
    toolbar_->setNeedsLayout();
    clickTime_ = now();
    if (selectBtn_->title() == kRetryTitle) {
        report(kRetry);
    } else {
        reportWithTime(kChoose);
    }
    replaceTimer(0.01, &SetHeadImageViewController::onTimer);
}

void SetHeadImageViewController::showChooseAsRetry() {
    selectBtn_->setTitle(kRetryTitle);
    toolbar_->setNeedsLayout();
}

Ref<UIImage> SetHeadImageViewController::cut(CGRect rect) const {
    auto piece = getSubImage(image_, rect);
    if (piece && rect.size.width > kMaxCutSide) piece = imageWithImage(piece, CGSizeMake(kMaxCutSide, kMaxCutSide));
    return piece;
}

void SetHeadImageViewController::onTimer() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    isSetUserPic_ = true;
    auto reachability = NBOSDKReachability::reachabilityWithHostName(NimbusConnectHosts::kPalWebSiteHost);
    if (!reachability || reachability->currentReachabilityStatus() == NBOSDKNotReachable) {
        selectBtn_->setEnabled(true);
        isCancelled_ = false;
        isSetUserPic_ = false;
        showChooseAsRetry();
        if (notify_) notify_->removeFromSuperview();
        showNotify(bundleImage("error"), std::string(kNetworkTrouble));
        return;
    }
    // Before the picture arrives both cuts are empty: the delegate refuses
    // them and Choose is offered again for when the picture shows.
    Ref<UIImage> piece;
    if (image_) {
        const float zoom = static_cast<float>(scrollView_->zoomScale());
        const CGPoint offset = scrollView_->contentOffset();
        const float T = bandHeight();
        const CGFloat side = (squareSide() - 2 * kSquareOutline) / zoom;
        piece = cut(CGRectMake((offset.x + kSquareOutline) / zoom, (offset.y + T + kSquareOutline) / zoom, side, side));
    }
    auto delegate = liveDelegate();
    if (!delegate) return;
    if (!fileName_ || fileName_->empty()) fileName_ = "palPic";
    auto keep = self<SetHeadImageViewController>();
    seq_ = delegate->didFinishedSetUserLocalPic(keep, piece, fileName_);
    if (seq_ == -1) {
        Ref<UIImage> centre;
        if (image_) {
            const CGSize size = image_->size();
            const CGFloat centreSide = static_cast<CGFloat>(static_cast<long>(std::min(size.width, size.height) / 2));
            centre = getSubImage(image_, CGRectMake(size.width / 4, size.height / 4, centreSide, centreSide));
            if (centre && centreSide >= kMaxCutSide + 1) centre = imageWithImage(centre, CGSizeMake(kMaxCutSide, kMaxCutSide));
        }
        delegate = liveDelegate();
        if (!delegate) return;
        seq_ = delegate->didFinishedSetUserLocalPic(keep, centre, fileName_);
        if (seq_ == -1) {
            selectBtn_->setEnabled(true);
            toolbar_->setNeedsLayout();
            return;
        }
    }
    uploadAwaited_ = true;
    startSpinner();
}

void SetHeadImageViewController::setUserHeadPicResponse(const Ref<APIResponse>& response) {
    // A handed-out screen may hear an answer before the app shows it: its
    // view is built then, for the buttons and the notice.
    if (response) loadViewIfNeeded();
    if (selectBtn_) {
        selectBtn_->setEnabled(true);
        toolbar_->setNeedsLayout();
    }
    seq_ = -1;
    isSetUserPic_ = false;
    isCancelled_ = true;
    uploadAwaited_ = false;
    updateSpinner();
    if (!response) return;
    Ref<UIImage> image;
    std::optional<std::string> text;
    const auto ret = NBOpenSDKErrorUtil::retValue(response->jsonResponse());
    if (response->retCode() != 0 || response->jsonResponse().isNil()) {
        isCancelled_ = false;
        image = bundleImage("error");
        showChooseAsRetry();
        report(kUploadFailed);
        text = kNetworkTrouble;
    } else if (ret) {
        if (*ret == 0) {
            image = bundleImage("success");
            report(kUploadSucceeded);
            text = "设置成功";
        } else {
            isCancelled_ = false;
            image = bundleImage("error");
            showChooseAsRetry();
            report(kUploadFailed);
            text = "设置出错了，请重新登录再尝试下呢:)";
        }
    }
    if (notify_) notify_->removeFromSuperview();
    showNotify(image, text);
}

void SetHeadImageViewController::showNotify(const Ref<UIImage>& image, const std::optional<std::string>& text) {
    if (notify_) {
        notify_->setImage(image);
        notify_->setText(text);
    } else {
        notify_ = UINotifyView::notifyViewWithImage(image, text);
    }
    notify_->setCenter(CGPointMake(view()->bounds().size.width / 2, view()->bounds().size.height / 2));
    if (notify_->isAnimating()) return;
    view()->addSubview(notify_);
    notify_->presentWithDuration(1.0, 0.5, view(), nullptr);
    replaceTimer(1.1, &SetHeadImageViewController::removeNotifyView);
}

void SetHeadImageViewController::removeNotifyView() {
    if (timer_) timer_->invalidate();
    timer_.reset();
    if (notify_) {
        notify_->removeFromSuperview();
        notify_.reset();
    }
    if (isCancelled_) askToClose();
}

void SetHeadImageViewController::cancelBtnClick() {
    if (ended_) return;
    clickTime_ = now();
    reportWithTime(kCancel);
    askToClose();
}

Ref<setHeadImageDelegate> SetHeadImageViewController::liveDelegate() const {
    return ended_ ? nullptr : delegate_.lock();
}

void SetHeadImageViewController::askToClose() {
    auto delegate = liveDelegate();
    if (!delegate) return;
    ended_ = true;
    if (memoryWarningObserver_) NSNotificationCenter::defaultCenter()->removeObserver(memoryWarningObserver_.get());
    memoryWarningObserver_.reset();
    delegate->didCancelled(self<SetHeadImageViewController>(), seq_);
}

void SetHeadImageViewController::onClickApp() {
    if (isSetUserPic_) {
        uploadAwaited_ = false;
        updateSpinner();
        selectBtnClick();
    } else if (notify_ && notify_->isAnimating()) {
        WeakRef<SetHeadImageViewController> weak = self<SetHeadImageViewController>();
        notify_->presentWithDuration(1.0, 0.5, view(), [weak] {
            if (auto screen = weak.lock()) screen->removeNotifyView();
        });
    }
}

void SetHeadImageViewController::scrollViewWillBeginDragging(const Ref<UIScrollView>&) { report(kDragStarted); }

Ref<UIImage> SetHeadImageViewController::imageWithImage(const Ref<UIImage>& image, CGSize size) {
    UIGraphicsBeginImageContextWithOptions(size, false, 1);
    image->drawInRect(CGRectMake(0, 0, size.width, size.height));
    auto scaled = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return scaled;
}

Ref<UIImage> SetHeadImageViewController::getSubImage(const Ref<UIImage>& image, CGRect rect) {
    if (!image || !image->CGImage()) return nullptr;
    auto piece = CGImageCreateWithImageInRect(image->CGImage(), rect);
    return piece ? UIImage::imageWithCGImage(piece) : nullptr;
}
