#include "app/shell/KXResponseEnvelope.h"

#include "app/shell/KXFailureText.h"
#include "foundation/NSData.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"

namespace {

// A JSON number (not a bool, not text) exactly equal to `expected`.
bool isNumber(const Value& code, double expected) {
    return (code.isInteger() || code.isReal()) && code.doubleValue() == expected;
}

}  // namespace

KXResponseEnvelope KXResponseEnvelope::read(const Alamofire::DataResponse<std::string>& response, CodeKind codeKind) {
    KXResponseEnvelope envelope;
    envelope.failureMessage = KXFailureText::kNoData;
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
    Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(*response.value));
    const bool isObject = parsed.isDictionary();
    envelope.answer = isObject ? std::move(parsed) : Value(Dictionary());
    const Value& code = envelope.answer["code"];
    const bool success = isNumber(code, 1) || (codeKind == CodeKind::NumberOrText && code.isText() && *code.text() == "1");
    if (success) {
        NSLog("***********" + envelope.answer.description());
        envelope.outcome = Outcome::Success;
        return envelope;
    }
    if (isNumber(code, 100)) {
        envelope.outcome = Outcome::Code100;
        return envelope;
    }
    const Value& message = envelope.answer["message"];
    NSLog(std::string("请求失败--原因:") + (message.isNil() ? "请求失败--未知原因" : message.description()));
    envelope.outcome = Outcome::Refused;
    if (isObject) envelope.failureMessage = KXFailureText::reasonOrUnknown(message.isText() ? *message.text() : "");
    return envelope;
}
