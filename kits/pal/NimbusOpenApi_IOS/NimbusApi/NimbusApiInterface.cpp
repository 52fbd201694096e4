#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"

#include "kits/pal/NimbusOpenApi_IOS/Common/API/NBOSDKReachability.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusMessageParse.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "uikit/UIApplication.h"

namespace {

bool canOpenScheme(const std::string& scheme) { return NBOSDKCanOpenURLString(scheme + "://"); }

}  // namespace

std::int32_t NimbusApiInterface::sendRespMessageToNimbusApp(const Ref<NimbusApiResp>& response) {
    if (!response) return -1;
    if (!response->objReq() || response->objReq()->nPlatform() != 1) return 0;
    if (!installIphonePalSpace()) return 1;
    if (!iphonePalSpaceSupportApi()) return 2;
    if (!NimbusMessagePack::messageVaild(response)) return 3;
    auto data = NimbusMessagePack::dataWithNimbusReqMessage(response);
    if (!data || data->length() > NimbusMessagePack::kMaxArchive) return 3;
    auto url = NimbusMessagePack::packNimbusRespMessage(*data, 1);
    return PalOpenApiUtility::openURL(url) ? 0 : 4;
}

bool NimbusApiInterface::handleOpenURL(const Ref<NSURL>& url, const Ref<NimbusApiInterfaceDelegate>& delegate) {
    Value message = NimbusMessageParse::parseNimbusMessage(url);
    if (message.isNil()) return false;
    if (auto request = message.objectAs<NimbusApiReq>()) {
        if (!delegate) return true;
        if (delegate->onNimbusReq(request) == std::optional<bool>(false)) {
            auto response = NimbusApiResp::respFromReq(request);
            response->setNRetCode(-1);
            sendRespMessageToNimbusApp(response);
        }
        return true;
    }
    return !message.objectAs<NimbusApiResp>();
}

bool NimbusApiInterface::canOpenURL(const Ref<NSURL>& url, const Ref<NimbusApiInterfaceDelegate>&) {
    return NimbusMessageParse::isNimbusMessageURL(NimbusUrlDecoder::decoderWithUrl(url));
}

bool NimbusApiInterface::installIphonePalSpace() { return canOpenScheme("mpalspace"); }

bool NimbusApiInterface::iphonePalSpaceSupportApi() { return canOpenScheme(NimbusMessagePack::kPalSpaceApiScheme); }

void NimbusApiInterface::openThirdApp(const std::string& appId) {
    if (auto url = NSURL::URLWithString("nimbus" + appId + ".content://")) UIApplication::sharedApplication()->openURL(url);
}

bool NimbusApiInterface::isNimbusAppInstall(std::int64_t platform) {
    switch (platform) {
        case 0: return canOpenScheme("mpal");
        case 1: return canOpenScheme("mpalspace");
        case 2: return PalApi::isPalWorkInstalled();
        default: return false;
    }
}

bool NimbusApiInterface::isNimbusAppSupportNimbusApi(std::int64_t platform) {
    switch (platform) {
        case 0: return canOpenScheme("nimbusapi.pal.reqContent");
        case 1: return canOpenScheme(NimbusMessagePack::kPalSpaceApiScheme);
        case 2: return PalApi::isPalWorkSupportApi();
        default: return false;
    }
}
