#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSTimer.h"
#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/setHeadImageDelegate.h"
#include "kits/pal/PalApi/PalApiInterface/UINotifyView.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScrollView.h"
#include "uikit/UIScrollViewDelegate.h"
#include "uikit/UIToolbar.h"
#include "uikit/UIViewController.h"

// The square frame of the head-image screen: a white 1-point outline.
class DestRectView : public UIView {
public:
    using UIView::UIView;
    void drawRect(CGRect rect) override;
};

// Move and zoom a picture under a fixed square, cut out what the square
// shows and hand it to the delegate for upload; the upload's answer shows
// as a notice, and a success ends the screen. Portrait only.
class SetHeadImageViewController : public UIViewController, public UIScrollViewDelegate {
public:
    // Pictures above 2048 x 2048 pixels are scaled down first.
    static constexpr double kMaxPicturePixels = 2048.0 * 2048.0;
    static constexpr double kMaxCutSide = 640;
    static constexpr int kNickLimit = 24;

    ~SetHeadImageViewController() override;

    const std::optional<std::string>& nick() const { return nick_; }
    // Truncated to 24 width units and shown beside the Pal icon.
    void setNick(const std::optional<std::string>& nick);
    const Ref<UIImage>& image() const { return image_; }
    void setImage(const Ref<UIImage>& image);
    const std::optional<std::string>& fileName() const { return fileName_; }
    void setFileName(std::optional<std::string> name) { fileName_ = std::move(name); }
    const std::optional<std::string>& appId() const { return appId_; }
    void setAppId(std::optional<std::string> appId) { appId_ = std::move(appId); }
    void setDelegate(const Ref<setHeadImageDelegate>& delegate) { delegate_ = delegate; }

    bool setViewControllerData(const Dictionary& data);
    bool setViewControllerResponse(const Ref<APIResponse>& response);

    void cancelBtnClick();
    void selectBtnClick();
    void onTimer();
    void showNotify(const Ref<UIImage>& image, const std::optional<std::string>& text);
    void removeNotifyView();
    void onClickApp();
    void resetImage();

    static CGSize ajustDisplaySize(CGSize size);
    static Ref<UIImage> imageWithImage(const Ref<UIImage>& image, CGSize size);
    static Ref<UIImage> getSubImage(const Ref<UIImage>& image, CGRect rect);
    // The prefix that fits `limit` (a unit above 0xFF costs 2) and "…".
    static std::optional<std::string> stringByNBOSDKTruncateWithDotAtLimit(int limit, const std::optional<std::string>& text);
    static CGSize screenSizeOrientationIndependent();
    // The square's side: the screen's shorter side (320 points on the
    // phones the screen was drawn for). The picture's shorter side is shown
    // this long at the smallest zoom, and the cut is the square's inside,
    // one point in from its outline on every side.
    static CGFloat squareSide();

    std::int32_t seq() const { return seq_; }
    const Ref<UIScrollView>& scrollView() const { return scrollView_; }
    const Ref<UIImageView>& headImage() const { return headImage_; }
    const Ref<UILabel>& nickLabel() const { return nickLabel_; }
    const Ref<UIBarButtonItem>& selectBtn() const { return selectBtn_; }
    const Ref<UIBarButtonItem>& cancelBtn() const { return cancelBtn_; }
    const Ref<UINotifyView>& notify() const { return notify_; }
    const Ref<UIActivityIndicatorView>& activityView() const { return activityView_; }
    bool isSetUserPic() const { return isSetUserPic_; }

    void viewDidLoad() override;
    // The status bar is hidden while the screen shows, and put back as the
    // app had it when the screen goes.
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    UIInterfaceOrientationMask supportedInterfaceOrientations() override { return UIInterfaceOrientationMaskPortrait; }
    bool shouldAutorotate() override { return false; }
    bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) override { return false; }
    Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) override { return headImage_; }
    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override;
    std::string className() const override { return "SetHeadImageViewController"; }

protected:
    void didCreate() override;

private:
    // The spinner runs while no picture shows or an upload is awaited, and
    // only then.
    void updateSpinner();
    // The delegate while the screen has not asked to be closed; none after.
    Ref<setHeadImageDelegate> liveDelegate() const;
    // Asks the delegate to close the screen; the screen says nothing more
    // to it after, and no longer answers memory warnings.
    void askToClose();
    void setUserHeadPicResponse(const Ref<APIResponse>& response);
    void startSpinner();
    void removeSpinner();
    void replaceTimer(double interval, void (SetHeadImageViewController::*action)());
    void showChooseAsRetry();
    void report(const char* action);
    void reportWithTime(const char* action);
    float bandHeight() const;
    static Ref<UIImage> bundleImage(const std::string& name);
    Ref<UIImage> cut(CGRect rect) const;

    std::int32_t seq_ = -1;
    bool lastControllerStatusBarHidden_ = false;
    Ref<UIScrollView> scrollView_;
    Ref<UIImageView> headImage_;
    Ref<UIView> topView_;
    Ref<UIView> bottomView_;
    Ref<DestRectView> destRectView_;
    Ref<UIToolbar> toolbar_;
    Ref<UILabel> nickLabel_;
    std::optional<std::string> nick_;
    Ref<UIImageView> palImage_;
    Ref<UIBarButtonItem> cancelBtn_;
    Ref<UIBarButtonItem> selectBtn_;
    Ref<UILabel> lable_;
    bool isSetUserPic_ = false;
    // The delegate took the cut and its answer has not come yet.
    bool uploadAwaited_ = false;
    bool ended_ = false;
    double enterTime_ = 0;
    double clickTime_ = 0;
    Ref<UINotifyView> notify_;
    Ref<UIImage> image_;
    bool isCancelled_ = false;
    WeakRef<setHeadImageDelegate> delegate_;
    std::optional<std::string> fileName_;
    std::optional<std::string> appId_;
    Ref<UIActivityIndicatorView> activityView_;
    Ref<NSTimer> timer_;
    Ref<NSObject> becomeActiveObserver_;
    Ref<NSObject> memoryWarningObserver_;
};
