#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

// The money requests whose result the app does not know (a settlement, a
// top-up paid from the prepaid balance), kept in a file of the app's
// sandbox (Library/MoneyRequestsOfUnknownResult.json), so that neither a
// closed form, nor a new form, nor the end of the app (quit, killed)
// forgets them. A request is kept before it goes out, and one that cannot
// be kept does not go out; it is dropped once its result is known (an
// answer, a refusal, a read-back that found it made or not made): a request
// whose answer never came stays kept until a later tap that does the same
// (KXMoneyReadBack::does) resolves it (KXMoneyRequest::sendOnce). The file
// is written whole (a new file renamed over the old one) and read again at
// every use, so a second app on the same sandbox sees what the first kept.
//
// A file that is there but cannot be read as kept requests (cut short,
// overwritten, unreadable) may hold requests of unknown result that nobody
// can name any more. It is set aside beside itself, never written over
// (MoneyRequestsOfUnknownResult.json.damaged, then .damaged-2...), and every
// list it may concern (结算明细, 代充记录) is closed in the new file: for
// each promoter, the action stays closed, its result unknown, until a
// read-back of its list, sent once the back end can no longer take any
// request the damaged file held (twice its window after the file was last
// written), finds the list readable: from then on the list shows whatever
// was made, and the form says to look there (KXMoneyRequest).
namespace KXKeptMoneyRequests {

struct Kept {
    // The request exactly as it went out, its `t` and `sign` included.
    Dictionary request;
    // The list that shows the action's results ("结算明细").
    std::string records;
    // The ids of the rows of that list that showed what the request does
    // before it went out (KXMoneyReadBack::rowsDoing); none when the list
    // could not be read then.
    std::optional<std::vector<std::string>> listedBefore;
};

// A list closed by a damaged file.
struct Closed {
    std::string records;
    // The file as it was found, where it was set aside ("" when it could not
    // be), and what was wrong with it.
    std::string file;
    std::string setAside;
    std::string damage;
    // When the damaged file was last written, in seconds since 1970.
    long long since = 0;
    // The promoters for whom a read-back has opened the list again.
    std::vector<std::string> openedFor;
};

// The file's path.
std::string filePath();

// Keeps the request before it goes out (a request kept already stays
// once). Nothing when it is kept; else why it cannot be, in the runner's
// words ("cannot write PATH: PATH is a folder"): then it must not go out.
std::optional<std::string> keep(const Kept& kept);
// Its result is known: it is kept no more.
void forget(const Dictionary& request);
// The kept request that does what `query` does (KXMoneyReadBack::does).
std::optional<Kept> asking(const Dictionary& query);
// The kept requests of the promoter signed in now, oldest first.
std::vector<Kept> ofSignedInPromoter();
// The lists closed by a damaged file for the promoter signed in now.
std::vector<Closed> closedForSignedInPromoter();
// A read-back of the list `records` has found it readable: it is open
// again for the promoter signed in. False when that cannot be kept.
bool open(const std::string& records);

}  // namespace KXKeptMoneyRequests
