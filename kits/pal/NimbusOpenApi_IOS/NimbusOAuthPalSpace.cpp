// The PalSpace dialogs of the session object: a story, an app invitation, a
// challenge and a gift request, shown by the kit's dialog page in its web
// window or handed to the PalSpace app as commands, and the dialog page's
// answer on the app's own scheme.
#include <cstring>

#include "foundation/NSBundle.h"
#include "foundation/NSDate.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UIAlertView.h"

namespace {

constexpr const char* kResourceBundle = "NimbusOpenApi_IOS_Bundle.bundle";
constexpr const char* kPlatform = "iosps";
// From this PalSpace version on the app takes the dialogs as commands.
constexpr int kPalSpaceCommandVersion = 4;

std::string text(const std::optional<std::string>& value) { return value.value_or(""); }

std::string trimmed(const std::optional<std::string>& value) {
    return PalApiNSStringURLArgumentsAdditions::trim(text(value));
}

void showAlert(const std::string& title, const std::string& message, const std::string& button) {
    make<UIAlertView>(title, message, nullptr, button)->show();
}

// The dialog page of the kit's resources as a "localhost" file address, the
// form the web screen loads as a page of the PalSpace host; nothing when the
// app bundle lacks it.
std::optional<std::string> localPageAddress() {
    auto path = NSBundle::mainBundle()->pathForResource("local", "html", kResourceBundle);
    auto url = path ? NSURL::fileURLWithPath(*path) : nullptr;
    if (!url) return std::nullopt;
    return "file://localhost" + url->absoluteString().substr(std::strlen("file://"));
}

// Opens the dialog page with the dialog's fields as its query, in the kit's
// web window; false when the page is missing.
bool openDialogPage(Ref<NBUiKit>& uiKit, const Ref<NimbusOAuth>& session, const Dictionary& fields,
                    const std::string& title) {
    auto address = TcApiTool::GetURLWithParam(localPageAddress(), fields);
    if (!address) return false;
    if (!uiKit) uiKit = make<NBUiKit>(session->appId());
    return uiKit->popWebViewWnd(address, title, session);
}

using Fields = std::initializer_list<Dictionary::Entry>;

// A command to the PalSpace app: the session's fields, then the dialog's.
Dictionary commandFields(const NimbusOAuth& session, Fields dialog) {
    Dictionary fields{{"appid", text(session.appId())},
                      {"hopenid", text(session.openId())},
                      {"keytype", "0x80"},
                      {"keystr", text(session.accessToken())},
                      {"platform", kPlatform}};
    for (const auto& [key, value] : dialog) fields.set(key, value);
    return fields;
}

// The dialog page's query: the dialog's name and the session's fields,
// then the dialog's.
Dictionary pageFields(const NimbusOAuth& session, const std::string& iface, Fields dialog) {
    Dictionary fields{{"iface", iface},
                      {"platform", kPlatform},
                      {"oauth_consumer_key", text(session.appId())},
                      {"openid", text(session.openId())},
                      {"access_token", text(session.accessToken())},
                      {"encrytoken", text(session.localEncrytedToken())}};
    for (const auto& [key, value] : dialog) fields.set(key, value);
    return fields;
}

// A dialog for PalSpace 4 and later as a command, else on the dialog page.
bool startDialog(Ref<NBUiKit>& uiKit, const Ref<NimbusOAuth>& session, const std::string& iface,
                 const std::string& title, const Dictionary& command, const Dictionary& page) {
    if (OpenApi::palspaceVersion() >= kPalSpaceCommandVersion) return OpenApi::sendCommandToPalSpace(iface, command);
    return openDialogPage(uiKit, session, page, title);
}

// The "k=v" pieces of a query with exactly one "=", values percent-decoded.
Dictionary NBOSDKParseQueryPairs(const std::string& query) {
    return PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator("?" + query, "?");
}

std::string joinedTexts(const Array& list) {
    std::string joined;
    for (const auto& entry : list) {
        if (!entry.isText()) continue;
        if (!joined.empty()) joined += ",";
        joined += *entry.text();
    }
    return joined;
}

}  // namespace

bool NimbusOAuth::checkSendStoryParam(const Dictionary& params, const Array&) {
    const std::string* title = params["title"].text();
    if (title && !PalApiNSStringURLArgumentsAdditions::trim(*title).empty()) return true;
    showAlert("分享失败", "标题不能为空", "我知道啦");
    return false;
}

bool NimbusOAuth::sendStory(Dictionary& params, const Array& friendList) {
    if (!checkSendStoryParam(params, friendList)) return false;
    if (!isSessionValid() || !isOpenIdValid()) return false;
    params.remove("userData");
    Dictionary fields = params;
    fields.set("source", "4");
    for (const char* key : {"title", "summary", "description"})
        if (const std::string* value = fields[key].text()) fields.set(key, trimmed(*value));
    fields.set("iface", "SendStory");
    fields.set("platform", kPlatform);
    fields.set("access_token", text(accessToken_));
    fields.set("keytype", "21");
    fields.set("openid", text(openId_));
    fields.set("oauth_consumer_key", text(appId_));
    fields.set("receiver", joinedTexts(friendList));
    if (!friendList.empty())
        NBDataReport::reportDataWithTime(false, std::string("10784"), appId_,
                                         NSDate::date().timeIntervalSince1970(), std::nullopt);
    NBDataReport::utaReportApi("story");
    return openDialogPage(tcUiKit_, self<NimbusOAuth>(), fields, "分享");
}

bool NimbusOAuth::sendAppInvitationWithDescription(const std::optional<std::string>& desc,
                                                   const std::optional<std::string>& imageURL,
                                                   const std::optional<std::string>& source) {
    if (!isSessionValid() || !isOpenIdValid()) return false;
    return startDialog(tcUiKit_, self<NimbusOAuth>(), "AppInvitation", "应用邀请",
                       commandFields(*this, {{"desc", text(desc)}, {"picurl", text(imageURL)}, {"app_custom", text(source)}}),
                       pageFields(*this, "AppInvitation",
                                  {{"desc", trimmed(desc)}, {"picurl", text(imageURL)}, {"source", text(source)}}));
}

bool NimbusOAuth::sendChallenge(const std::optional<std::string>& receiver, const std::optional<std::string>& type,
                                const std::optional<std::string>& imageURL, const std::optional<std::string>& message,
                                const std::optional<std::string>& source) {
    const bool pk = type == std::optional<std::string>("pk");
    if (text(receiver).empty() || (!pk && type != std::optional<std::string>("brag"))) {
        showAlert("挑战炫耀",
                  "参数错误: (receiver.length > 0 && ([type isEqualToString:@\"pk\"] || [type "
                  "isEqualToString:@\"brag\"]))",
                  "OK");
        return false;
    }
    if (!isSessionValid() || !isOpenIdValid()) return false;
    return startDialog(tcUiKit_, self<NimbusOAuth>(), "AppChallenge", pk ? "发送挑战" : "向TA炫耀",
                       commandFields(*this, {{"receiver", text(receiver)},
                                             {"typeid", pk ? "53" : "52"},
                                             {"picurl", text(imageURL)},
                                             {"sendmsg", text(message)},
                                             {"app_custom", text(source)}}),
                       pageFields(*this, "AppChallenge",
                                  {{"receiver", text(receiver)},
                                   {"type", text(type)},
                                   {"img", text(imageURL)},
                                   {"msg", trimmed(message)},
                                   {"source", text(source)}}));
}

bool NimbusOAuth::sendGiftRequest(const std::optional<std::string>& receiver, const std::optional<std::string>& exclude,
                                  const std::optional<std::string>& specified, bool only,
                                  const std::optional<std::string>& type, const std::optional<std::string>& title,
                                  const std::optional<std::string>& message, const std::optional<std::string>& imageURL,
                                  const std::optional<std::string>& source) {
    const bool request = type == std::optional<std::string>("request");
    if (!request && type != std::optional<std::string>("freegift")) {
        showAlert("请求/赠送礼物",
                  "参数错误: (([type isEqualToString:@\"request\"] || [type isEqualToString:@\"freegift\"]))", "OK");
        return false;
    }
    if (!isSessionValid() || !isOpenIdValid()) return false;
    const std::string onlyText = only ? "1" : "0";
    return startDialog(tcUiKit_, self<NimbusOAuth>(), "AppGiftRequest", request ? "请求礼物" : "赠送礼物",
                       commandFields(*this, {{"receiver", text(receiver)},
                                             {"typeid", request ? "50" : "1"},
                                             {"title", text(title)},
                                             {"picurl", text(imageURL)},
                                             {"sendmsg", text(message)},
                                             {"app_custom", text(source)},
                                             {"exclude", text(exclude)},
                                             {"specified", text(specified)},
                                             {"only", onlyText}}),
                       pageFields(*this, "AppGiftRequest",
                                  {{"receiver", text(receiver)},
                                   {"type", text(type)},
                                   {"title", text(title)},
                                   {"img", text(imageURL)},
                                   {"msg", trimmed(message)},
                                   {"source", text(source)},
                                   {"exclude", text(exclude)},
                                   {"specified", text(specified)},
                                   {"only", onlyText}}));
}

bool NimbusOAuth::webViewKitShouldStartLoadWithRequest(const Ref<NBWebViewKit>& kit, const Ref<NSURLRequest>& request,
                                                       UIWebViewNavigationType) {
    auto url = request ? request->URL() : nullptr;
    if (!url || !appId_ || NSString::lowercaseString(url->scheme().value_or("")) != "nimbus" + *appId_)
        return true;
    if (kit) kit->doClose();
    auto delegate = sessionDelegate();
    const std::string host = url->host().value_or("");
    if (host.empty() || !delegate) return false;

    Ref<APIResponse> response;
    const std::string path = url->path();
    if (path == "/success") {
        response = NBOpenSDKErrorUtil::apiResponseFromErrorCode(0);
        response->setRetCode(0);
        response->setDetailRetCode(0);
    } else if (path == "/cancel") {
        response = NBOpenSDKErrorUtil::apiResponseFromErrorCode(2);
        response->setRetCode(1);
    } else if (path == "/fail") {
        // A failure never reads as a success: retCode 1, as for a cancel.
        response = NBOpenSDKErrorUtil::apiResponseFromErrorCode(12);
        response->setRetCode(1);
    } else {
        return false;
    }
    response->setJsonResponse(Value(NBOSDKParseQueryPairs(url->query().value_or(""))));
    // A story's answer reaches sendStoryResponse even when the delegate has
    // no general callback, as the Pal apps' story replies do.
    delegate->receiveReply(host == "SendStory" ? std::optional(NimbusSessionCallback::sendStoryResponse) : std::nullopt,
                           response, host);
    return false;
}
