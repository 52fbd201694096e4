#pragma once

#include <memory>
#include <string>

#include "app/payment/KXClassicRequest.h"

// One action of a screen that changes money or state (a submit, a payment, a
// decision, a deletion, a save): at most one of its requests is under way.
// While one is, a further send is ignored and the wait HUD shows on the key
// window; the HUD goes as soon as the answer or the failure arrives, before
// the screen's own blocks run. The screen keeps one per action.
class KXSingleRequest {
public:
    // `waitText` labels the wait HUD ("" shows the indicator alone);
    // `logging` says whether the action's success answers are logged.
    explicit KXSingleRequest(std::string waitText = "",
                             KXClassicRequest::Logging logging = KXClassicRequest::Logging::Answer);

    bool isUnderWay() const;

    // As KXClassicRequest::send, unless a request of this action is under
    // way: then nothing is sent and the answer is false.
    bool send(const Dictionary& query, KXClassicRequest::Answer onSuccess,
              KXClassicRequest::Answer onOtherCode = nullptr, KXClassicRequest::Failure onFailure = nullptr);
    // As send, telling apart what the back end may have acted on: a refusal
    // is its answer with another code (`onRefusal`, else showRefusal); an
    // unknown result is no answer (a transport failure: the connection lost
    // after the request went out, no answer in time) or one that is not the
    // back end's (not a JSON object), after which the back end may have
    // acted or not (`onUnknownResult`); so is an answer whose shape is not
    // the back end's envelope (`{}`, no readable `code`: isEnvelope).
    bool sendTellingUnknownResults(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                                   KXClassicRequest::Answer onRefusal, KXClassicRequest::Failure onUnknownResult);
    // As sendTellingUnknownResults for an action whose effect the screen can
    // show by reloading its list (a deletion, a decision): a refusal shows its reason;
    // an unknown result says "获取数据失败" and runs `reload`, which asks the
    // back end what it did and shows that, so that a retry is not refused
    // for a change already made.
    bool sendReloadingAfterUnknownResult(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                                         KXClassicRequest::Failure reload);

private:
    struct Wait;
    struct Hold;
    std::shared_ptr<Wait> wait_;
};
