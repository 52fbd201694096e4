#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBLoginViewKit.h"

#include <chrono>

#include "foundation/DispatchQueue.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UIDevice.h"

namespace {

std::string joined(const std::vector<std::string>& parts) { return NSString::componentsJoinedByString(parts, ","); }

bool nonEmpty(const std::optional<std::string>& text) { return text && !text->empty(); }

std::optional<std::string> textField(const Dictionary& fields, std::string_view key) {
    const Value* value = fields.find(key);
    return value ? value->stringValue() : std::nullopt;
}

}  // namespace

NBLoginViewKit::NBLoginViewKit(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                               std::vector<std::string> permissions, const Ref<NBLoginViewDelegate>& loginDelegate)
    : appId_(std::move(appId)), redirectURI_(std::move(redirectURI)), permissions_(std::move(permissions)),
      loginDelegate_(loginDelegate) {}

NBLoginViewKit::~NBLoginViewKit() = default;

void NBLoginViewKit::didCreate() {
    NBWebViewKit::didCreate();
    setDelegate(self<NBLoginViewKit>());
}

void NBLoginViewKit::setAuthorData(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                                   std::vector<std::string> permissions) {
    appId_ = std::move(appId);
    redirectURI_ = std::move(redirectURI);
    permissions_ = std::move(permissions);
}

void NBLoginViewKit::clearData() {
    accessToken_.reset();
    openId_.reset();
    errorUrl_.reset();
    expirationDate_.reset();
    newloginDelegate_.reset();
    permissions_.clear();
    redirectURI_.reset();
}

void NBLoginViewKit::cleanUp() {
    accessToken_.reset();
    openId_.reset();
    expirationDate_.reset();
}

bool NBLoginViewKit::openWithAppId(std::optional<std::string> appId, std::optional<std::string> redirectURI,
                                   std::vector<std::string> permissions, const Ref<NBLoginViewDelegate>& loginDelegate) {
    setAuthorData(std::move(appId), std::move(redirectURI), std::move(permissions));
    loginDelegate_ = loginDelegate;
    return open();
}

bool NBLoginViewKit::open() { return openWithExtraParams({}); }

bool NBLoginViewKit::openWithSafari() { return openWithSafariAndExtraParams({}); }

std::string NBLoginViewKit::normalisedRedirectURI() {
    std::string redirect = redirectURI_.value_or("https://" + std::string(NimbusConnectHosts::kPalWebSiteHost));
    const auto separator = redirect.find("://");
    if (separator != std::string::npos) redirect = redirect.substr(separator + 3);
    redirectURI_ = redirect;
    return redirect;
}

Dictionary NBLoginViewKit::commonParams(const std::string& responseType, const std::string& redirect) const {
    Dictionary params;
    params.set("response_type", responseType);
    params.set("client_id", *appId_);
    params.set("redirect_uri", "auth://" + redirect);
    params.set("display", "mobile");
    params.set("state", "test");
    return params;
}

void NBLoginViewKit::addScopeAndExtras(Dictionary& params, const Dictionary& extraParams) const {
    for (const auto& [key, value] : TcApiTool::SDKInfo()) params.set(key, value);
    for (const auto& [key, value] : extraParams) params.set(key, value);
    if (!permissions_.empty()) params.set("scope", joined(permissions_));
}

bool NBLoginViewKit::openWithExtraParams(const Dictionary& extraParams) {
    if (!appId_) {
        browserError_ = false;
        return false;
    }
    forgetReplacedLogins();
    Dictionary params = commonParams("token", normalisedRedirectURI());
    params.set("switch", "1");
    addScopeAndExtras(params, extraParams);
    const bool reportBrowserError = browserError_;
    if (reportBrowserError) params.set("browser_error", "1");
    loadReqURL(generateUrlString(NimbusConnectHosts::baseURL() + kAuthorizePath, params), "");
    if (reportBrowserError) browserError_ = false;
    return true;
}

bool NBLoginViewKit::openWithSafariAndExtraParams(const Dictionary& extraParams) {
    if (!appId_) return false;
    normalisedRedirectURI();
    if (!loginDict_) loginDict_ = Dictionary();
    const std::string key = TcApiTool::random16Str();
    if (!serial_) return false;
    forgetReplacedLogins();
    Dictionary record;
    record.set("token_key", key);
    loginDict_->set(*serial_, Value(std::move(record)));
    loginDelegates_[*serial_] = newloginDelegate_;

    Dictionary params = commonParams(authMode_ == 1 ? "code" : "token", normalisedRedirectURI());
    params.set("browser", "1");
    params.set("switch", "1");
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    params.set("b_time", std::to_string(static_cast<unsigned long long>(now.count())));
    params.set("token_key", key);
    params.set("serial", *serial_);
    addScopeAndExtras(params, extraParams);
    if (!TcApiTool::isRegistSchemeInfoPlistFile("nimbus" + *appId_) ||
        !UIDevice::currentDevice()->isMultitaskingSupported())
        return false;
    params.set("redirect_uri", getOwnBaseUrl());
    // The page that asked for this mode is replaced, telling nothing: the
    // login goes on in the new page, whose answer or close ends it.
    openWithUrl(NimbusRequest::serializeURL(NimbusConnectHosts::baseURL() + kAuthorizePath, params), std::nullopt);
    return true;
}

void NBLoginViewKit::loadReqURL(std::optional<std::string> url, std::optional<std::string> webTitle) {
    NBWebViewKit::loadReqURL(std::move(url), std::move(webTitle), self<NBLoginViewKit>());
}

void NBLoginViewKit::openWithUrl(std::optional<std::string> url, std::optional<std::string> webTitle) {
    cleanUp();
    NBWebViewKit::openWithUrl(std::move(url), std::move(webTitle), self<NBLoginViewKit>());
}

std::string NBLoginViewKit::getOwnBaseUrl() const {
    return "nimbus" + appId_.value_or("(null)") + "://" + redirectURI_.value_or("(null)");
}

std::string NBLoginViewKit::callbackPrefix() const {
    return "nimbus" + appId_.value_or("(null)") + "://" + NimbusConnectHosts::host();
}

std::string NBLoginViewKit::generateUrlString(const std::string& base, const Dictionary& params) {
    if (params.empty()) return base;
    std::vector<std::string> pairs;
    for (const auto& [key, value] : params)
        pairs.push_back(key + "=" + PalApiNSStringURLArgumentsAdditions::stringByEncodeUrl(value.description()));
    return base + "?" + NSString::componentsJoinedByString(pairs, "&");
}

std::optional<Dictionary> NBLoginViewKit::parseURLParams(const std::string& query) {
    const auto parts = NSString::componentsSeparatedByString(query, "&");
    if (parts.empty()) return std::nullopt;
    Dictionary fields;
    for (const auto& part : parts) {
        const auto pieces = NSString::componentsSeparatedByString(part, "=");
        if (pieces.size() < 2) continue;
        fields.set(pieces[0], NSString::stringByRemovingPercentEncoding(pieces[1]).value_or(pieces[1]));
    }
    return fields;
}

bool NBLoginViewKit::canHandleOpenURL(const Ref<NSURL>& url) const {
    if (!url) return false;
    const std::string address = url->absoluteString();
    return address.starts_with(callbackPrefix()) || address.starts_with(getOwnBaseUrl());
}

bool NBLoginViewKit::handleOpenURL(const Ref<NSURL>& url) {
    if (!url || !url->absoluteString().starts_with(callbackPrefix())) return false;
    if (!loginDict_ || loginDict_->empty()) return false;
    auto fields = parseURLParams(url->fragment() ? *url->fragment() : url->query().value_or(""));
    if (!fields || fields->empty()) return false;
    // Only the answer of a login this kit asked for is taken: one for another
    // login, or a forged one, runs no script and closes nothing.
    const auto serial = textField(*fields, "serial");
    const Value* record = serial ? loginDict_->find(*serial) : nullptr;
    const auto key = record && record->dictionary() ? (*record)["token_key"].stringValue() : std::nullopt;
    if (!key) return false;

    auto keep = me();
    // The answer is told here: the page it ends closes telling nothing more.
    auto screen = webViewController();
    if (screen) screen->setDelegate(nullptr);
    if (auto callback = textField(*fields, "cb")) {
        auto json = NSJSONSerialization::dataWithJSONObject(Value(*fields), true);
        const std::string script = *callback + "(" + (json ? json->toString() : std::string()) + ")";
        // Run in that page only: one opened meanwhile (a new login, or this
        // login starting over) is not closed by it.
        DispatchQueue::main()->async([keep, screen, script] {
            if (screen && keep->webViewController() == screen) keep->doJsFun(script);
        });
    } else {
        doClose();
    }
    forgetBrowserLogin(*serial);

    const auto error = textField(*fields, "error");
    if (auto masked = textField(*fields, "access_token")) {
        accessToken_ = TcApiTool::decodeAccessToken(masked, *key);
        if (auto openId = textField(*fields, "openid")) openId_ = openId;
        if (const Value* expires = fields->find("expires_in"); expires && expires->longLongValue() != 0)
            expirationDate_ = NSDate(NSDate::date().timeIntervalSince1970() + static_cast<double>(expires->longLongValue()));
        // A token that does not unmask, or no expiry ahead, is no login.
        if (hasUsableToken()) {
            reportSuccess(serial);
        } else {
            reportFailure(make<NSError>("", 0, Dictionary()), serial);
        }
    } else if (error == std::optional<std::string>("service_disabled_use_browser")) {
        // The login starts over in a new page, whose answer or close ends it.
        if (openWithSafari()) return true;
        reportFailure(make<NSError>("", 0, Dictionary()), serial);
    } else if (fields->find("error_code") || (error && *error != "access_denied")) {
        reportFailure(make<NSError>("", 0, Dictionary()), serial);
    } else {
        reportFailure(nullptr, serial);
    }
    return true;
}

void NBLoginViewKit::forgetBrowserLogin(const std::string& serial) {
    if (loginDict_) loginDict_->remove(serial);
    loginDelegates_.erase(serial);
}

// The kit runs one login at a time: a new one ends the records of those it
// replaces, so that a late answer of theirs is refused rather than ending
// the new login with their token.
void NBLoginViewKit::forgetReplacedLogins() {
    if (!loginDict_) return;
    std::vector<std::string> replaced;
    for (const auto& [serial, record] : *loginDict_)
        if (serial != serial_) replaced.push_back(serial);
    for (const auto& serial : replaced) forgetBrowserLogin(serial);
}

bool NBLoginViewKit::hasUsableToken() const {
    return nonEmpty(accessToken_) && TcApiTool::isExpiryAhead(expirationDate_);
}

void NBLoginViewKit::doJsFun(const std::string& script) {
    if (webViewController() && webViewController()->webview())
        webViewController()->webview()->stringByEvaluatingJavaScriptFromString(script);
    doClose();
}

bool NBLoginViewKit::isNewPalBrowserInstall() {
    return NBOSDKCanOpenURLString("mpalbrowser://");
}

bool NBLoginViewKit::isOldPalBrowserInstall() {
    return NBOSDKCanOpenURLString("mttbrowser://");
}

void NBLoginViewKit::takeWebViewAnswer(const std::string& url) {
    auto fields = PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(url, "#");
    if (fields.empty()) fields = PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(url, "?");
    accessToken_ = textField(fields, "access_token");
    fields.remove("access_token");
    openId_ = textField(fields, "openid");
    fields.remove("openid");
    expirationDate_ = NSDate(NSDate::date().timeIntervalSince1970() + static_cast<double>(fields["expires_in"].longLongValue()));
    fields.remove("expires_in");
    encryToken_ = textField(fields, "encrytoken");
    fields.remove("encrytoken");
    payToken_ = textField(fields, "pay_token");
    for (const char* key : {"page_type", "auth_time", "state"}) fields.remove(key);
    passData_ = std::move(fields);
}

bool NBLoginViewKit::webViewKitShouldStartLoadWithRequest(const Ref<NBWebViewKit>&, const Ref<NSURLRequest>& request,
                                                          UIWebViewNavigationType) {
    const auto url = request ? request->URL() : nullptr;
    const std::string address = url ? url->absoluteString() : std::string();
    if (address.empty()) return false;
    if (requestUrl() && address == *requestUrl()) return true;
    if (address.find("auth://" + redirectURI_.value_or("")) != std::string::npos) {
        if (address.find("access_token") != std::string::npos) takeWebViewAnswer(address);
        doClose();
        return false;
    }
    if (address.find(callbackPrefix() + "/") != std::string::npos) {
        handleOpenURL(url);
        return false;
    }
    if (address == "nimbus" + appId_.value_or("(null)") + "://cancel") {
        userCancel_ = true;
        doClose();
        return false;
    }
    if (address.find("auth://browser") != std::string::npos) {
        const auto fields = PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(address, "?");
        if (address.find("redir") != std::string::npos) errorUrl_ = textField(fields, "redir");
        if (openWithSafariAndExtraParams(extraParams_)) return true;
        if (textField(fields, "fall_to_wv") == std::optional<std::string>("1")) {
            browserError_ = true;
            openWithExtraParams(extraParams_);
            return false;
        }
        if (errorUrl_) {
            loadReqURL(errorUrl_, "错误");
            return false;
        }
        return true;
    }
    return true;
}

// The window closes before the outcome is told: a login begun inside the
// answer gets a window of its own, which nothing here then closes.
void NBLoginViewKit::webViewKitDidFinishedWithError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) {
    auto keep = me();
    const Ref<NSError> reported = userCancel_ ? nullptr : error;
    userCancel_ = false;
    doClose();
    if (hasUsableToken()) {
        reportSuccess(serial_);
    } else {
        reportFailure(reported, serial_);
    }
}

void NBLoginViewKit::webViewKitDidLoadWithNetworkError(const Ref<NBWebViewKit>&, const Ref<NSError>& error) {
    reportFailure(error, serial_);
}

void NBLoginViewKit::webViewKitDidLoadWithContentError(const Ref<NBWebViewKit>&, const Ref<NSError>&) {
    NSLog("loginKit didLoadWithContentError");
}

// A login is told once: its browser-mode record goes with the telling, so a
// late answer for it is refused.
void NBLoginViewKit::reportSuccess(const std::optional<std::string>& serial) {
    if (serial) forgetBrowserLogin(*serial);
    if (auto delegate = loginDelegate_.lock()) delegate->loginViewKitDidSucceedLogin(me(), serial);
}

void NBLoginViewKit::reportFailure(const Ref<NSError>& error, const std::optional<std::string>& serial) {
    if (serial) forgetBrowserLogin(*serial);
    if (auto delegate = loginDelegate_.lock()) delegate->loginViewKitDidFailuredWithError(me(), error, serial);
}

bool NBLoginViewKit::webViewKitShouldAutorotateToInterfaceOrientation(const Ref<NBWebViewKit>&,
                                                                      UIInterfaceOrientation orientation) {
    auto delegate = loginDelegate_.lock();
    return !delegate || delegate->loginViewKitShouldAutorotateToInterfaceOrientation(me(), orientation);
}

UIInterfaceOrientationMask NBLoginViewKit::supportedInterfaceOrientationsWithWebkit(const Ref<NBWebViewKit>&) {
    auto delegate = loginDelegate_.lock();
    return delegate ? delegate->supportedInterfaceOrientationsWithLoginWebkit(me()) : UIInterfaceOrientationMaskAll;
}

bool NBLoginViewKit::shouldAutorotateWithWebkit(const Ref<NBWebViewKit>&) {
    auto delegate = loginDelegate_.lock();
    return !delegate || delegate->shouldAutorotateWithLoginWebkit(me());
}
