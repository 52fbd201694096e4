#pragma once

#include <string>

#include "foundation/Value.h"
#include "frameworks/http/alamofire/DataResponse.h"

// The back end's answer envelope, read the way every POST response handler
// reads it: the text parsed into a dictionary, `code` tested, and the
// diagnostics logged. What to decode and which closure to call is left to
// the handler.
class KXResponseEnvelope {
public:
    enum class Outcome {
        NoText,     // the request failed or the body was not text ("获取数据失败" logged)
        EmptyText,  // an empty body ("没有获取到数据" logged)
        Success,    // `code` is 1 (the answer logged)
        Silent,     // `code` is the number 100: nobody is told
        Failure,    // anything else (the reason logged)
    };
    // How the success test reads `code`: as a JSON number, or as text (the
    // first gift-bag page).
    enum class CodeKind { Number, Text };

    static KXResponseEnvelope read(const Alamofire::DataResponse<std::string>& response, CodeKind codeKind);

    Outcome outcome = Outcome::NoText;
    // The parsed answer (empty when the text was not a JSON object).
    Value answer;
    // For failures: `message` when it is text, else "".
    std::string failureMessage;
};
