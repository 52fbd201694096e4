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
// - not made: "获取数据失败", and the form stays for a retry;
// - the read refused otherwise, unanswered or not the back end's: the
//   result stays unknown and `unknownText` says so; the form stays.
// A refusal of the action itself shows its reason, as KXSingleRequest does.
namespace KXActionReadBack {

enum class Verdict { Made, NotMade, Unknown };
// Tells from the read's answer (code 1, or the back end's refusal) whether
// the action was made.
using Judge = std::function<Verdict(const Value& answer)>;

// Sends `action` through `request`; after an unknown result sends `check`
// through the same request (one at a time with it: a tap meanwhile sends
// nothing) and ends as the judge says. False when nothing was sent.
bool send(KXSingleRequest& request, const Dictionary& action, KXClassicRequest::Answer onSuccess,
          const Dictionary& check, Judge judge, std::string unknownText);

// Whether the `data` list of a code-1 answer holds a row whose `key` reads
// `value` ("%@").
bool listHolds(const Value& answer, const std::string& key, const std::string& value);

}  // namespace KXActionReadBack
