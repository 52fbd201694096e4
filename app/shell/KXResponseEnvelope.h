#pragma once

#include <string>

#include "foundation/Value.h"
#include "frameworks/http/alamofire/DataResponse.h"

// The back end's answer envelope, read the way every POST response handler
// reads it: the text parsed into a dictionary, `code` tested, and the
// diagnostics logged. What to decode is left to the handler; whatever does
// not end in a decoded model goes to the failure closure with
// `failureMessage`.
class KXResponseEnvelope {
public:
    enum class Outcome {
        NoText,      // the request failed or the body was not text ("获取数据失败" logged)
        EmptyText,   // an empty body ("没有获取到数据" logged)
        Success,     // `code` is 1 (the answer logged): `data` is to be decoded
        Code100,     // `code` is the number 100
        Refused,     // anything else, including a text that is not a JSON object (the reason logged)
    };
    // How the success test reads `code`: as a JSON number, or as a number or
    // its text (the first gift-bag page).
    enum class CodeKind { Number, NumberOrText };

    static KXResponseEnvelope read(const Alamofire::DataResponse<std::string>& response, CodeKind codeKind);

    Outcome outcome = Outcome::NoText;
    // The parsed answer (empty when the text was not a JSON object).
    Value answer;
    // What the failure closure receives: for a refusal its `message` when
    // that is a non-blank text, else "请求失败，请稍后重试"; for an answer
    // that is not a JSON object and every other outcome (also a success
    // whose `data` does not decode) "获取数据失败".
    std::string failureMessage;
};
