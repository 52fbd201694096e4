#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/team/KXActionReadBack.h"
#include "foundation/Value.h"

// What a money action does, and whether the back end made one whose answer
// was lost, read from the list that shows such actions (结算明细 for a
// settlement, 代充记录 for a top-up): once the back end takes its request no
// more, that list is all there is to learn from.
//
// One rule tells what an action does, for the form's tap, the kept request
// and the read-back alike: its action and promoter, the amount as its value
// in fen ("10", "10.0" and "10.00" are one amount), and for a top-up the
// account as the back end keeps it (KXBlankText::kept: "player11 " is
// player11), the game and the payment. Two requests that do the same are
// one action, however they were typed; another account, game or payment is
// another action.
namespace KXMoneyReadBack {

// What the list tells, as any read-back's verdict: Made when a row that
// shows what the request does was not there before it went out and was made
// while the back end took it; NotMade when there is no such row; Unknown
// when a row may be it but cannot be told apart (a row without its time or
// id, what the list showed before the request not known), or the list could
// not be read.
using Finding = KXActionReadBack::Verdict;

// How long the back end takes a signed request around its `t`, in seconds.
inline constexpr long long kBackEndWindowSeconds = 5 * 60;

// What `request` does: equal for two requests of one action (every field
// but `t` and `sign` for an action no list shows).
Dictionary does(const Dictionary& request);

// The lists that show the kept money actions ("结算明细", "代充记录").
std::vector<std::string> listsOfKeptActions();
// What a person calls the action a list shows ("提现" for 结算明细).
std::string captionOfList(std::string_view records);

// The query of the list to read back for the kept request; none for an
// action whose results no list shows.
std::optional<Dictionary> listQuery(const Dictionary& request);
// The query of the list called `records`; none for another name.
std::optional<Dictionary> listQueryOf(std::string_view records);

// The ids of the rows of a list's answer (code 1) that may show what
// `request` does, whenever made: what the list showed before the request
// went out. None when the answer lists no rows.
std::optional<std::vector<std::string>> rowsDoing(const Dictionary& request, const Value& answer);

// What the list's answer (code 1) tells of the request; `listedBefore`, the
// rows that showed the same before it went out (rowsDoing), none when that
// is not known. A row listed before cannot be the request.
Finding judge(const Dictionary& request, const std::optional<std::vector<std::string>>& listedBefore,
              const Value& answer);

// What the request was, for a person: its action and amount ("提现 10",
// "折扣代充 10 wanjia001").
std::string describe(const Dictionary& request);

}  // namespace KXMoneyReadBack
