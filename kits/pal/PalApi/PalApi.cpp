#include "kits/pal/PalApi/PalApi.h"

#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSThread.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebViewKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiCommonContentObject.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"
#include "kits/pal/PalApi/PalApiLimits.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalApiSpecialObjects.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "kits/pal/PalApi/PalPluginMetadata.h"

namespace {

constexpr std::size_t kMaxIcons = 2;

bool canOpen(const char* address) { return PalOpenApiUtility::canOpenURL(NSURL::URLWithString(address)); }
bool open(const std::string& address) { return PalOpenApiUtility::openURL(NSURL::URLWithString(address)); }

Ref<PalApiObject>& currentObjectSlot() {
    thread_local Ref<PalApiObject> current;
    return current;
}

// The object being shared, attached to the thread while its URL is built.
Ref<NSURL> buildURL(const Ref<PalApiMessage>& message) {
    currentObjectSlot() = message->object();
    auto url = PalApiMessageUtil::URLWithMessage(message);
    currentObjectSlot().reset();
    return url;
}

Ref<NSURL> urlForSpecialObject(const Ref<PalApiMessage>& message) {
    auto url = PalApiMessageUtil::URLWithMessage(message);
    if (!url) PAL_API_LOG("param error: illegal object param");
    return url;
}

// A message without an object goes to Pal, like an object that names no destination.
std::int32_t destinationOf(const Ref<PalApiMessage>& message) {
    return message && message->object() ? message->object()->shareDestType() : 0;
}

bool isShareable(const Ref<PalApiObject>& object) {
    return exactly<PalApiTextObject>(object) || exactly<PalApiExtendObject>(object) ||
           exactly<PalApiImageObject>(object) || isKind<PalApiURLObject>(object) ||
           isKind<PalApiCommonContentObject>(object) || isKind<PalApiPayObject>(object) ||
           exactly<PalApiAddFriendObject>(object) || exactly<PalApiFileObject>(object) ||
           exactly<PalApiGroupTribeImageObject>(object) || exactly<PalApiImageArrayForPalSpaceObject>(object) ||
           exactly<PalApiVideoForPalSpaceObject>(object) || isKind<PalApiWebImageObject>(object);
}

// The icon names of the bundle's settings, in the order they are looked up.
std::vector<std::string> iconNames(const Dictionary& info) {
    for (const char* key : {"CFBundleIconFiles", "Icon files"}) {
        std::vector<std::string> names;
        if (const Array* list = info[key].array())
            for (const Value& name : *list)
                if (name.text()) names.push_back(*name.text());
        if (!names.empty()) return names;
    }
    for (const char* key : {"CFBundleIconFile", "Icon file"}) {
        if (const std::string* name = info[key].text(); name && !name->empty()) return {*name};
    }
    return {};
}

std::optional<NSData> resource(const std::string& name, const std::string& type) {
    auto path = NSBundle::mainBundle()->pathForResource(name, type);
    if (!path) return std::nullopt;
    auto data = DataFile::dataWithContentsOfFile(*path);
    if (!data || data->empty()) return std::nullopt;
    return data;
}

Dictionary iconFiles(const Dictionary& info) {
    Dictionary icons;
    for (const std::string& name : iconNames(info)) {
        if (icons.count() >= kMaxIcons) break;
        const std::size_t dot = name.find('.');
        if (dot == std::string::npos) continue;
        const std::size_t secondDot = name.find('.', dot + 1);
        const std::string type = name.substr(dot + 1, secondDot == std::string::npos ? std::string::npos : secondDot - dot - 1);
        if (auto data = resource(name.substr(0, dot), type)) icons.set(name, *data);
    }
    if (icons.empty())
        if (auto data = resource("icon", "png")) icons.set("icon.png", *data);
    return icons;
}

}  // namespace

void PalApi::registerPalConnectAppId(std::optional<std::string> appId) {
    PalApiDatastore::instance()->setAppId(std::move(appId));
}
void PalApi::registerPalConnectOpenId(std::optional<std::string> openId) {
    PalApiDatastore::instance()->setOpenId(std::move(openId));
}
void PalApi::registerPalUin(std::optional<std::string> uin) { PalApiDatastore::instance()->setUin(std::move(uin)); }
void PalApi::registerAccessToken(std::optional<std::string> token) {
    PalApiDatastore::instance()->setWebviewToken(std::move(token));
}

void PalApi::registerPluginWithId(const std::string& scheme) {
    auto bundle = NSBundle::mainBundle();
    const Dictionary& info = bundle->infoDictionary();
    auto metadata = make<PalPluginMetadata>();
    metadata->setScheme(scheme);
    metadata->setBundleIdentifier(bundle->bundleIdentifier());
    metadata->setVersion(info["CFBundleVersion"].stringValue().value_or(""));
    auto displayName = TcApiTool::getAppDisplayName();
    metadata->setDisplayName(displayName.value_or(""));
    PalApiDatastore::instance()->setAppName(displayName);
    metadata->setIconFiles(iconFiles(info));
    PalApiDatastore::instance()->registerWithMetadata(metadata);
    PalApiDatastore::instance()->setScheme(scheme);
}

bool PalApi::isPalInstalled() { return canOpen("mpal://"); }
bool PalApi::isPalWorkInstalled() { return canOpen("tim://"); }
bool PalApi::isPalSupportPalSpaceShare() { return canOpen("mpalopensdkapiV2://"); }
bool PalApi::isPalSupportPalSpaceMediaShare() { return canOpen("mpalopensdkapiV4://"); }
bool PalApi::isPalSupportApi() { return canOpen("mpalapi://"); }
bool PalApi::isPalSupportApiForWallet() { return canOpen("mpalapiwallet://"); }
bool PalApi::isPalSupportAddFriend() { return canOpen("mpalopensdkfriend://"); }
bool PalApi::isPalSupportApiForWPA() { return canOpen("mpalwpa://"); }
bool PalApi::isPalSupportApiForGameConsortiumBindingGroup() { return canOpen("mpalgamebindinggroup://"); }
bool PalApi::isPalSupportApiForDataLine() { return canOpen("mpalopensdkdataline://"); }
bool PalApi::isPalSupportPalGroupTribeShare() { return canOpen("mpalopensdkgrouptribeshare://"); }

bool PalApi::checkPalApiURLMessage(const Ref<PalApiMessage>& message) {
    if (!message) return false;
    auto link = cast<PalApiURLObject>(message->object());
    if (!link) {
        PAL_API_LOG("param error: object is nil");
        return false;
    }
    if (auto refusal = PalApiLimits::titleAndDescriptionRefusal(message->type(), link->title(), link->description())) {
        if (!refusal->empty()) PAL_API_LOG("%s", refusal->c_str());
        return false;
    }
    if (const char* refusal = PalApiLimits::linkRefusal(*link)) {
        PAL_API_LOG("%s", refusal);
        return false;
    }
    return true;
}

void PalApi::showErrorWithWebView(const Ref<PalApiMessage>& message) {
    const bool favourites = message && message->object() && message->object()->cflag() == 8;
    // The kit's web window owns no reference to itself: the last error page
    // is kept until the next one.
    static Ref<NBWebViewKit> errorPage;
    errorPage = make<NBWebViewKit>(NimbusConnectHosts::baseURL() + (favourites ? kFavoriteErrorPage : kShareErrorPage),
                                   "出错提示", nullptr);
    errorPage->open();
}

std::int32_t PalApi::sendMessage(const Ref<PalApiMessage>& message) {
    const std::int32_t code = dispatchMessage(message);
    // What the host sends back to Pal's own requests is an answer itself,
    // and waits for none.
    if (code == 0 && message->type() != PalApiMessage::kShowAnswer && message->type() != PalApiMessage::kGetAnswer)
        PalApiDatastore::instance()->setShareOut();
    return code;
}

std::int32_t PalApi::dispatchMessage(const Ref<PalApiMessage>& message) {
    if (!NSThread::isMainThread()) NSLog("PalApi.m: NimbusOpenApi must be called at main thread");
    Ref<PalApiObject> object = message ? message->object() : nullptr;
    if (!isPalInstalled() && object) object->setShareDestType(1);
    const std::int32_t destination = object ? object->shareDestType() : 0;

    if (object && (object->cflag() == 8 || object->cflag() == 16)) {
        const bool dataLine = destination == 1 ? isPalWorkSupportApiForDataLine() : isPalSupportApiForDataLine();
        if (!dataLine) {
            showErrorWithWebView(message);
            return 8;
        }
    }
    if (isKind<PalApiWPAObject>(object) || isKind<PalApiGroupChatObject>(object))
        return sendMessageWpaAndGroupChat(message);
    if (isKind<PalApiGameConsortiumBindingGroupObject>(object)) return sendMessageGameConsortiumBindingGroup(message);
    if (isKind<PalApiJoinGroupObject>(object)) return sendMessageJoinGroup(message);
    if (destination == 0 && !isPalInstalled()) return sendMessagePalNotInstalledOrOld(message, false);

    if (exactly<PalApiPayObject>(object)) {
        if (destination == 0 && !isPalSupportApiForWallet()) return 2;
        if (destination == 1 && !isPalWorkSupportApiForWallet()) return 12;
    } else if (exactly<PalApiAddFriendObject>(object)) {
        if (destination == 0 && !isPalSupportAddFriend()) return 2;
        if (destination == 1 && !isPalWorkSupportAddFriend()) return 12;
    } else {
        if (destination == 0 && !isPalSupportApi()) return sendMessagePalNotInstalledOrOld(message, true);
        if (destination == 1 && !isPalWorkSupportApi()) return sendMessagePalWorkNotInstalledOrOld(message, true);
    }

    if (!PalApiDatastore::instance()->scheme()) return 6;
    // No message at all has no type: refused as an illegal type.
    const std::uint64_t type = message ? message->type() : 0;
    if (type != 2 && type != 4 && type != 5 && type != 7 && type != 8) {
        PAL_API_LOG("parame error: illegal message type");
        return 3;
    }
    if (!object) {
        PAL_API_LOG("param error: nil object");
        return 4;
    }
    if (type == PalApiMessage::kShareToPalSpace && !isKind<PalApiURLObject>(object) &&
        !isKind<PalApiImageArrayForPalSpaceObject>(object) && !isKind<PalApiVideoForPalSpaceObject>(object)) {
        PAL_API_LOG("param error:palspace not support type");
        if (exactly<PalApiTextObject>(object)) return 10000;
        if (exactly<PalApiImageObject>(object)) return 10001;
        return 2;
    }
    if (type == PalApiMessage::kShareToGroupTribe) {
        if (destination == 0 && !isPalSupportPalGroupTribeShare()) return 2;
        if (destination == 1 && !isPalWorkSupportPalGroupTribeShare()) return 12;
    }
    if (isKind<PalApiVideoForPalSpaceObject>(object) || isKind<PalApiImageArrayForPalSpaceObject>(object)) {
        if (destination == 0 && !isPalSupportPalSpaceMediaShare()) return 10002;
        if (destination == 1 && !isPalWorkSupportPalSpaceMediaShare()) return 10004;
    }
    if (!isShareable(object)) {
        PAL_API_LOG("param error: illegal object type");
        return 5;
    }
    if (auto link = cast<PalApiURLObject>(object)) {
        if (!checkPalApiURLMessage(message)) return 5;
        if (!message->isAssociatedWithTask() && link->previewImageURL() && !link->previewImageData()) {
            make<PalApiTaskDownloadURLObjectPreviewData>(message)->postOnMainThread();
            return 7;
        }
    }
    auto url = buildURL(message);
    if (!url) {
        PAL_API_LOG("param error: illegal object param");
        return 5;
    }
    if (!PalOpenApiUtility::openURL(url)) {
        PAL_API_LOG("PalApi.m: open URL failed at sendMessage");
        return -1;
    }
    switch (object->cflag()) {
        case 4: cgiShareReportWithMessage(message, 3, 10, 1); break;
        case 8: cgiShareReportWithMessage(message, 28, 21, 1); break;
        case 16: cgiShareReportWithMessage(message, 28, 22, 1); break;
        case 1: cgiShareReportWithMessage(message, 3, 11, 1); break;
        default: cgiShareReportWithMessage(message, 3, 10, 1); break;
    }
    return 0;
}

std::int32_t PalApi::sendMessageWpaAndGroupChat(const Ref<PalApiMessage>& message) {
    const std::int32_t destination = destinationOf(message);
    if (destination == 0 && !isPalSupportApiForWPA()) {
        NBDataReport::cgiStatisticReport(1, 16);
        return 2;
    }
    if (destination == 1 && !isPalWorkSupportApiForWPA()) {
        NBDataReport::cgiStatisticReport(1, 16);
        return 12;
    }
    auto url = urlForSpecialObject(message);
    if (!url) return 5;
    if (PalOpenApiUtility::openURL(url)) {
        NBDataReport::cgiStatisticReport(0, 16);
        return 0;
    }
    return destination == 1 ? 11 : 1;
}

std::int32_t PalApi::sendMessageGameConsortiumBindingGroup(const Ref<PalApiMessage>& message) {
    const std::int32_t destination = destinationOf(message);
    if (destination != 1 && !isPalSupportApiForGameConsortiumBindingGroup()) {
        NBDataReport::cgiStatisticReport(1, 18);
        if (isPalInstalled()) return 2;
        open(getPalInstallURL());
        return 1;
    }
    if (destination == 1 && !isPalWorkSupportApiForGameConsortiumBindingGroup()) {
        NBDataReport::cgiStatisticReport(1, 18);
        if (isPalWorkInstalled()) return 12;
        open(getPalWorkInstallURL());
        return 11;
    }
    auto url = urlForSpecialObject(message);
    if (!url) return 5;
    if (PalOpenApiUtility::openURL(url)) {
        NBDataReport::cgiStatisticReport(0, 18);
        return 0;
    }
    open(getPalInstallURL());
    return 1;
}

std::int32_t PalApi::sendMessageJoinGroup(const Ref<PalApiMessage>& message) {
    auto url = urlForSpecialObject(message);
    if (!url) return 5;
    if (PalOpenApiUtility::openURL(url)) return 0;
    open(getPalInstallURL());
    return destinationOf(message) == 1 ? 11 : 1;
}

Ref<PalApiMessage> PalApi::handleOpenURL(const Ref<NSURL>& url) { return PalApiMessageUtil::messageWithURL(url); }

Value PalApi::getAdItemArray() { return PalApiDatastore::instance()->getAdItemArray(); }

void PalApi::getPalUinOnlineStatues(const std::vector<std::string>& uins,
                                    const Ref<PalApiInterfaceDelegate>& delegate) {
    make<PalApiTaskGetPalUinOnlineStatues>(uins, delegate)->postOnMainThread();
}

bool PalApi::openPalApp() { return open("mpal://sourceScheme=" + PalApiDatastore::instance()->scheme().value_or("")); }

bool PalApi::openPalWorkApp() {
    return open("tim://sourceScheme=" + PalApiDatastore::instance()->scheme().value_or(""));
}

bool PalApi::joinGroup(const std::string& groupUin, const std::string& key) {
    if (!groupUin.empty())
        return open("mpalapi://card/show_pslcard?src_type=internal&version=1&uin=" + groupUin + "&key=" + key +
                    "&card_type=group&source=external");
    return open("mpalapi://card/show_pslcard?src_type=internal&version=1&key=" + key +
                "&card_type=group&source=external");
}

void PalApi::cgiShareReportWithMessage(const Ref<PalApiMessage>& message, int actType, int reportType,
                                       int callSource) {
    const Ref<PalApiObject> object = message ? message->object() : nullptr;
    int shareType = 0;
    if (exactly<PalApiNewsObject>(object)) shareType = 1;
    else if (exactly<PalApiImageObject>(object)) shareType = 2;
    else if (exactly<PalApiAudioObject>(object)) shareType = 3;
    else if (exactly<PalApiTextObject>(object)) shareType = 5;
    else return;
    NBDataReport::cgiShareReport(0, shareType, 0, actType, 0, reportType, callSource);
}

Ref<PalApiObject> PalApi::currentShareObject() { return currentObjectSlot(); }
