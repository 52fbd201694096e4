#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

// The money requests whose result the app does not know (a settlement, a
// top-up paid from the prepaid balance), kept in a file of the app's
// sandbox, so that neither a closed form, nor a new form, nor the end of the
// app (quit, killed) forgets them. A request is kept before it goes out and
// dropped once its result is known (an answer, a refusal, a read-back that
// found it made or not made): a request whose answer never came stays kept
// until a later tap that asks the same resolves it (KXMoneyRequest::sendOnce).
// The file is written whole (a new file renamed over the old one) and read
// again at every use, so a second app on the same sandbox sees what the
// first kept.
namespace KXKeptMoneyRequests {

struct Kept {
    // The request exactly as it went out, its `t` and `sign` included.
    Dictionary request;
    // The list that shows the action's results ("结算明细").
    std::string records;
};

// Keeps `request` (before it goes out); a request kept already stays once.
void keep(const Dictionary& request, const std::string& records);
// Its result is known: it is kept no more.
void forget(const Dictionary& request);
// The kept request that asks what `query` asks (every field equal but `t`
// and `sign`: the same action, promoter, amount, account...).
std::optional<Dictionary> asking(const Dictionary& query);
// The kept requests of the promoter signed in now, oldest first.
std::vector<Kept> ofSignedInPromoter();

}  // namespace KXKeptMoneyRequests
