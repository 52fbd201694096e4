#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/payment/KXKeptMoneyRequests.h"
#include "app/payment/KXScreenLoads.h"
#include "app/payment/KXSingleRequest.h"
#include "uikit/UIViewController.h"

// A money action (a settlement, a top-up, a recharge): one request at a
// time, as KXSingleRequest sends it. When the request went out and no answer
// of the back end came back (no answer in time, the connection lost, an
// answer that is not the back end's), the back end may have acted on it:
// the result is unknown, which is not a failure the promoter may simply
// retry. The screen then says so and where to look ("结果未知，请在结算明细中
// 确认", short enough for the HUD's one line, shown 2 s), loads the balance
// the action changes again, and the action stays closed until that balance
// has arrived, so that no tap acts on the balance from before (a settlement
// then checks its amount against the one loaded; a top-up or recharge
// compares with none, the back end judging it). One such reload at a time: a tap while one is under way shows
// the message again and sends nothing, so that taps on a back end that
// does not answer cannot fill every connection to it. An unknown result
// also counts as a change of the balances (KXBalanceWatch), as a success
// does: every screen that shows them asks again when it next appears.
class KXMoneyRequest {
public:
    // Run when a balance request sent for the action has ended: `arrived`
    // when it was answered with the balance, false when it was refused or
    // failed.
    using Reloaded = std::function<void(bool arrived)>;
    // The screen loads the action's balance and, once that load has ended,
    // runs the block. When the load fails it says nothing: the message about
    // the unknown result stays.
    using Reload = std::function<void(Reloaded)>;

    // `waitText` labels the wait HUD; `records` names the list where the
    // promoter sees the action's results ("结算明细").
    KXMoneyRequest(std::string waitText, std::string records);

    // "结果未知，请在<records>中确认".
    static std::string unknownResultText(std::string_view records);

    bool isUnderWay() const;
    // The list that shows the action's results.
    const std::string& records() const;

    // While the action is closed for an unknown result: shows the message
    // again, loads the balance again through `reload` unless that load is
    // still under way, and answers true (the
    // tap goes no further, not even to the screen's checks, which would
    // check against the balance from before). While the state of an order
    // paid online is being asked (askOrderState): shows the message and
    // answers true. Else false.
    bool closedForUnknownResult(const Reload& reload);

    // As KXSingleRequest::send while the action is open; an unknown result
    // is shown, reloads the balance through `reload` and closes the action.
    // While it is closed, as closedForUnknownResult. False when nothing was
    // sent. For an action that only places an order awaiting payment (an
    // order paid online): a lost answer leaves at most an unpaid order, and
    // the next tap places a new one, with its own payment page.
    bool send(const Dictionary& query, KXClassicRequest::Answer onSuccess, KXClassicRequest::Answer onOtherCode,
              const Reload& reload);

    // For an action that moves money at once (a settlement, a top-up paid
    // from the prepaid balance), which a retry must not make twice: as send,
    // but the request is kept (KXKeptMoneyRequests) before it goes out and
    // until its result is known, and a later tap that asks the same, on any
    // form of the action in this run or a later one, resolves it before
    // anything else: it sends that very request again, with its `t` and
    // `sign`. The back end acts on one signed request at most once: it makes
    // the action now if the lost request had not, and otherwise answers
    // "该请求已处理" (kAlreadyActed), which runs `onDone` as a success with
    // the message kDoneBefore. A kept request that the back end no longer
    // takes (its `t` has aged out) is read back from the action's list
    // (KXMoneyReadBack): a row of its values not listed before it went out,
    // which may also be another device's, is dropped and the form says
    // matchFoundText, not done; no such row, it is dropped and the form
    // says kNotDoneBefore; a list that cannot be read leaves it unknown. A
    // new request goes out only once its list has been read (else the form
    // says listUnreadText), so that the read-back knows the rows before it.
    // Different values are a new action with a request of its own.
    bool sendOnce(const Dictionary& query, KXClassicRequest::Answer onDone, const Reload& reload);
    // A tap's first step for such an action, before the screen's checks
    // (which the values already passed when the kept request went out, and
    // which may now refuse them for the action made then, a settleable
    // amount already paid out): `query` is what the tap would send. True
    // when the tap goes no further: the action is closed
    // (closedForUnknownResult), or the tap asks what a kept request asked
    // and sendOnce resolved it.
    bool retriedOrClosed(const Dictionary& query, KXClassicRequest::Answer onDone, const Reload& reload);
    // Whether `query` asks what a kept request of unknown result asked:
    // every field equal but `t` and `sign`.
    bool retries(const Dictionary& query) const;

    // A money request that went out, for a session that ends while it is
    // under way (the runner waits a bounded time for it): the list that
    // shows the action's results, and, once it has ended, what it came to
    // (kSubmitted, kOrderPlaced, a refusal's message as the screen shows
    // it, kDoneBefore, kNotDoneBefore, matchFoundText, or the unknown
    // result's text).
    struct Sent {
        std::string records;
        std::optional<std::string> outcome;
    };
    // The money requests under way now, in the whole process, and those
    // that ended since the last mark(), in the order they went out.
    static std::vector<std::shared_ptr<const Sent>> sinceMark();
    // What ended so far has been seen (the runner marks at each command).
    static void mark();

    // How the back end's answer to a request it has already acted on
    // begins; and what the form shows for it.
    static constexpr const char* kAlreadyActed = "该请求已处理";
    static constexpr const char* kDoneBefore = "上次提交已成功";
    // What a request answered with success came to: the action made; for
    // an order paid online, only the order placed.
    static constexpr const char* kSubmitted = "提交成功";
    static constexpr const char* kOrderPlaced = "订单已创建，尚未支付";
    // A kept request the back end no longer takes, and which its list shows
    // it never made.
    static constexpr const char* kNotDoneBefore = "上次提交未成功，请重新提交";

    // Sends the balance request `query`, one of the screen's loads: on code
    // 1 `show` puts the answer on screen. A refusal or a failure follows
    // KXClassicRequest's rule, or, `quietly`, shows nothing. Either way
    // `reloaded` runs last (when given), unless the screen is gone or a newer
    // load of the balance superseded this one (which then runs its own).
    template <class Screen>
    static void loadBalance(KXScreenLoads& loads, Screen* screen, const Dictionary& query,
                            std::type_identity_t<KXScreenLoads::Answer<Screen>> show, Reloaded reloaded,
                            bool quietly) {
        auto ended = [reloaded = std::move(reloaded)](bool arrived) {
            if (reloaded) reloaded(arrived);
        };
        loads.load(
            screen, query,
            [show = std::move(show), ended](const Ref<Screen>& shown, const Value& answer) {
                if (show) show(shown, answer);
                ended(true);
            },
            [ended, quietly](const Ref<Screen>&, const Value& answer) {
                if (!quietly) KXClassicRequest::showRefusal(answer);
                ended(false);
            },
            [ended, quietly](const Ref<Screen>&) {
                if (!quietly) KXClassicRequest::showFailure();
                ended(false);
            });
    }

    // Asks the state of an order paid online (`query`: "fuli_status",
    // "recharge_log") as one of the screen's loads; on code 1 `paid` shows
    // the success. When the back end declines (code 0: the order is not
    // paid) the failure page says what the back end said and where to
    // follow the order (records()). On any other answer (服务器繁忙, no such
    // order), no answer, or one that is not the back end's, the order may
    // be paid all the same: the page says that the payment is not confirmed
    // yet and that there is no need to order again. So a form
    // whose order may be paid is never left ready to pay again.
    // Until the state has been answered (or the check has failed), the
    // action is closed as for an unknown result: a tap says where to look
    // and orders nothing, for the order may be paid.
    template <class Screen>
    void askOrderState(KXScreenLoads& loads, Screen* screen, const Dictionary& query,
                       std::type_identity_t<KXScreenLoads::Answer<Screen>> paid) const {
        auto answered = orderCheckBegun();
        auto unconfirmed = [answered, records = records()](const Ref<Screen>& shown) {
            answered();
            layUnconfirmed(shown, records, std::nullopt);
        };
        loads.load(
            screen, query,
            [answered, paid = std::move(paid)](const Ref<Screen>& shown, const Value& answer) {
                answered();
                if (paid) paid(shown, answer);
            },
            [answered, records = records()](const Ref<Screen>& shown, const Value& answer) {
                answered();
                layUnconfirmed(shown, records,
                               isFirmlyUnpaid(answer) ? std::optional(KXClassicRequest::message(answer)) : std::nullopt);
            },
            unconfirmed);
    }

    // For a balance request the screen sends now of its own accord (when it
    // appears): once answered, it opens an action whose result was unknown
    // when the request went out; one that became unknown later stays closed.
    // It ends the reload under way too, which it supersedes.
    Reloaded opener() const;

    // Shows the unknown result's message when a request of this action is
    // kept whose result is still unknown, or its list is closed by a
    // damaged file (KXKeptMoneyRequests): the form tells it when it opens.
    void tellUnknownResults() const;

    // What the form says when the app's sandbox cannot keep the request,
    // which therefore is not sent; the details say which file and why.
    static std::string cannotKeepText();
    // What the form says once a read-back has found the list that a
    // damaged file closed readable: whatever was made shows there now.
    static std::string recordsFinalText(std::string_view records);
    // What the form says when the list read before a new request failed:
    // the request is not sent.
    static std::string listUnreadText(std::string_view records);
    // What the form says when a read-back found a row of the kept request's
    // values ("结算明细中已有相同的提现").
    static std::string matchFoundText(std::string_view records);

private:
    // Whether the answer to an order's state firmly says "not paid".
    static bool isFirmlyUnpaid(const Value& answer);
    // Reads back the list of the kept `request`, which the back end no
    // longer takes, on `single`: a row of its values made since the list was
    // read before it (matchFoundText) or none (kNotDoneBefore), the request
    // is dropped and the form says so, so that the next tap is a new
    // action; a list that cannot be read, `unknownResult`.
    static void readBack(KXSingleRequest single, const KXKeptMoneyRequests::Kept& kept,
                         const std::shared_ptr<Sent>& sent, const std::function<void()>& unknownResult);
    // While the action's list is closed by a damaged kept file: says the
    // result is unknown, and once the back end can take none of the
    // requests the file held, reads the list back, which opens the action
    // when it answers (recordsFinalText). True when the tap goes no further.
    bool closedByDamagedFile();
    // Closes the action while an order's state is asked; the block opens it
    // again once the state is answered or the check has failed.
    std::function<void()> orderCheckBegun() const;
    // The failure page over `screen`, naming `records`, with the back end's
    // refusal when it answered one.
    static void layUnconfirmed(const Ref<UIViewController>& screen, const std::string& records,
                               std::optional<std::string> refusal);
    struct State;
    bool dispatch(const Dictionary& query, KXClassicRequest::Answer onSuccess, KXClassicRequest::Answer onOtherCode,
                  const Reload& reload, bool keepLost);
    // Sends `kept`'s request on `single` (kept already when `keepLost`),
    // `retry` when it went out before.
    static bool go(KXSingleRequest single, const std::shared_ptr<State>& state, const KXKeptMoneyRequests::Kept& kept,
                   bool retry, bool keepLost, KXClassicRequest::Answer onSuccess, KXClassicRequest::Answer onOtherCode,
                   const Reload& reload);
    static void showAndReload(const std::shared_ptr<State>& state, const Reload& reload);
    KXSingleRequest request_;
    std::shared_ptr<State> state_;
};
