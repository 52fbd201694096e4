#include "kits/pal/NimbusOpenApi_IOS/NimbusSessionDelegate.h"

namespace {

using Callback = NimbusSessionCallback;
using AnswerCallback = void (NimbusSessionDelegate::*)(const Ref<APIResponse>&);

struct AnswerCallbackEntry {
    const char* name;
    Callback callback;
    AnswerCallback call;
};

// Every answer callback, by the name replies build ("%@%@Response:"): the
// name, the callback and the delegate's method are one word.
#define NIMBUS_ANSWER_CALLBACK(name) {#name, Callback::name, &NimbusSessionDelegate::name}
constexpr AnswerCallbackEntry kAnswerCallbacks[] = {
    NIMBUS_ANSWER_CALLBACK(getUserInfoResponse),    NIMBUS_ANSWER_CALLBACK(getListAlbumResponse),
    NIMBUS_ANSWER_CALLBACK(getListPhotoResponse),   NIMBUS_ANSWER_CALLBACK(checkPageFansResponse),
    NIMBUS_ANSWER_CALLBACK(addShareResponse),       NIMBUS_ANSWER_CALLBACK(addAlbumResponse),
    NIMBUS_ANSWER_CALLBACK(uploadPicResponse),      NIMBUS_ANSWER_CALLBACK(addOneBlogResponse),
    NIMBUS_ANSWER_CALLBACK(addTopicResponse),       NIMBUS_ANSWER_CALLBACK(setUserHeadpicResponse),
    NIMBUS_ANSWER_CALLBACK(getVipInfoResponse),     NIMBUS_ANSWER_CALLBACK(getVipRichInfoResponse),
    NIMBUS_ANSWER_CALLBACK(sendStoryResponse),
};
#undef NIMBUS_ANSWER_CALLBACK

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
