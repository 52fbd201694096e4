#include "app/payment/KXMoneyRequest.h"

#include <algorithm>
#include <optional>

#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/shell/KXFailureText.h"
#include "app/shell/MBProgressHUDManager.h"

namespace {

// The back end's code for a request refused for its signature: a missing or
// wrong one, a `t` aged out, or a request it has already acted on.
constexpr int kSignatureRefused = 2;

// The money requests under way in the process (main thread only).
std::vector<std::shared_ptr<KXMoneyRequest::Sent>>& sentRequests() {
    static std::vector<std::shared_ptr<KXMoneyRequest::Sent>> sent;
    return sent;
}

// The request has ended with `outcome`: it is no longer under way.
void ended(const std::shared_ptr<KXMoneyRequest::Sent>& sent, std::string outcome) {
    if (sent->outcome) return;
    sent->outcome = std::move(outcome);
    std::erase(sentRequests(), sent);
}

}  // namespace

struct KXMoneyRequest::State {
    std::string records;
    bool unknown = false;
    // Counts the unknown results, so that a balance asked for before the
    // latest one cannot open the action.
    unsigned long long unknowns = 0;
    // A balance reload of the action's own is under way.
    bool reloading = false;
    // The state of an order paid online is being asked.
    bool checkingOrder = false;
    // The request of an action that moves money whose answer was lost, as
    // it went out: a retry sends it again.
    std::optional<Dictionary> lost;

    // Every balance load of the screen supersedes the one under way, so
    // whichever ends, the reload has ended.
    Reloaded opener(const std::shared_ptr<State>& self) const {
        return [self, unknowns = unknowns](bool arrived) {
            self->reloading = false;
            if (arrived && self->unknowns == unknowns) self->unknown = false;
        };
    }
};

KXMoneyRequest::KXMoneyRequest(std::string waitText, std::string records)
    : request_(std::move(waitText)), state_(std::make_shared<State>()) {
    state_->records = std::move(records);
}

std::string KXMoneyRequest::unknownResultText(std::string_view records) {
    return "结果未知，请在" + std::string(records) + "中确认";
}

void KXMoneyRequest::showAndReload(const std::shared_ptr<State>& state, const Reload& reload) {
    // Longer than an error's second: it says where to look.
    MBProgressHUDManager::showtext(unknownResultText(state->records), "error.png", nullptr);
    if (!reload || state->reloading) return;
    state->reloading = true;
    reload(state->opener(state));
}

std::function<void()> KXMoneyRequest::orderCheckBegun() const {
    state_->checkingOrder = true;
    return [state = state_] { state->checkingOrder = false; };
}

void KXMoneyRequest::layUnconfirmed(const Ref<UIViewController>& screen, const std::string& records,
                                    std::optional<std::string> refusal) {
    KXChildPage::layOver(screen, make<KXChongzhishibaiViewController>(records, std::move(refusal)));
}

bool KXMoneyRequest::closedForUnknownResult(const Reload& reload) {
    if (state_->checkingOrder) {
        showAndReload(state_, nullptr);
        return true;
    }
    if (!state_->unknown) return false;
    showAndReload(state_, reload);
    return true;
}

bool KXMoneyRequest::isUnderWay() const { return request_.isUnderWay(); }

const std::string& KXMoneyRequest::records() const { return state_->records; }

KXMoneyRequest::Reloaded KXMoneyRequest::opener() const { return state_->opener(state_); }

bool KXMoneyRequest::send(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                          KXClassicRequest::Answer onOtherCode, const Reload& reload) {
    if (closedForUnknownResult(reload)) return false;
    return dispatch(query, std::move(onSuccess), std::move(onOtherCode), reload, false);
}

bool KXMoneyRequest::sendOnce(const Dictionary& query, KXClassicRequest::Answer onDone, const Reload& reload) {
    if (closedForUnknownResult(reload)) return false;
    return dispatch(query, std::move(onDone), nullptr, reload, true);
}

bool KXMoneyRequest::retriedOrClosed(const Dictionary& query, KXClassicRequest::Answer onDone,
                                     const Reload& reload) {
    if (closedForUnknownResult(reload)) return true;
    if (!retries(query)) return false;
    sendOnce(query, std::move(onDone), reload);
    return true;
}

bool KXMoneyRequest::retries(const Dictionary& query) const {
    if (!state_->lost) return false;
    auto asked = [](const Dictionary& request) {
        Dictionary fields = request;
        fields.remove("t");
        fields.remove("sign");
        return fields;
    };
    return asked(*state_->lost) == asked(query);
}

std::vector<std::shared_ptr<const KXMoneyRequest::Sent>> KXMoneyRequest::underWay() {
    return {sentRequests().begin(), sentRequests().end()};
}

bool KXMoneyRequest::dispatch(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                              KXClassicRequest::Answer onOtherCode, const Reload& reload, bool keepLost) {
    const bool retry = keepLost && retries(query);
    const Dictionary request = retry ? *state_->lost : query;
    auto sent = std::make_shared<Sent>(Sent{state_->records, std::nullopt});
    // The state changes only once the request has gone out and ended: a
    // tap while one is under way sends nothing and changes nothing.
    auto unknownResult = [state = state_, reload, sent](std::optional<Dictionary> kept) {
        ended(sent, unknownResultText(state->records));
        // The back end may have acted: the balances shown elsewhere may be old.
        KXBalanceWatch::changed();
        state->lost = std::move(kept);
        state->unknown = true;
        ++state->unknowns;
        showAndReload(state, reload);
    };
    auto success = [state = state_, onSuccess, sent](const Value& answer) {
        ended(sent, kSubmitted);
        state->lost.reset();
        if (onSuccess) onSuccess(answer);
    };
    auto otherCode = [state = state_, retry, onSuccess, onOtherCode = std::move(onOtherCode), unknownResult,
                      sent](const Value& answer) {
        state->lost.reset();
        if (retry && KXClassicRequest::code(answer) == kSignatureRefused) {
            // The lost request had acted; or it is no longer taken (aged out),
            // which leaves its result as unknown as it was.
            if (!KXClassicRequest::message(answer).starts_with(kAlreadyActed)) {
                unknownResult(std::nullopt);
                return;
            }
            ended(sent, kDoneBefore);
            if (onSuccess) onSuccess(Value(Dictionary{{"code", Value(1)}, {"message", Value(kDoneBefore)}}));
            return;
        }
        ended(sent, KXFailureText::refusal(answer));
        if (onOtherCode) onOtherCode(answer);
        else KXClassicRequest::showRefusal(answer);
    };
    const bool out = request_.sendTellingUnknownResults(
        request, std::move(success), std::move(otherCode),
        [unknownResult, request, keepLost] { unknownResult(keepLost ? std::optional(request) : std::nullopt); });
    if (out) sentRequests().push_back(sent);
    return out;
}
