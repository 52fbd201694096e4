#include "app/payment/KXMoneyRequest.h"

#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXChongzhishibaiViewController.h"
#include "app/shell/MBProgressHUDManager.h"

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

void KXMoneyRequest::layUnconfirmed(const Ref<UIViewController>& screen, const std::string& records) {
    KXChildPage::layOver(screen, make<KXChongzhishibaiViewController>(records));
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
    auto unknownResult = [state = state_, reload] {
        // The back end may have acted: the balances shown elsewhere may be old.
        KXBalanceWatch::changed();
        state->unknown = true;
        ++state->unknowns;
        showAndReload(state, reload);
    };
    return request_.sendTellingUnknownResults(query, std::move(onSuccess), std::move(onOtherCode), unknownResult);
}
