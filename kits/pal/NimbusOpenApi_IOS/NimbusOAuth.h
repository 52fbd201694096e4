#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSDate.h"
#include "foundation/NSObject.h"
#include "foundation/NSTimer.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "graphics/UIImage.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBParameterDictionaries.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/setHeadImageDelegate.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

// The Pal connect kit's login session object: made once by the host app
// with its Pal application identifier, it holds the session (in memory
// only) and takes the URLs the app is opened with. A session delegate, when
// given, is registered with the kit's login registry; without one nothing is
// registered for login replies.
class NBAPIRequest;
class NBOSDKReachability;
class NimbusIncrAuthLogic;
class NBAPIRequestDelegate;
class NBUiKit;
class NSNotificationCenter;
class UIViewController;

class NimbusOAuth : public NSObject,
                    public APIBaseDelegate,
                    public setHeadImageDelegate,
                    public NimbusLoginDelegate,
                    public NBLoginViewDelegate,
                    public NimbusRequestDelegate,
                    public NBWebViewKitDelegate {
public:
    // The redirect address a new session starts with.
    static constexpr const char* kPalWebSiteHost = NimbusConnectHosts::kPalWebSiteHost;

    NimbusOAuth(std::optional<std::string> appId, const Ref<NimbusSessionDelegate>& delegate);
    ~NimbusOAuth() override;

    // The URL callbacks' entry: whether the kit recognised the URL.
    static bool HandleOpenURL(const Ref<NSURL>& url);
    // A sign-on reply, or a URL that the legacy layer takes.
    static bool CanHandleOpenURL(const Ref<NSURL>& url);
    // A URL handed on by the login registry: the web login's answer (then
    // NO), else whatever the legacy layer makes of it for the delegate.
    bool handleOpenURL(const Ref<NSURL>& url);
    bool oldCanhandleOpenURL(const Ref<NSURL>& url) const;
    // An app that comes back while a sign-on request is out stops waiting;
    // then retryHandleOpenURL.
    void appBecomeActive();
    // Withdraws every delayed perform aimed at the session.
    void retryHandleOpenURL();

    // The decimal identifier after conversion; nothing when it was refused.
    const std::optional<std::string>& appId() const { return appId_; }
    // Held in memory only: a new process starts logged out.
    const std::optional<std::string>& accessToken() const { return accessToken_; }
    // The token, open id and account number also go to the share layer.
    void setAccessToken(std::optional<std::string> token);
    const std::string& redirectURI() const { return redirectURI_; }
    void setRedirectURI(std::string address) { redirectURI_ = std::move(address); }
    Ref<NimbusSessionDelegate> sessionDelegate() const { return sessionDelegate_.lock(); }
    // A delegate registers the session with the login registry; null takes
    // the old delegate out of it.
    void setSessionDelegate(const Ref<NimbusSessionDelegate>& delegate);

    const std::optional<std::string>& openId() const { return openId_; }
    void setOpenId(std::optional<std::string> openId);
    const std::optional<NSDate>& expirationDate() const { return expirationDate_; }
    void setExpirationDate(std::optional<NSDate> date) { expirationDate_ = date; }
    // The login by account number and session key; the number goes to the
    // share layer, an empty one too.
    const std::optional<std::string>& uin() const { return uin_; }
    void setUin(std::optional<std::string> uin);
    const std::optional<std::string>& encryToken() const { return encryToken_; }
    // A token is also written into the PalSpace pages' storage.
    void setEncryToken(std::optional<std::string> token);
    // A map the host app may keep on the session; the kit does not read it.
    const Dictionary& openIdDict() const { return openIdDict_; }
    void setOpenIdDict(Dictionary dict) { openIdDict_ = std::move(dict); }
    // What a sign-on reply carried beyond the known keys.
    const Dictionary& passData() const { return passData_; }
    void setPassData(Dictionary data) { passData_ = std::move(data); }
    // 1 asks for a server-side login.
    std::int32_t authMode() const { return authMode_; }
    void setAuthMode(std::int32_t mode) { authMode_ = mode; }
    const std::optional<std::string>& skey() const { return skey_; }
    void setSkey(std::optional<std::string> skey) { skey_ = std::move(skey); }
    const std::optional<std::string>& userNick() const { return userNick_; }
    bool userGetUserInfo() const { return userGetUserInfo_; }
    const Ref<NBUiKit>& tcUiKit() const { return tcUiKit_; }

    // --- Logins: single sign-on through the Pal or PalWork app, or the web
    // login in the kit's window when that cannot be asked for. The session
    // itself is the login delegate and passes the outcome to the session
    // delegate. Main thread only. ---
    bool authorize(const std::vector<std::string>& permissions, bool inSafari = false);
    bool authorize(const std::vector<std::string>& permissions, std::optional<std::string> localAppId, bool inSafari);
    // Always YES: a refused sign-on request falls back to the web login.
    bool authorizeWithPermissions(std::vector<std::string> permissions, const Dictionary& extraParams,
                                  const Ref<NimbusLoginDelegate>& delegate, bool inSafari);
    // The web login; NO when the app lacks its "nimbus" scheme (an alert
    // says so), without network, or when the page cannot open.
    bool authorizeWithNimbusAppAuthInSafari(bool inSafari, const std::vector<std::string>& permissions,
                                            const Dictionary& extraParams, const Ref<NimbusLoginDelegate>& delegate);
    // Widens the login by more permissions (NO for none, or without a
    // token) or logs in again; the outcome reaches the session delegate as
    // nimbusDidUpdate or nimbusFailedUpdate.
    bool incrAuthWithPermissions(const std::vector<std::string>& permissions);
    bool reauthorizeWithPermissions(const std::vector<std::string>& permissions);
    void nimbusDidUpdate(const Ref<NimbusOAuth>& session);
    void nimbusFailedUpdate(std::int32_t reason);
    // Forgets the session (token, open id, account number and session key,
    // expiry, permissions, nickname, encrypted token, pass data, union id)
    // and the login registry's waiting parties, and ends the user's calls in
    // flight unanswered; nimbusDidLogout to the session delegate when it
    // provides it, else to the one given.
    void logout(const Ref<NimbusSessionDelegate>& delegate);
    // The network watch of a web login: NO when the Pal web site cannot be
    // reached now; while it runs, losing the network shows an alert.
    bool StartNotifyNetWork();
    void StopNotifyNetWork();
    const std::vector<std::string>& permissions() const { return permissions_; }
    const std::optional<std::string>& localAppId() const { return localAppId_; }
    // 0 Pal, 1 PalWork: which app a sign-on asks, and the redirect address.
    std::int32_t authShareType() const { return authShareType_; }
    void setAuthShareType(std::int32_t type);
    const Ref<NBLoginViewKit>& loginViewKit() const { return loginViewKit_; }
    // Open web logins: serial -> login delegate.
    std::size_t pendingWebLogins() const { return loginDict_.size(); }

    // Login outcomes reaching the session: state back to idle, then on to
    // the session delegate.
    void nimbusDidLogin() override;
    void nimbusDidNotLogin(bool cancelled) override;
    void nimbusDidNotNetWork() override;
    // The web login's outcome, for the delegate waiting under its serial.
    void loginViewKitDidSucceedLogin(const Ref<NBLoginViewKit>& kit, const std::optional<std::string>& serial) override;
    void loginViewKitDidFailuredWithError(const Ref<NBLoginViewKit>& kit, const Ref<NSError>& error,
                                          const std::optional<std::string>& serial) override;
    // The login page's rotation questions go to the session delegate; YES,
    // every orientation and YES when it does not answer.
    bool loginViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBLoginViewKit>&,
                                                           UIInterfaceOrientation orientation) override;
    UIInterfaceOrientationMask supportedInterfaceOrientationsWithLoginWebkit(const Ref<NBLoginViewKit>&) override;
    bool shouldAutorotateWithLoginWebkit(const Ref<NBLoginViewKit>&) override;

    // --- Open id, union id and the graph login ---
    // Asks the open id for the token of a server-side web login, with the
    // login's serial as the request's number; the answer completes the login
    // waiting under that serial. NO without a valid session or serial.
    bool getOpenId(const std::string& serial);
    void getOpenIdResponse(const Ref<APIResponse>& response);
    // Asks the union id of the logged-in user; didGetUnionID tells the
    // session delegate when it has come.
    bool RequestUnionId();
    void getUnionIdResponse(const Ref<APIResponse>& response);
    const std::optional<std::string>& unionid() const { return unionid_; }
    // A token obtained elsewhere: the open id is asked for it, and the login
    // is told to the session delegate.
    void nimbusDialogLogin(std::optional<std::string> token, std::optional<NSDate> expirationDate);
    void didLoad(const Ref<NimbusRequest>& request, const Value& result, const NSData& data) override;
    void didFailWithError(const Ref<NimbusRequest>& request, const Ref<NSError>& error) override;

    static std::string sdkVersion();
    static std::string sdkSubVersion() { return "3"; }
    static bool isLiteSDK() { return false; }
    // The lower-case MD5 of the salted token, app id and open id, sent as
    // "encrytoken" to PalSpace; a missing value counts as "(null)".
    std::optional<std::string> localEncrytedToken() const;
    // "name=value&..." with percent-decoded values; a later name wins,
    // pieces without "=" are skipped.
    static Dictionary parseURLParams(const std::string& query);
    // The app's own switch for sharing through the kit's web page.
    static void openSDKWebViewPalShareEnable();
    static std::int32_t sendRespMessageToNimbusApp(const Ref<NimbusApiResp>& response);
    // The lower-case entry names no token: always nothing.
    std::optional<std::string> encrytoken() const { return std::nullopt; }
    const std::optional<std::string>& getServerSideCode() const { return accessToken_; }
    const std::optional<std::string>& getUserOpenID() const { return openId_; }
    static std::optional<std::string> getLastErrorMsg();
    static std::int32_t authorizeState();
    // "nimbus" + app id + "://" + redirect address.
    std::string getOwnBaseUrl() const;
    // The Pal apps installed, by the schemes they answer.
    static int iphonePalVersion();
    static int iphonePalWorkVersion();
    static bool iphonePalInstalled();
    static bool iphonePalSupportSSOLogin();
    static bool iphonePalSpaceInstalled();
    static bool iphonePalSpaceSupportSSOLogin();
    static bool iphonePalWorkInstalled();
    static bool iphonePalWorkSupportSSOLogin();

    // A key login, or a token whose expiry lies strictly after now.
    bool isSessionValid() const;
    bool isOpenIdValid() const;

    // --- Open API calls: NO without a valid session and open id, else YES
    // once sent; each answer goes to the session delegate's callback. ---
    bool getUserInfo();
    bool getListAlbum();
    bool getListPhotoWithParams(const Dictionary& params);
    bool addShareWithParams(const Dictionary& params);
    bool uploadPicWithParams(const Dictionary& params);
    bool addAlbumWithParams(const Dictionary& params);
    bool addOneBlogWithParams(const Dictionary& params);
    bool checkPageFansWithParams(const Dictionary& params);
    bool addTopicWithParams(const Dictionary& params);
    bool getVipInfo();
    bool getVipRichInfo();
    // The same calls with their parameter dictionaries.
    bool getListPhotoWithParams(const Ref<NBListPhotoDic>& params) { return getListPhotoWithParams(params->params()); }
    bool addShareWithParams(const Ref<NBAddShareDic>& params) { return addShareWithParams(params->params()); }
    bool uploadPicWithParams(const Ref<NBUploadPicDic>& params) { return uploadPicWithParams(params->params()); }
    bool addAlbumWithParams(const Ref<NBAddAlbumDic>& params) { return addAlbumWithParams(params->params()); }
    bool addOneBlogWithParams(const Ref<NBAddOneBlogDic>& params) { return addOneBlogWithParams(params->params()); }
    bool checkPageFansWithParams(const Ref<NBCheckPageFansDic>& params) {
        return checkPageFansWithParams(params->params());
    }
    bool addTopicWithParams(const Ref<NBAddTopicDic>& params) { return addTopicWithParams(params->params()); }

    void getUserInfoResponse(const Ref<APIResponse>& response);
    void getUserInfoNotUserResponse(const Ref<APIResponse>& response);
    void getListAlbumResponse(const Ref<APIResponse>& response);
    void getListPhotoResponse(const Ref<APIResponse>& response);
    void addShareResponse(const Ref<APIResponse>& response);
    void uploadPicResponse(const Ref<APIResponse>& response);
    void addAlbumResponse(const Ref<APIResponse>& response);
    void addOneBlogResponse(const Ref<APIResponse>& response);
    void checkPageFansResponse(const Ref<APIResponse>& response);
    void addTopicResponse(const Ref<APIResponse>& response);
    void getVipInfoResponse(const Ref<APIResponse>& response);
    void getVipRichInfoResponse(const Ref<APIResponse>& response);
    void setUserHeadpicResponse(const Ref<APIResponse>& response);

    // "\n", "&#92;", "&#39;", "&quot;", "&lt;", "&gt;" replaced in that order.
    static std::optional<std::string> stringByNBOSDKReplacingHtmlEscapes(const std::optional<std::string>& text);

    // The head picture: {"pic": image, "filename": name}. Shows the
    // head-image screen in the kit's window (or hands it out); a picture of
    // more than 3264 x 2448 pixels is answered at once with detail code
    // 0x10000.
    static constexpr double kMaxHeadPicturePixels = 3264.0 * 2448.0;
    static constexpr std::size_t kMaxPNGBytes = 102400;
    bool setUserHeadpic(const Dictionary& params);
    bool setUserHeadpic(const Dictionary& params, Ref<UIViewController>* screen);
    bool setUserHeadpic(const Ref<NBSetUserHeadpic>& params) { return setUserHeadpic(params->params()); }
    bool setUserHeadpic(const Ref<NBSetUserHeadpic>& params, Ref<UIViewController>* screen) {
        return setUserHeadpic(params->params(), screen);
    }
    // The screen's cut: uploaded as PNG, or as JPEG (quality 0.5) when the
    // PNG passes 102,400 bytes; the request's number, or -1.
    std::int32_t didFinishedSetUserLocalPic(const Ref<UIViewController>& screen, const Ref<UIImage>& image,
                                            const std::optional<std::string>& fileName) override;
    // Closes the screen that asked, a moment later: the session delegate
    // is told to close it, and the kit lets go of it when it is the kit's.
    bool didCancelled(const Ref<UIViewController>& screen, std::int32_t seq) override;
    void apiBaseDidSendBodyData(const Ref<APIBase>& request, std::int64_t bytesWritten, std::int64_t totalBytesWritten,
                                std::int64_t totalBytesExpected) override;

    // --- Graph requests and request objects ---
    Ref<NimbusRequest> openUrl(const std::string& url, Dictionary& params, const std::string& httpMethod,
                               const Ref<NimbusRequestDelegate>& delegate);
    Ref<NimbusRequest> requestWithGraphPath(const std::string& path, Dictionary params, const std::string& httpMethod,
                                            const Ref<NimbusRequestDelegate>& delegate);
    // The same with "GET", and with no parameters.
    Ref<NimbusRequest> requestWithGraphPath(const std::string& path, Dictionary params,
                                            const Ref<NimbusRequestDelegate>& delegate) {
        return requestWithGraphPath(path, std::move(params), "GET", delegate);
    }
    Ref<NimbusRequest> requestWithGraphPath(const std::string& path, const Ref<NimbusRequestDelegate>& delegate) {
        return requestWithGraphPath(path, Dictionary(), "GET", delegate);
    }
    Ref<NimbusRequest> requestWithMethodName(const std::string& name, Dictionary params, const std::string& httpMethod,
                                             const Ref<NimbusRequestDelegate>& delegate);
    // The map's "method" names the call (GET); nothing without one.
    Ref<NimbusRequest> requestWithParams(Dictionary params, const Ref<NimbusRequestDelegate>& delegate);
    const Ref<NimbusRequest>& request() const { return request_; }
    Ref<NBAPIRequest> cgiRequestWithURL(const Ref<NSURL>& url, const std::string& method, const Dictionary& params,
                                        const Ref<NBAPIRequestDelegate>& callback);
    bool sendAPIRequest(const Ref<NBAPIRequest>& request, const Ref<NBAPIRequestDelegate>& callback);
    void onCGIRequestDidResponse(const Ref<APIResponse>& response);
    // The first call carrying that user data is cancelled; NO when none does.
    bool cancel(const Value& userData);
    // Cancels every call; the entries stay.
    void cancelAllAPIRequest();

    // Web-API calls in flight, by their sequence number ("%d").
    const std::map<std::string, Ref<APIBase>>& apiRequests() const { return apiRequests_; }
    void deleteAPIRequestBySeq(const std::string& seq);
    // Cancels and forgets the call kept under a request object's key.
    void cancelWithRequestKey(const Value& requestKey);
    // Asked when an answer says a call needs more permissions: whether the
    // session delegate wants the login widened (YES for no permissions, or
    // when the delegate does not say); NO drops the answer.
    bool nimbusNeedPerformIncrAuth(const Ref<NimbusOAuth>& session, const std::vector<std::string>& permissions);
    bool nimbusNeedPerformReAuth(const Ref<NimbusOAuth>& session);

    // --- PalSpace dialogs: a story, an app invitation, a challenge ("pk" or
    // "brag") and a gift request ("request" or "freegift"). NO without a
    // valid session and open id, after a parameter alert, or when the dialog
    // cannot be shown; YES once it is. PalSpace 4 and later takes the
    // invitation, challenge and gift as commands on its pasteboard; otherwise,
    // and always for the story, the kit's dialog page opens in its web window
    // and its answer comes back as a "nimbus<appid>://<iface>/<outcome>?..."
    // address (below), for sendStoryResponse or responseDidReceived. ---
    // Takes "userData" out of the caller's map; the friends' open ids become
    // the receivers.
    bool sendStory(Dictionary& params, const Array& friendList);
    bool sendStory(const Ref<NBSendStoryDic>& params, const Array& friendList) {
        return sendStory(params->params(), friendList);
    }
    // NO, after the alert "分享失败" / "标题不能为空", for a blank title.
    bool checkSendStoryParam(const Dictionary& params, const Array& fopenIdArray);
    bool sendAppInvitationWithDescription(const std::optional<std::string>& desc,
                                          const std::optional<std::string>& imageURL,
                                          const std::optional<std::string>& source);
    bool sendChallenge(const std::optional<std::string>& receiver, const std::optional<std::string>& type,
                       const std::optional<std::string>& imageURL, const std::optional<std::string>& message,
                       const std::optional<std::string>& source);
    bool sendGiftRequest(const std::optional<std::string>& receiver, const std::optional<std::string>& exclude,
                         const std::optional<std::string>& specified, bool only, const std::optional<std::string>& type,
                         const std::optional<std::string>& title, const std::optional<std::string>& message,
                         const std::optional<std::string>& imageURL, const std::optional<std::string>& source);
    // The dialog page's answer: an address on the app's own scheme closes
    // the window and is never loaded; "/success", "/cancel" and "/fail"
    // reach the delegate with the query as jsonResponse, other paths nothing.
    bool webViewKitShouldStartLoadWithRequest(const Ref<NBWebViewKit>& kit, const Ref<NSURLRequest>& request,
                                              UIWebViewNavigationType type) override;

protected:
    void didCreate() override;

private:
    using ResponseMethod = void (NimbusOAuth::*)(const Ref<APIResponse>&);
    // Sends one Open API call in the key or the token form and keeps it;
    // null when the session cannot make calls.
    Ref<APIBase> sendOpenApi(const std::string& path, const std::string& httpMethod, Dictionary params,
                             ResponseMethod method, bool withProgress, bool reportStatistics);
    // Hands an answer to the delegate's callback.
    void forward(const Ref<APIResponse>& response, NimbusSessionCallback callback);
    // Whether the answer is to a call still out, which it ends; an answer to
    // a call that ended (cancelled, or made before a logout) is dropped with
    // a log line, never stored nor told.
    bool takeAnsweredCall(const Ref<APIResponse>& response);
    // At a logout: every call in flight is cancelled and forgotten and the
    // head-image screen closes. A login waiting on the token that goes (its
    // open id, a graph login) ends as cancelled: returned is what tells its
    // host, which the logout runs once the session is cleared, so that a
    // login begun there is the session after the logout.
    std::function<void()> endCallsOfTheUser();
    bool startHeadpic(const Dictionary& params, Ref<UIViewController>* screen);
    void onTimerCloseTcWindow();
    // Takes a block observer out of the notification centre.
    static void stopObserving(Ref<NSObject>& token);

private:
    std::optional<std::string> requestedAppId_;
    std::optional<std::string> appId_;
    std::map<std::string, Ref<APIBase>> apiRequests_;
    std::optional<std::string> accessToken_;
    std::optional<std::string> openId_;
    std::optional<NSDate> expirationDate_;
    std::optional<std::string> uin_;
    std::optional<std::string> skey_;
    std::optional<std::string> userNick_;
    std::optional<std::string> encryToken_;
    Dictionary passData_;
    Dictionary openIdDict_;
    std::int32_t authMode_ = 0;
    bool userGetUserInfo_ = true;
    Ref<NBLoginViewKit> loginViewKit_;
    std::vector<std::string> permissions_;
    std::optional<std::string> localAppId_;
    std::int32_t authShareType_ = 0;
    std::map<std::string, WeakRef<NimbusLoginDelegate>> loginDict_;
    Ref<NBOSDKReachability> reachHost_;
    Ref<NSObject> reachabilityObserver_;
    Ref<NSTimer> networkTimer_;
    // The running renewal's login delegate, which the login layers only
    // reference.
    Ref<NimbusIncrAuthLogic> incrAuthLogic_;
    Ref<NSObject> becomeActiveObserver_;
    Ref<NimbusRequest> request_;
    // The open id request of a server-side web login, kept out of
    // apiRequests_ until it answers.
    Ref<APIBase> openIdRequest_;
    std::optional<std::string> unionid_;
    Ref<NBUiKit> tcUiKit_;
    Ref<NSTimer> timer_;
    // The head-image screens that asked to be closed, for the close timer.
    std::vector<Ref<UIViewController>> screensToClose_;
    std::string redirectURI_ = kPalWebSiteHost;
    WeakRef<NimbusSessionDelegate> sessionDelegate_;
    Ref<NimbusSessionDelegate> initialDelegate_;
};
