#include "app/payment/KXMoneyRequest.h"

#include <algorithm>
#include <optional>

#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/payment/KXKeptMoneyRequests.h"
#include "app/payment/KXMoneyReadBack.h"
#include "app/shell/KXFailureText.h"
#include "app/shell/MBProgressHUDManager.h"

namespace {

// The back end's code for a request refused for its signature: a missing or
// wrong one, a `t` aged out, or a request it has already acted on.
constexpr int kSignatureRefused = 2;
// The back end's code for a request it understood and declined: for an
// order's state, the order is not paid.
constexpr int kDeclined = 0;
// The back end's code for a request whose fields it refused.
constexpr int kInvalid = 4;

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

bool KXMoneyRequest::isFirmlyUnpaid(const Value& answer) {
    return KXClassicRequest::isEnvelope(answer) && KXClassicRequest::code(answer) == kDeclined;
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

bool KXMoneyRequest::retries(const Dictionary& query) const { return KXKeptMoneyRequests::asking(query).has_value(); }

void KXMoneyRequest::tellUnknownResults() const {
    for (const KXKeptMoneyRequests::Kept& kept : KXKeptMoneyRequests::ofSignedInPromoter()) {
        if (kept.records != state_->records) continue;
        MBProgressHUDManager::showtext(unknownResultText(kept.records), "error.png", nullptr);
        return;
    }
}

std::vector<std::shared_ptr<const KXMoneyRequest::Sent>> KXMoneyRequest::underWay() {
    return {sentRequests().begin(), sentRequests().end()};
}

bool KXMoneyRequest::dispatch(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                              KXClassicRequest::Answer onOtherCode, const Reload& reload, bool keepLost) {
    if (request_.isUnderWay()) return false;
    const std::optional<Dictionary> kept = keepLost ? KXKeptMoneyRequests::asking(query) : std::nullopt;
    const bool retry = kept.has_value();
    const Dictionary request = retry ? *kept : query;
    // Kept before it goes out: however the app ends meanwhile, the request
    // is there to resolve, and to tell of at the next start.
    if (keepLost && !retry) KXKeptMoneyRequests::keep(request, state_->records);
    auto sent = std::make_shared<Sent>(Sent{state_->records, std::nullopt});
    // The state changes only once the request has gone out and ended: a
    // tap while one is under way sends nothing and changes nothing.
    auto unknownResult = [state = state_, reload, sent] {
        ended(sent, unknownResultText(state->records));
        // The back end may have acted: the balances shown elsewhere may be old.
        KXBalanceWatch::changed();
        state->unknown = true;
        ++state->unknowns;
        showAndReload(state, reload);
    };
    // The result is known: the request is kept no more.
    auto known = [keepLost, request] {
        if (keepLost) KXKeptMoneyRequests::forget(request);
    };
    auto success = [onSuccess, sent, known, keepLost](const Value& answer) {
        // An order paid online is only placed by its answer.
        ended(sent, keepLost ? kSubmitted : kOrderPlaced);
        known();
        if (onSuccess) onSuccess(answer);
    };
    auto doneBefore = [onSuccess, sent, known] {
        ended(sent, kDoneBefore);
        known();
        if (onSuccess) onSuccess(Value(Dictionary{{"code", Value(1)}, {"message", Value(kDoneBefore)}}));
    };
    auto otherCode = [single = request_, retry, request, onOtherCode = std::move(onOtherCode), unknownResult,
                      doneBefore, known, sent](const Value& answer) {
        const int code = KXClassicRequest::code(answer);
        if (retry && code == kSignatureRefused) {
            if (KXClassicRequest::message(answer).starts_with(kAlreadyActed)) doneBefore();
            // No longer taken (aged out): what the back end made of it is in
            // its list.
            else readBack(single, request, sent, doneBefore, unknownResult);
            return;
        }
        // Declined or invalid, the request was judged after the back end
        // found it had not acted on it; any other refusal of a retry (an
        // unknown user, a busy server) says nothing of the lost request.
        if (retry && code != kDeclined && code != kInvalid) return unknownResult();
        ended(sent, KXFailureText::refusal(answer));
        known();
        if (onOtherCode) onOtherCode(answer);
        else KXClassicRequest::showRefusal(answer);
    };
    const bool out =
        request_.sendTellingUnknownResults(request, std::move(success), std::move(otherCode), unknownResult);
    if (out) sentRequests().push_back(sent);
    return out;
}

void KXMoneyRequest::readBack(KXSingleRequest single, const Dictionary& request, const std::shared_ptr<Sent>& sent,
                              const std::function<void()>& doneBefore, const std::function<void()>& unknownResult) {
    const std::optional<Dictionary> list = KXMoneyReadBack::listQuery(request);
    if (!list) return unknownResult();
    auto judged = [request, sent, doneBefore, unknownResult](const Value& answer) {
        switch (KXMoneyReadBack::judge(request, answer)) {
            case KXMoneyReadBack::Finding::Made:
                return doneBefore();
            case KXMoneyReadBack::Finding::NotMade:
                KXKeptMoneyRequests::forget(request);
                ended(sent, kNotDoneBefore);
                return MBProgressHUDManager::showError(kNotDoneBefore);
            case KXMoneyReadBack::Finding::Unknown:
                return unknownResult();
        }
    };
    single.sendTellingUnknownResults(*list, judged, [unknownResult](const Value&) { unknownResult(); }, unknownResult);
}
