#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

namespace {

using Callback = NimbusSessionCallback;
using AnswerCallback = void (NimbusSessionDelegate::*)(const Ref<APIResponse>&);

struct AnswerCallbackEntry {
    const char* name;
    Callback callback;
    AnswerCallback call;
};

// Every answer callback, by the name replies build ("%@%@Response:").
constexpr AnswerCallbackEntry kAnswerCallbacks[] = {
    {"getUserInfoResponse", Callback::getUserInfoResponse, &NimbusSessionDelegate::getUserInfoResponse},
    {"getListAlbumResponse", Callback::getListAlbumResponse, &NimbusSessionDelegate::getListAlbumResponse},
    {"getListPhotoResponse", Callback::getListPhotoResponse, &NimbusSessionDelegate::getListPhotoResponse},
    {"checkPageFansResponse", Callback::checkPageFansResponse, &NimbusSessionDelegate::checkPageFansResponse},
    {"addShareResponse", Callback::addShareResponse, &NimbusSessionDelegate::addShareResponse},
    {"addAlbumResponse", Callback::addAlbumResponse, &NimbusSessionDelegate::addAlbumResponse},
    {"uploadPicResponse", Callback::uploadPicResponse, &NimbusSessionDelegate::uploadPicResponse},
    {"addOneBlogResponse", Callback::addOneBlogResponse, &NimbusSessionDelegate::addOneBlogResponse},
    {"addTopicResponse", Callback::addTopicResponse, &NimbusSessionDelegate::addTopicResponse},
    {"setUserHeadpicResponse", Callback::setUserHeadpicResponse, &NimbusSessionDelegate::setUserHeadpicResponse},
    {"getVipInfoResponse", Callback::getVipInfoResponse, &NimbusSessionDelegate::getVipInfoResponse},
    {"getVipRichInfoResponse", Callback::getVipRichInfoResponse, &NimbusSessionDelegate::getVipRichInfoResponse},
    {"sendStoryResponse", Callback::sendStoryResponse, &NimbusSessionDelegate::sendStoryResponse},
};

}  // namespace

bool NimbusSessionDelegate::respond(NimbusSessionCallback callback, const Ref<APIResponse>& response) {
    if (!answers(callback)) return false;
    for (const AnswerCallbackEntry& entry : kAnswerCallbacks) {
        if (entry.callback != callback) continue;
        (this->*entry.call)(response);
        return true;
    }
    return false;
}

void NimbusSessionDelegate::receiveReply(std::optional<NimbusSessionCallback> own, const Ref<APIResponse>& response,
                                         const std::string& message) {
    if (own && respond(*own, response)) return;
    if (answers(NimbusSessionCallback::responseDidReceived)) responseDidReceived(response, message);
}

std::optional<NimbusSessionCallback> NimbusSessionDelegate::responseCallbackNamed(const std::string& name) {
    for (const AnswerCallbackEntry& entry : kAnswerCallbacks)
        if (name == entry.name) return entry.callback;
    return std::nullopt;
}
