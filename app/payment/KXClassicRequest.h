#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

class NSURLSessionDataTask;

// How the classic screens talk to the back end: a GET through KXWebUtils
// with six common keys (ios, ct "app", ac, t, uid, sign) beside the
// action's own fields, and the answer envelope read by its `code`.
//
// Every value the screens read is first formatted with "%@", so a code or
// an id may arrive as the number 1 or as the text "1". A code is a success
// when the leading digits of that text read 1 ("1", "1.0", "1abc").
class KXClassicRequest {
public:
    KXClassicRequest() = delete;

    using Answer = std::function<void(const Value& answer)>;
    using Failure = std::function<void()>;
    // Whether a success answer is written to the console log.
    enum class Logging { Answer, Nothing };

    // The query of one action: the six common keys, then `ownFields`. The
    // signature is the MD5 of uid, the values of `signedFields` in that
    // order, t and the signing key. `uid` is "" when no user is stored.
    static Dictionary query(std::string_view action, const Dictionary& ownFields = {},
                            const std::vector<std::string>& signedFields = {});

    // Sends a query, without a progress block. Code 1: the answer is logged
    // ("%@") unless `logging` says Nothing, then `onSuccess`. Another code:
    // `onOtherCode` when given, else showRefusal. Transport failure:
    // `onFailure` when given, else showFailure. Answers the request's task, for a caller that may cancel
    // it (KXPageRequests::sent); a cancelled request calls no block.
    static Ref<NSURLSessionDataTask> send(const Dictionary& query, Answer onSuccess, Answer onOtherCode = nullptr,
                                          Failure onFailure = nullptr, Logging logging = Logging::Answer);

    // Whether the answer is the back end's envelope: a JSON object whose
    // `code` is a number or a text that begins with one. Anything else (an
    // empty object, a `code` missing, null or of another kind) says nothing
    // of what the back end did.
    static bool isEnvelope(const Value& answer);
    // The integer value of the answer's `code` formatted with "%@" (0 when
    // it is missing or does not begin with digits).
    static int code(const Value& answer);
    // A value formatted with "%@".
    static std::string text(const Value& value);
    // The answer's `message` as "%@" gives it: "" when missing or null.
    static std::string message(const Value& answer);
    // The refusal in an error HUD: its `message`, "请求失败，请稍后重试"
    // when it has none, "获取数据失败" for an answer that was not JSON.
    static void showRefusal(const Value& answer);
    // A transport failure in an error HUD: "获取数据失败".
    static void showFailure();
};
