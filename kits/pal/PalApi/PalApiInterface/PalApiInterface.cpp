#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"

#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiLog.h"

namespace {

constexpr const char* kShareCheck = "SHARE_CHECK_SDK";

#define REFUSE(line) (PAL_API_LOG("%s", line), std::int32_t{-1})

// A share request through `send` (any other kind of request answers -1),
// with the outcome reported.
std::int32_t sendAndReport(const Ref<PalBaseReq>& request, std::int32_t (*send)(const Ref<PalBaseReq>&),
                           bool isPalspace) {
    const std::int32_t code = request->type() == SendMessageToPalReq::kShareType ? send(request) : -1;
    PalApiInterface::reportSDKCheck(code, kShareCheck, isPalspace);
    return code;
}

}  // namespace

void PalApiInterface::showMessageRequestFromPal(const Ref<PalApiObject>& object,
                                                const Ref<PalApiInterfaceDelegate>& delegate) {
    auto request = ShowMessageFromPalReq::reqWithContent(object);
    if (delegate) delegate->onReq(request);
}

void PalApiInterface::getMessageRequestFromPal(const Ref<PalApiInterfaceDelegate>& delegate) {
    auto request = GetMessageFromPalReq::req();
    if (delegate) delegate->onReq(request);
}

std::int32_t PalApiInterface::SendMessageToPalRequest(const Ref<PalApiMessage>& message) {
    return PalApi::sendMessage(message);
}

std::int32_t PalApiInterface::responseToGetMessageFromPal(const Ref<PalApiMessage>& message) {
    return PalApi::sendMessage(message);
}

std::int32_t PalApiInterface::responseToShowMessageFromPal(const Ref<PalApiMessage>& message) {
    return PalApi::sendMessage(message);
}

bool PalApiInterface::responseToSendMessageToPal(const Ref<PalApiObject>& object,
                                                 const Ref<PalApiInterfaceDelegate>& delegate) {
    const auto* result = exactly<PalApiResultObject>(object);
    if (!result) return false;
    auto response = SendMessageToPalResp::respWithResult(result->error(), result->errorDescription(),
                                                         result->extendInfo());
    if (delegate) delegate->onResp(response);
    return true;
}

bool PalApiInterface::handleOpenURL(const Ref<NSURL>& url, const Ref<PalApiInterfaceDelegate>& delegate) {
    auto message = PalApi::handleOpenURL(url);
    if (!message) return false;
    switch (message->type()) {
        case PalApiMessage::kShowRequestFromPal: showMessageRequestFromPal(message->object(), delegate); return true;
        case PalApiMessage::kShowAnswer: return responseToShowMessageFromPal(message) == 0;
        case PalApiMessage::kGetRequestFromPal: getMessageRequestFromPal(delegate); return true;
        case PalApiMessage::kGetAnswer: return responseToGetMessageFromPal(message) == 0;
        case PalApiMessage::kShareToChat: return SendMessageToPalRequest(message) == 0;
        case PalApiMessage::kShareAnswerFromPal:
            if (!PalApiDatastore::instance()->takeShareAnswer()) {
                PAL_API_LOG("no share is waiting for Pal's answer: dropped");
                return true;
            }
            return responseToSendMessageToPal(message->object(), delegate);
        default: return false;
    }
}

std::int32_t PalApiInterface::sendMessageToPalWithReq(const Ref<PalBaseReq>& request) {
    const auto* share = exactly<SendMessageToPalReq>(request);
    if (!share) return REFUSE("PalAliInterface.m: req is not member of class SendMessageToPalReq at sendMessageToPalWithReq");
    return SendMessageToPalRequest(PalApiMessage::messageWithObject(share->message(), PalApiMessage::kShareToChat));
}

std::int32_t PalApiInterface::sendMessageToPalPalSpaceWithReq(const Ref<PalBaseReq>& request) {
    const auto* share = exactly<SendMessageToPalReq>(request);
    if (!share)
        return REFUSE("PalAliInterface.m: req is not member of class SendMessageToPalReq at sendMessageToPalPalSpaceWithReq");
    const auto& object = share->message();
    const bool textOrPicture = isKind<PalApiTextObject>(object) || isKind<PalApiImageObject>(object);
    const bool toChat = textOrPicture && !ConfigManager::GetInstance()->isAppWithinWhitelistForH5Share();
    return SendMessageToPalRequest(
        PalApiMessage::messageWithObject(object, toChat ? PalApiMessage::kShareToChat : PalApiMessage::kShareToPalSpace));
}

std::int32_t PalApiInterface::sendMessageToPalGroupTribeWithReq(const Ref<PalBaseReq>& request) {
    const auto* share = exactly<SendMessageToPalReq>(request);
    if (!share)
        return REFUSE("PalAliInterface.m: req is not member of class SendMessageToPalReq at sendMessageToPalGroupTribeWithReq");
    return SendMessageToPalRequest(PalApiMessage::messageWithObject(share->message(), PalApiMessage::kShareToGroupTribe));
}

std::int32_t PalApiInterface::sendReq(const Ref<PalBaseReq>& request) {
    if (!request) return REFUSE("PalAliInterface.m: req is nil at sendReq");
    return sendAndReport(request, sendMessageToPalWithReq, false);
}

std::int32_t PalApiInterface::SendReqToPalSpace(const Ref<PalBaseReq>& request) {
    if (!request) return REFUSE("PalAliInterface.m: req is nil at SendReqToPalSpace");
    return sendAndReport(request, sendMessageToPalPalSpaceWithReq, true);
}

std::int32_t PalApiInterface::SendReqToPalGroupTribe(const Ref<PalBaseReq>& request) {
    if (!request) return REFUSE("PalAliInterface.m: req is nil at SendReqToPalGroupTribe");
    return sendAndReport(request, sendMessageToPalGroupTribeWithReq, false);
}

std::int32_t PalApiInterface::sendGetMessageFromPalResp(const Ref<PalBaseResp>& response) {
    const auto* content = exactly<GetMessageFromPalResp>(response);
    if (!content)
        return REFUSE("PalAliInterface.m: resp is not member of class GetMessageFromPalResp at sendGetMessageFromPalResp");
    return responseToGetMessageFromPal(PalApiMessage::messageWithObject(content->message(), PalApiMessage::kGetAnswer));
}

std::int32_t PalApiInterface::sendShowMessageFromPalResp(const Ref<PalBaseResp>& response) {
    const auto* answer = exactly<ShowMessageFromPalResp>(response);
    if (!answer)
        return REFUSE("PalAliInterface.m: resp is not member of class ShowMessageFromPalResp at sendShowMessageFromPalResp");
    auto result = make<PalApiResultObject>();
    result->setError(answer->result());
    result->setErrorDescription(answer->errorDescription());
    return responseToShowMessageFromPal(PalApiMessage::messageWithObject(result, PalApiMessage::kShowAnswer));
}

std::int32_t PalApiInterface::sendResp(const Ref<PalBaseResp>& response) {
    if (!response) return REFUSE("PalAliInterface.m: resp is nil at sendResp");
    if (response->type() == 0) return sendShowMessageFromPalResp(response);
    if (response->type() == 1) return sendGetMessageFromPalResp(response);
    return -1;
}

bool PalApiInterface::isPalInstalled() { return PalApi::isPalInstalled(); }
bool PalApiInterface::isPalWorkInstalled() { return PalApi::isPalWorkInstalled(); }
bool PalApiInterface::isPalSupportApi() { return PalApi::isPalSupportApi(); }
bool PalApiInterface::isPalWorkSupportApi() { return PalApi::isPalWorkSupportApi(); }
bool PalApiInterface::openPal() { return PalApi::openPalApp(); }
bool PalApiInterface::openPalWork() { return PalApi::openPalWorkApp(); }
std::string PalApiInterface::getPalInstallUrl() { return PalApi::getPalInstallURL(); }
std::string PalApiInterface::getPalWorkInstallUrl() { return PalApi::getPalWorkInstallURL(); }

void PalApiInterface::getPalUinOnlineStatues(const std::vector<std::string>& uins,
                                             const Ref<PalApiInterfaceDelegate>& delegate) {
    PalApi::getPalUinOnlineStatues(uins, delegate);
    NBDataReport::cgiStatisticReport(0, 15);
}

void PalApiInterface::reportSDKCheck(std::int32_t code, const std::string& command, bool isPalspace) {
    const std::string detail = isPalspace ? "share_type=4" : "share_type=0";
    switch (code) {
        case 3: case 4: case 5: case 6: case 10000: case 10001:
            NBDataReport::reportCheck(command, 1, code, detail);
            break;
        case 0: NBDataReport::reportCheck(command, 0, 0, detail); break;
        default: break;
    }
}
