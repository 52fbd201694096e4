#pragma once

#include <optional>
#include <string>

#include "app/team/KXActionReadBack.h"
#include "foundation/Value.h"

// Whether the back end made a money action whose answer was lost, read from
// the list that shows such actions (结算明细 for a settlement, 代充记录 for a
// top-up): once the back end takes its request no more, that list is all
// there is to learn from. A row is the action when what it shows matches
// what the request sent: the amount, and for a top-up the account (as the
// back end keeps it), the game and the payment, made while the back end
// still took the request (within its window around the request's `t`).
namespace KXMoneyReadBack {

// What the list tells, as any read-back's verdict: Made when a row matches
// what was sent; NotMade when no row of that amount was made in the
// request's window; Unknown when rows of that amount were made then but none
// shows all that was sent (another account, a row without its time...), or
// the list could not be read.
using Finding = KXActionReadBack::Verdict;

// How long the back end takes a signed request around its `t`, in seconds.
inline constexpr long long kBackEndWindowSeconds = 5 * 60;

// The query of the list to read back for the kept request; none for an
// action whose results no list shows.
std::optional<Dictionary> listQuery(const Dictionary& request);
// What the list's answer (code 1) tells of the request.
Finding judge(const Dictionary& request, const Value& answer);

// What the request was, for a person: its action and amount ("提现 10",
// "折扣代充 10 wanjia001").
std::string describe(const Dictionary& request);

}  // namespace KXMoneyReadBack
