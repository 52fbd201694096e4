#pragma once

#include <optional>
#include <string>
#include <vector>

#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewKit.h"
#include "foundation/NSTimer.h"
#include "graphics/UIImage.h"
#include "uikit/UIWindow.h"

class SetHeadImageViewController;
class setHeadImageDelegate;

// The session object's entry to the kit's screens: the head-image screen in
// a window of its own above the app (the app's other windows moved one
// width to the right meanwhile) or handed to the app to present, the web
// window of the session's dialogs, and the session's later data (nick name,
// upload answer) passed to the head-image screen that shows.
class NBUiKit : public NSObject {
public:
    // Delay before the picture and nick reach a new screen.
    static constexpr double kWindowDeliveryDelay = 0.01;
    static constexpr double kHandedOutDeliveryDelay = 0.1;

    explicit NBUiKit(std::optional<std::string> appId) : appId_(std::move(appId)) {}
    ~NBUiKit() override;

    // NO without a picture or while the kit window shows.
    bool popSetHeadImageViewWnd(const Ref<setHeadImageDelegate>& delegate, const Ref<UIImage>& image,
                                const std::optional<std::string>& fileName, const std::optional<std::string>& userNick);
    // A screen for the app to present; null without a picture.
    Ref<SetHeadImageViewController> getHeadImageViewController(const Ref<setHeadImageDelegate>& delegate,
                                                               const Ref<UIImage>& image,
                                                               const std::optional<std::string>& fileName,
                                                               const std::optional<std::string>& userNick);
    bool popWebViewWnd(const std::optional<std::string>& url, const std::optional<std::string>& webTitle,
                       const Ref<NBWebViewKitDelegate>& delegate);
    Ref<NBWebViewController> getWebViewController(const std::optional<std::string>& url,
                                                  const std::optional<std::string>& webTitle,
                                                  const Ref<NBWebViewKitDelegate>& delegate);

    // The login screens live with the session's own login kit: these
    // entries do nothing (nil and YES).
    Ref<UIViewController> getLoginViewController(const std::optional<std::string>& appId,
                                                 const std::vector<std::string>& permissions,
                                                 const std::optional<std::string>& serial, const Dictionary& extraParams,
                                                 const Ref<NimbusLoginDelegate>& newloginDelegate,
                                                 const Ref<NBLoginViewDelegate>& loginDelegate);
    bool popLoginWnd(const std::optional<std::string>& appId, const std::vector<std::string>& permissions,
                     const std::optional<std::string>& serial, const Dictionary& extraParams,
                     const Ref<NimbusLoginDelegate>& newloginDelegate, const Ref<NBLoginViewDelegate>& loginDelegate);
    // A slot for a login kit; nothing of the kit fills it.
    const Ref<NBLoginViewKit>& loginViewKit() const { return loginViewKit_; }
    void setLoginViewKit(Ref<NBLoginViewKit> kit) { loginViewKit_ = std::move(kit); }

    // {"nick": name} for the head-image screen showing.
    bool setViewControllerData(const Dictionary& data);
    // The upload's answer for the head-image screen showing.
    bool setViewControllerResponse(const Ref<APIResponse>& response);
    // Brings the app's windows back and closes the kit window; drops the
    // handed-out screen.
    void doClose();
    // Reports how the head-image screen closed ("10659" with a nick,
    // "10661" without), hides the window and gives the key window back.
    void closeWindow();

    // The screen in the kit window, else the handed-out one.
    Ref<SetHeadImageViewController> headImageScreen() const;
    const std::optional<std::string>& appId() const { return appId_; }
    const Ref<SetHeadImageViewController>& headImageViewController() const { return headImageViewController_; }
    const Ref<NBWebViewKit>& webViewKit() const { return webViewKit_; }
    const Ref<UIWindow>& window() const { return window_; }
    const Ref<UIWindow>& keywindow() const { return keywindow_; }

private:
    Ref<SetHeadImageViewController> makeScreen(const Ref<setHeadImageDelegate>& delegate,
                                               const std::optional<std::string>& fileName,
                                               const std::optional<std::string>& userNick);
    void startDelivery(double delay, const Ref<UIImage>& image, const std::optional<std::string>& userNick);
    void onTimerSetPic(const Ref<NSTimer>& timer);
    Ref<SetHeadImageViewController> windowScreen() const;
    void MoveOtherWindowOutOfFrame();
    void MoveOhterWindowIntoFrame();
    void shutWindow();

    std::optional<std::string> appId_;
    Ref<SetHeadImageViewController> headImageViewController_;
    Ref<NBWebViewKit> webViewKit_;
    Ref<NBLoginViewKit> loginViewKit_;
    Ref<UIWindow> window_;
    Ref<UIWindow> keywindow_;
    Ref<NSTimer> timer_;
    std::vector<Ref<UIWindow>> windowsArray_;
};
