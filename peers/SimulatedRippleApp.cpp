#include "peers/SimulatedRippleApp.h"

#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPApi.h"
#include "kits/ripple/RippleApiUtil.h"
#include "peers/PaymentNotice.h"
#include "uikit/UIApplication.h"
#include "uikit/UIPasteboard.h"

namespace {

constexpr std::string_view kRequestPrefix = "ripple://app/";
// The Ripple Pay links of the shop's payment pages.
constexpr std::string_view kPaymentPrefix = "ripple://wap/";

// The keys of a message worth a look, in the order shown.
constexpr const char* kSummaryKeys[] = {"command", "scene",    "title",    "description", "objectType",
                                        "mediaUrl", "scope",   "state",    "result",      "language"};

std::string summaryOf(const Dictionary& message) {
    std::string summary;
    for (const char* key : kSummaryKeys) {
        if (auto text = message[key].stringValue()) summary += std::string(summary.empty() ? "" : " ") + key + "=" + *text;
    }
    if (const NSData* thumb = message["thumbData"].data())
        summary += " thumbData=" + std::to_string(thumb->length()) + " bytes";
    return summary;
}

}  // namespace

void SimulatedRippleApp::install() {
    WeakRef<SimulatedRippleApp> weak = weakSelf<SimulatedRippleApp>();
    UIApplication::installSimulatedApp("ripple", [weak](const Ref<NSURL>& url) {
        if (auto me = weak.lock()) me->open(url);
    });
    auto versionBoard = UIPasteboard::pasteboardWithName(RippleApiUtil::kSDKVersionPasteboardName, true);
    if (auto data = RippleApiUtil::dataFromPropertyList(Dictionary{{"version", kSDKVersion}}))
        versionBoard->setData(*data, AppCommunicate::kContentType);
}

void SimulatedRippleApp::uninstall() { UIApplication::installSimulatedApp("ripple", nullptr); }

void SimulatedRippleApp::open(const Ref<NSURL>& url) {
    const std::string address = url ? url->absoluteString() : "";
    if (address.starts_with(kPaymentPrefix)) {
        noteReceived({address, PaymentNotice::pay(url), {}});
        return;
    }
    if (!address.starts_with(kRequestPrefix)) {
        noteReceived({address, "not addressed to an app: ignored", {}});
        return;
    }
    const std::string rest = address.substr(kRequestPrefix.size());
    const std::size_t slash = rest.find('/');
    const std::string hostAppId = rest.substr(0, slash);
    const std::string path = slash == std::string::npos ? "" : rest.substr(slash + 1);
    const std::string command = path.substr(0, path.find_first_of("/?"));
    const Dictionary query = RPApi::parseURLParams(url->query());
    if (command == "sendreq" || command == "sendresp") {
        readMessage(address, hostAppId, command);
    } else if (command == "auth") {
        answerAuth(address, hostAppId, query);
    } else if (command == "pay") {
        answerPay(address, hostAppId, query);
    } else {
        noteReceived({address, command.empty() ? "opened" : command + ": noted", {}});
    }
}

void SimulatedRippleApp::readMessage(const std::string& url, const std::string& hostAppId, const std::string& kind) {
    auto data = AppCommunicate::appCommunicateDataForAppID(hostAppId);
    if (!data || !data->propertList()) {
        noteReceived({url, kind + ": no message for " + hostAppId + " on the pasteboard", {}});
        return;
    }
    const Dictionary& message = *data->propertList();
    noteReceived({url, kind + ": " + summaryOf(message), message});
    if (kind != "sendreq") return;

    Dictionary answer;
    switch (data->command()) {
        case AppCommunicateData::kMediaMessage:
        case AppCommunicateData::kTextMessage:
            answer = {{"command", std::to_string(AppCommunicateData::kSendResultWithLanguage)},
                      {"language", "zh_CN"},
                      {"country", "CN"}};
            break;
        case AppCommunicateData::kAuthRequest:
            answer = {{"command", std::to_string(AppCommunicateData::kAuthResult)}};
            if (const std::string* state = message["state"].text()) answer.set("state", *state);
            break;
        default: return;
    }
    answer.set("returnFromApp", "1");
    answer.set("result", std::to_string(answerCode_));
    answer.set("sdkver", kSDKVersion);
    answerHost(hostAppId, std::move(answer));
}

void SimulatedRippleApp::answerAuth(const std::string& url, const std::string& hostAppId, const Dictionary& query) {
    const std::string state = query["state"].stringValue().value_or("");
    noteReceived({url, "auth: scope=" + query["scope"].stringValue().value_or("") + " state=" + state, {}});
    UIApplication::sharedApplication()->openURLIntoApp(
        NSURL::URLWithString(hostAppId + "://oauth?code=" + authCode_ + "&state=" + state), kSourceApplication);
}

void SimulatedRippleApp::answerPay(const std::string& url, const std::string& hostAppId, const Dictionary& query) {
    const std::string package = query["package"].stringValue().value_or("");
    noteReceived({url, "pay: prepayId=" + query["prepayId"].stringValue().value_or(""), {}});
    UIApplication::sharedApplication()->openURLIntoApp(
        NSURL::URLWithString(hostAppId + "://pay/?returnKey=" + package + "&ret=" + std::to_string(answerCode_)),
        kSourceApplication);
}

bool SimulatedRippleApp::sendRequest(const std::string& hostAppId, const Ref<BaseReq>& request,
                                     const Ref<RPMediaInternalMessage>& message) {
    auto data = make<AppCommunicateData>();
    if (!data->ReqToData(request, message) || !data->propertList()) return false;
    return answerHost(hostAppId, *data->propertList());
}

bool SimulatedRippleApp::answerHost(const std::string& hostAppId, Dictionary message) {
    message.set("rippleVersion", std::to_string(kRippleVersion));
    const bool written = RippleApiUtil::isiOS7plus() ? AppCommunicate::setPropertyListForiOS7Plus(message, hostAppId)
                                                      : AppCommunicate::setPropertyList(message, hostAppId);
    if (!written) return false;
    UIApplication::sharedApplication()->openURLIntoApp(RippleApiUtil::getAppUrlWithPlatformId(hostAppId),
                                                       kSourceApplication);
    return true;
}
