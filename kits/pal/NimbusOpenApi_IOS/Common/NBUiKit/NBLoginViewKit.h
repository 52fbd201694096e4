#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSDate.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusLoginDelegate.h"

class NBLoginViewKit;

// The outcome of a web login, for the session object; every method is
// optional.
class NBLoginViewDelegate {
public:
    virtual ~NBLoginViewDelegate() = default;
    // The token fields are readable on the kit.
    virtual void loginViewKitDidSucceedLogin(const Ref<NBLoginViewKit>&, const std::optional<std::string>& /*serial*/) {}
    // A null error means the user cancelled.
    virtual void loginViewKitDidFailuredWithError(const Ref<NBLoginViewKit>&, const Ref<NSError>&,
                                                  const std::optional<std::string>& /*serial*/) {}
    virtual bool loginViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBLoginViewKit>&, UIInterfaceOrientation) {
        return true;
    }
    virtual UIInterfaceOrientationMask supportedInterfaceOrientationsWithLoginWebkit(const Ref<NBLoginViewKit>&) {
        return UIInterfaceOrientationMaskAll;
    }
    virtual bool shouldAutorotateWithLoginWebkit(const Ref<NBLoginViewKit>&) { return true; }
};

// The Pal connect login through the web authorisation page, in the kit's
// web window. Two ways back:
// - web-view mode: the page finally loads "auth://" + redirect URI with the
//   token in the fragment; the kit takes it and closes the window, and the
//   outcome is told when the window has closed;
// - browser mode: the request carries a fresh key ("token_key") and a
//   serial; the answer comes on the app's own scheme ("nimbus" + app id),
//   from the system or intercepted in the window, with the token masked by
//   the key; it is unmasked here and the outcome told at once.
class NBLoginViewKit : public NBWebViewKit, public NBWebViewKitDelegate {
public:
    static constexpr const char* kAuthorizePath = "/oauth2.0/m_authorize";

    NBLoginViewKit() = default;
    NBLoginViewKit(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                   std::vector<std::string> permissions, const Ref<NBLoginViewDelegate>& loginDelegate);
    ~NBLoginViewKit() override;

    void setAuthorData(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                       std::vector<std::string> permissions);
    void clearData();
    void cleanUp();

    bool openWithAppId(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                       std::vector<std::string> permissions, const Ref<NBLoginViewDelegate>& loginDelegate);
    // Web-view mode; false without an app id.
    bool open();
    bool openWithExtraParams(const Dictionary& extraParams);
    // Browser mode; false without an app id or serial, or when the app does
    // not declare its "nimbus" scheme.
    bool openWithSafari();
    bool openWithSafariAndExtraParams(const Dictionary& extraParams);

    // Own pages always come back to this kit.
    void loadReqURL(std::optional<std::string> url, std::optional<std::string> webTitle);
    void openWithUrl(std::optional<std::string> url, std::optional<std::string> webTitle);

    std::string getOwnBaseUrl() const;
    // "nimbus" + app id + "://" + the authorisation host.
    std::string callbackPrefix() const;
    // base?key=escaped value&... in the dictionary's order.
    static std::string generateUrlString(const std::string& base, const Dictionary& params);
    // Nothing when the text has no pieces.
    static std::optional<Dictionary> parseURLParams(const std::string& query);
    bool canHandleOpenURL(const Ref<NSURL>& url) const;
    // A browser-mode answer: whether the kit took it.
    bool handleOpenURL(const Ref<NSURL>& url);
    // Evaluates the script in the page, then closes the window.
    void doJsFun(const std::string& script);
    static bool isNewPalBrowserInstall();
    static bool isOldPalBrowserInstall();

    const std::optional<std::string>& appId() const { return appId_; }
    const std::optional<std::string>& redirectURI() const { return redirectURI_; }
    const std::vector<std::string>& permissions() const { return permissions_; }
    Ref<NBLoginViewDelegate> loginDelegate() const { return loginDelegate_.lock(); }
    void setLoginDelegate(const Ref<NBLoginViewDelegate>& delegate) { loginDelegate_ = delegate; }
    Ref<NimbusLoginDelegate> newloginDelegate() const { return newloginDelegate_.lock(); }
    void setNewloginDelegate(const Ref<NimbusLoginDelegate>& delegate) { newloginDelegate_ = delegate; }
    const Dictionary& extraParams() const { return extraParams_; }
    void setExtraParams(Dictionary params) { extraParams_ = std::move(params); }
    const std::optional<std::string>& serial() const { return serial_; }
    void setSerial(std::optional<std::string> serial) { serial_ = std::move(serial); }
    std::int32_t authMode() const { return authMode_; }
    void setAuthMode(std::int32_t mode) { authMode_ = mode; }
    const std::optional<std::string>& accessToken() const { return accessToken_; }
    const std::optional<std::string>& openId() const { return openId_; }
    const std::optional<NSDate>& expirationDate() const { return expirationDate_; }
    const std::optional<std::string>& payToken() const { return payToken_; }
    const std::optional<std::string>& encryToken() const { return encryToken_; }
    const Dictionary& passData() const { return passData_; }
    const std::optional<std::string>& errorUrl() const { return errorUrl_; }
    // Browser-mode logins waiting for their answer: serial -> {"token_key"}.
    const std::optional<Dictionary>& loginDict() const { return loginDict_; }
    bool browserErrorFlag() const { return browserError_; }

    // NBWebViewKitDelegate (its own window's)
    bool webViewKitShouldStartLoadWithRequest(const Ref<NBWebViewKit>&, const Ref<NSURLRequest>& request,
                                              UIWebViewNavigationType type) override;
    void webViewKitDidFinishedWithError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) override;
    void webViewKitDidLoadWithNetworkError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) override;
    void webViewKitDidLoadWithContentError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) override;
    bool webViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewKit>&,
                                                          UIInterfaceOrientation orientation) override;
    UIInterfaceOrientationMask supportedInterfaceOrientationsWithWebkit(const Ref<NBWebViewKit>&) override;
    bool shouldAutorotateWithWebkit(const Ref<NBWebViewKit>&) override;

protected:
    void didCreate() override;

private:
    // The redirect URI without a scheme, defaulting to the Pal web site.
    std::string normalisedRedirectURI();
    Dictionary commonParams(const std::string& responseType, const std::string& redirect) const;
    void addScopeAndExtras(Dictionary& params, const Dictionary& extraParams) const;
    void takeWebViewAnswer(const std::string& url);
    void reportSuccess(const std::optional<std::string>& serial);
    void reportFailure(const Ref<NSError>& error, const std::optional<std::string>& serial);
    void forgetBrowserLogin(const std::string& serial);
    void forgetReplacedLogins();
    // A non-empty token whose expiry is still ahead.
    bool hasUsableToken() const;
    Ref<NBLoginViewKit> me() { return self<NBLoginViewKit>(); }

    std::optional<std::string> appId_;
    std::optional<std::string> redirectURI_;
    std::vector<std::string> permissions_;
    WeakRef<NBLoginViewDelegate> loginDelegate_;
    WeakRef<NimbusLoginDelegate> newloginDelegate_;
    Dictionary extraParams_;
    std::optional<std::string> serial_;
    std::int32_t authMode_ = 0;
    std::optional<std::string> accessToken_;
    std::optional<std::string> openId_;
    std::optional<NSDate> expirationDate_;
    std::optional<std::string> payToken_;
    std::optional<std::string> encryToken_;
    Dictionary passData_;
    std::optional<std::string> errorUrl_;
    std::optional<Dictionary> loginDict_;
    // The app's delegates of the browser-mode records, weakly, by serial.
    std::map<std::string, WeakRef<NimbusLoginDelegate>> loginDelegates_;
    bool browserError_ = false;
    bool userCancel_ = false;
};
