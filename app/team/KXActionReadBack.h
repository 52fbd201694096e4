#pragma once

#include <functional>
#include <string>

#include "app/payment/KXSingleRequest.h"

// An action the back end may have acted on though its answer was lost (no
// answer in time, the connection lost, an answer that is not the back
// end's). A retry of such an action would be refused when it had been
// made ("用户名已存在", "您已申请过该游戏", "您已经实名认证"), so its result
// is asked of the back end with one read that tells whether it was made:
// - made: the action's success block runs with the read's answer, as if
//   the action's own answer had come;
// - not made: "获取数据失败" (or the screen's own word), and the form stays
//   for a retry;
// - the read refused otherwise, unanswered or not the back end's: the
//   result stays unknown and `unknownText` says so; the form stays.
// A refusal of the action itself shows its reason, as KXSingleRequest does.
//
// What the read saw counts as the action made only when it holds what the
// action sent (matches): a record with the action's key (the user name,
// the game) but another value elsewhere was there before the action, or
// has changed since, and tells nothing about it. A read that cannot show
// everything the action sets (a list without the password) tells nothing
// by a record it finds either: the same record may have been there before
// the action, with another value where the read cannot see.
namespace KXActionReadBack {

enum class Verdict { Made, NotMade, Unknown };
// Tells from the read's answer (code 1, or the back end's refusal) whether
// the action was made.
using Judge = std::function<Verdict(const Value& answer)>;

struct ReadBack {
    Dictionary check;
    Judge judge;
    std::string unknownText;
    // Runs for a read that found the action not made; "获取数据失败" when none.
    KXClassicRequest::Failure onNotMade = nullptr;
};

// Sends `action` through `request`; after an unknown result asks whether it
// was made (askWhetherMade). `onRefusal` takes the action's refusals (else
// showRefusal). False when nothing was sent.
bool send(KXSingleRequest& request, const Dictionary& action, KXClassicRequest::Answer onSuccess, ReadBack readBack,
          KXClassicRequest::Answer onRefusal = nullptr);

// Sends the read through `request` (one at a time with the action: a tap
// meanwhile sends nothing) and ends as its judge says.
void askWhetherMade(KXSingleRequest& request, KXClassicRequest::Answer onSuccess, ReadBack readBack);

// Whether `record` holds every field of `sent` ("%@"), each given as the
// back end keeps and words it (a typed name without the blanks around it).
bool matches(const Value& record, const Dictionary& sent);

// The verdict of a code-1 answer whose `data` lists records: the first
// record whose `key` reads as `sent` does decides (Made when it matches,
// Unknown when not); none: NotMade.
Verdict listed(const Value& answer, const std::string& key, const Dictionary& sent);

}  // namespace KXActionReadBack
