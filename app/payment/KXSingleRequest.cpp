#include "app/payment/KXSingleRequest.h"

#include "app/shell/MBProgressHUDManager.h"

struct KXSingleRequest::Wait {
    std::string text;
    KXClassicRequest::Logging logging = KXClassicRequest::Logging::Answer;
    // Counts the requests sent, so that a late end of an earlier one cannot
    // end a later one.
    unsigned long long serial = 0;
    bool underWay = false;
    WeakRef<MBProgressHUD> hud;

    void end(unsigned long long request) {
        if (!underWay || request != serial) return;
        underWay = false;
        if (auto shown = hud.lock()) shown->hideAnimated(true);
        hud.reset();
    }
};

// One request's hold on its action's wait: given up when the first of its
// blocks runs, or when the request lets go of its blocks (a block left to
// KXClassicRequest's own rule runs without it).
struct KXSingleRequest::Hold {
    Hold(std::shared_ptr<Wait> wait, unsigned long long request) : wait(std::move(wait)), request(request) {}
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    ~Hold() { release(); }
    void release() const { wait->end(request); }

    std::shared_ptr<Wait> wait;
    unsigned long long request;
};

KXSingleRequest::KXSingleRequest(std::string waitText, KXClassicRequest::Logging logging)
    : wait_(std::make_shared<Wait>()) {
    wait_->text = std::move(waitText);
    wait_->logging = logging;
}

bool KXSingleRequest::isUnderWay() const { return wait_->underWay; }

bool KXSingleRequest::send(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                           KXClassicRequest::Answer onOtherCode, KXClassicRequest::Failure onFailure) {
    if (wait_->underWay) return false;
    wait_->underWay = true;
    wait_->hud = MBProgressHUDManager::showMessage(wait_->text);
    auto hold = std::make_shared<const Hold>(wait_, ++wait_->serial);

    // Each block gives up the hold before it runs; success always has one,
    // so that the hold lasts until the answer.
    auto releasing = [&hold](auto block) -> decltype(block) {
        if (!block) return nullptr;
        return [hold, block = std::move(block)](const auto&... arguments) {
            hold->release();
            block(arguments...);
        };
    };
    if (!onSuccess) onSuccess = [](const Value&) {};
    KXClassicRequest::send(query, releasing(std::move(onSuccess)), releasing(std::move(onOtherCode)),
                           releasing(std::move(onFailure)), wait_->logging);
    return true;
}

bool KXSingleRequest::sendTellingUnknownResults(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                                                KXClassicRequest::Answer onRefusal,
                                                KXClassicRequest::Failure onUnknownResult) {
    auto otherCode = [onRefusal = std::move(onRefusal), onUnknownResult](const Value& answer) {
        if (!KXClassicRequest::isEnvelope(answer)) onUnknownResult();
        else if (onRefusal) onRefusal(answer);
        else KXClassicRequest::showRefusal(answer);
    };
    return send(query, std::move(onSuccess), std::move(otherCode), std::move(onUnknownResult));
}

bool KXSingleRequest::sendReloadingAfterUnknownResult(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                                                      KXClassicRequest::Failure reload) {
    return sendTellingUnknownResults(query, std::move(onSuccess), nullptr, [reload = std::move(reload)] {
        KXClassicRequest::showFailure();
        if (reload) reload();
    });
}
