#include "app/shell/KXResponseEnvelope.h"

#include "app/shell/KXUniversal.h"
#include "foundation/NSLog.h"

namespace {

// A JSON number (not a bool, not text) exactly equal to `expected`.
bool isNumber(const Value& code, double expected) {
    return (code.isInteger() || code.isReal()) && code.doubleValue() == expected;
}

}  // namespace

KXResponseEnvelope KXResponseEnvelope::read(const Alamofire::DataResponse<std::string>& response, CodeKind codeKind) {
    KXResponseEnvelope envelope;
    if (!response.value) {
        NSLog("获取数据失败");
        envelope.outcome = Outcome::NoText;
        return envelope;
    }
    if (response.value->empty()) {
        NSLog("没有获取到数据");
        envelope.outcome = Outcome::EmptyText;
        return envelope;
    }
    envelope.answer = dictionaryFromJSONString(*response.value);
    const Value& code = envelope.answer["code"];
    const bool success = codeKind == CodeKind::Text ? (code.isText() && *code.text() == "1") : isNumber(code, 1);
    if (success) {
        NSLog("***********" + envelope.answer.description());
        envelope.outcome = Outcome::Success;
        return envelope;
    }
    if (isNumber(code, 100)) {
        envelope.outcome = Outcome::Silent;
        return envelope;
    }
    const Value& message = envelope.answer["message"];
    NSLog(std::string("请求失败--原因:") + (message.isNil() ? "请求失败--未知原因" : message.description()));
    envelope.outcome = Outcome::Failure;
    if (message.isText()) envelope.failureMessage = *message.text();
    return envelope;
}
