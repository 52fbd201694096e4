#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"

#include "foundation/NSKeyedUnarchiver.h"

namespace {

Value textValue(const std::optional<std::string>& text) { return text ? Value(*text) : Value(); }

std::optional<std::string> optionalText(const Value& value) {
    if (const std::string* text = value.text()) return *text;
    return std::nullopt;
}

const bool registered = [] {
    NSKeyedUnarchiver::registerClass<APIResponse>();
    return true;
}();

}  // namespace

void APIResponse::encodeWithCoder(NSCoder& coder) const {
    coder.encodeInt32(detailRetCode_, "detailRetCode");
    coder.encodeInt32(retCode_, "retCode");
    coder.encodeInt32(seq_, "seq");
    coder.encodeObject(textValue(errorMsg_), "errorMsg");
    coder.encodeObject(jsonResponse_, "jsonResponse");
    coder.encodeObject(textValue(message_), "message");
}

bool APIResponse::initWithCoder(NSCoder& coder) {
    (void)registered;
    detailRetCode_ = coder.decodeInt32ForKey("detailRetCode");
    retCode_ = coder.decodeInt32ForKey("retCode");
    seq_ = coder.decodeInt32ForKey("seq");
    errorMsg_ = optionalText(coder.decodeObjectForKey("errorMsg"));
    jsonResponse_ = coder.decodeObjectForKey("jsonResponse");
    message_ = optionalText(coder.decodeObjectForKey("message"));
    return true;
}
