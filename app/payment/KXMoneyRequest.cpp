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
#include "app/shell/WMUtil.h"

namespace {

// The back end's code for a request refused for its signature: a missing or
// wrong one, a `t` aged out, or a request it has already acted on.
constexpr int kSignatureRefused = 2;
// The back end's code for a request it understood and declined: for an
// order's state, the order is not paid.
constexpr int kDeclined = 0;
// The back end's code for a request whose fields it refused.
constexpr int kInvalid = 4;

// The money requests under way in the process, and those that ended since
// the last mark (main thread only).
std::vector<std::shared_ptr<KXMoneyRequest::Sent>>& sentRequests() {
    static std::vector<std::shared_ptr<KXMoneyRequest::Sent>> sent;
    return sent;
}

// The request has ended with `outcome`: it is no longer under way.
void ended(const std::shared_ptr<KXMoneyRequest::Sent>& sent, std::string outcome) {
    if (!sent->outcome) sent->outcome = std::move(outcome);
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
    if (closedForUnknownResult(reload) || closedByDamagedFile()) return false;
    return dispatch(query, std::move(onDone), nullptr, reload, true);
}

bool KXMoneyRequest::retriedOrClosed(const Dictionary& query, KXClassicRequest::Answer onDone,
                                     const Reload& reload) {
    if (closedForUnknownResult(reload) || closedByDamagedFile()) return true;
    if (!retries(query)) return false;
    sendOnce(query, std::move(onDone), reload);
    return true;
}

bool KXMoneyRequest::retries(const Dictionary& query) const { return KXKeptMoneyRequests::asking(query).has_value(); }

bool KXMoneyRequest::closedByDamagedFile() {
    const auto closed = KXKeptMoneyRequests::closedForSignedInPromoter();
    const auto mine = std::ranges::find(closed, state_->records, &KXKeptMoneyRequests::Closed::records);
    if (mine == closed.end()) return false;
    const std::string unknown = unknownResultText(state_->records);
    // Until the back end can take none of the requests the file may have
    // held (its window, on either side of a clock that may differ from
    // ours), what was made may still change.
    const std::optional<Dictionary> list = KXMoneyReadBack::listQueryOf(state_->records);
    if (!list || WMUtil::getTimeSp() <= mine->since + 2 * KXMoneyReadBack::kBackEndWindowSeconds) {
        MBProgressHUDManager::showtext(unknown, "error.png", nullptr);
        return true;
    }
    auto stillUnknown = [unknown] { MBProgressHUDManager::showtext(unknown, "error.png", nullptr); };
    request_.sendTellingUnknownResults(
        *list,
        [records = state_->records, stillUnknown](const Value&) {
            if (!KXKeptMoneyRequests::open(records)) return stillUnknown();
            MBProgressHUDManager::showtext(recordsFinalText(records), "error.png", nullptr);
        },
        [stillUnknown](const Value&) { stillUnknown(); }, stillUnknown);
    return true;
}

std::string KXMoneyRequest::recordsFinalText(std::string_view records) {
    return "结果已可在" + std::string(records) + "中查看";
}

std::string KXMoneyRequest::cannotKeepText() { return "无法保存此请求，未提交"; }

std::string KXMoneyRequest::listUnreadText(std::string_view records) {
    return "无法读取" + std::string(records) + "，未提交";
}

std::string KXMoneyRequest::matchFoundText(std::string_view records) {
    return std::string(records) + "中已有相同的" + KXMoneyReadBack::captionOfList(records);
}

void KXMoneyRequest::tellUnknownResults() const {
    const bool kept = std::ranges::any_of(KXKeptMoneyRequests::ofSignedInPromoter(),
                                          [&](const auto& one) { return one.records == state_->records; });
    const bool closed = std::ranges::any_of(KXKeptMoneyRequests::closedForSignedInPromoter(),
                                            [&](const auto& one) { return one.records == state_->records; });
    if (kept || closed) MBProgressHUDManager::showtext(unknownResultText(state_->records), "error.png", nullptr);
}

std::vector<std::shared_ptr<const KXMoneyRequest::Sent>> KXMoneyRequest::sinceMark() {
    return {sentRequests().begin(), sentRequests().end()};
}

void KXMoneyRequest::mark() {
    std::erase_if(sentRequests(), [](const auto& one) { return one->outcome.has_value(); });
}

bool KXMoneyRequest::dispatch(const Dictionary& query, KXClassicRequest::Answer onSuccess,
                              KXClassicRequest::Answer onOtherCode, const Reload& reload, bool keepLost) {
    if (request_.isUnderWay()) return false;
    std::optional<KXKeptMoneyRequests::Kept> kept = keepLost ? KXKeptMoneyRequests::asking(query) : std::nullopt;
    if (!keepLost || kept)
        return go(request_, state_, kept.value_or(KXKeptMoneyRequests::Kept{query, state_->records, std::nullopt}),
                  kept.has_value(), keepLost, std::move(onSuccess), std::move(onOtherCode), reload);
    // A new action that moves money: first what its list shows now, so that
    // a read-back can tell a row it made from one made before; then the
    // request is kept, before it goes out. What cannot be kept is not sent,
    // nor what has no list read first: a read-back could never tell it from
    // an earlier action of the same values.
    auto keptThenSent = [single = request_, state = state_, query, onSuccess = std::move(onSuccess), reload](
                            std::optional<std::vector<std::string>> listed) {
        const KXKeptMoneyRequests::Kept kept{query, state->records, std::move(listed)};
        if (auto problem = KXKeptMoneyRequests::keep(kept))
            return MBProgressHUDManager::showProblem(cannotKeepText(), *problem);
        go(single, state, kept, false, true, onSuccess, nullptr, reload);
    };
    const std::optional<Dictionary> list = KXMoneyReadBack::listQuery(query);
    if (!list) {
        keptThenSent(std::nullopt);
        return true;
    }
    auto unread = [records = state_->records] { MBProgressHUDManager::showError(listUnreadText(records)); };
    return request_.send(
        *list,
        [keptThenSent, unread, query](const Value& answer) {
            auto listed = KXMoneyReadBack::rowsDoing(query, answer);
            if (!listed) return unread();
            keptThenSent(std::move(listed));
        },
        [unread](const Value&) { unread(); }, unread);
}

bool KXMoneyRequest::go(KXSingleRequest single, const std::shared_ptr<State>& state,
                        const KXKeptMoneyRequests::Kept& kept, bool retry, bool keepLost,
                        KXClassicRequest::Answer onSuccess, KXClassicRequest::Answer onOtherCode, const Reload& reload) {
    const Dictionary& request = kept.request;
    auto sent = std::make_shared<Sent>(Sent{state->records, std::nullopt});
    // The state changes only once the request has gone out and ended: a
    // tap while one is under way sends nothing and changes nothing.
    auto unknownResult = [state, reload, sent] {
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
    auto otherCode = [single, retry, kept, onOtherCode = std::move(onOtherCode), unknownResult, doneBefore, known,
                      sent](const Value& answer) {
        const int code = KXClassicRequest::code(answer);
        if (retry && code == kSignatureRefused) {
            if (KXClassicRequest::message(answer).starts_with(kAlreadyActed)) doneBefore();
            // No longer taken (aged out): what the back end made of it is in
            // its list.
            else readBack(single, kept, sent, unknownResult);
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
    const bool out = single.sendTellingUnknownResults(request, std::move(success), std::move(otherCode), unknownResult);
    if (out) sentRequests().push_back(sent);
    return out;
}

void KXMoneyRequest::readBack(KXSingleRequest single, const KXKeptMoneyRequests::Kept& kept,
                              const std::shared_ptr<Sent>& sent, const std::function<void()>& unknownResult) {
    const Dictionary& request = kept.request;
    const std::optional<Dictionary> list = KXMoneyReadBack::listQuery(request);
    if (!list) return unknownResult();
    auto judged = [request, listedBefore = kept.listedBefore, records = kept.records, sent,
                   unknownResult](const Value& answer) {
        const KXMoneyReadBack::Finding finding = KXMoneyReadBack::judge(request, listedBefore, answer);
        if (finding == KXMoneyReadBack::Finding::Unknown && !KXMoneyReadBack::rowsDoing(request, answer))
            return unknownResult();
        // Either way the list tells all that can be known now: the result is
        // no longer unknown.
        KXKeptMoneyRequests::forget(request);
        // A row of the same values made in the window and not listed before
        // may be this request's or another device's (the same promoter on
        // another phone): values cannot tell, so it is not called done.
        const std::string said = finding == KXMoneyReadBack::Finding::NotMade ? kNotDoneBefore : matchFoundText(records);
        ended(sent, said);
        MBProgressHUDManager::showError(said);
    };
    single.sendTellingUnknownResults(*list, judged, [unknownResult](const Value&) { unknownResult(); }, unknownResult);
}
