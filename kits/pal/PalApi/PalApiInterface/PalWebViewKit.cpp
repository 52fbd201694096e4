#include "kits/pal/PalApi/PalApiInterface/PalWebViewKit.h"

#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiDatastore.h"

bool PalWebViewKit::canHanleOpenUrlFromSafari(const Ref<NSURL>& url) {
    if (!url) return false;
    const std::string text = url->absoluteString();
    const std::string host = NimbusConnectHosts::host();
    const std::string appScheme = "nimbus" + PalApiDatastore::instance()->appId().value_or("");
    return !host.empty() && text.find(appScheme) != std::string::npos && text.find(host) != std::string::npos;
}

Ref<PalApiMessage> PalWebViewKit::messageWithSafariUrl(const Ref<NSURL>& url) {
    if (!canHanleOpenUrlFromSafari(url)) return nullptr;
    const Dictionary parameters = dictionaryByParseUrlFromSeparator(url->absoluteString(), "?#");
    const std::string action = parameters["action"].stringValue().value_or("");
    if (action != "shareToPal" && action != "share") return nullptr;
    auto result = make<PalApiResultObject>();
    const std::string outcome = parameters["result"].stringValue().value_or("");
    if (outcome == "cancel") {
        result->setError("-4");
        result->setErrorDescription("the user give up the current operation");
    } else if (outcome == "complete") {
        Value response = JSONValue(parameters["response"].stringValue().value_or(""));
        result->setError(response["ret"].description());
        result->setErrorDescription(response["msg"].stringValue().value_or(""));
    } else {
        result->setError("-5");
        result->setErrorDescription("unknown error");
    }
    return PalApiMessage::messageWithObject(result, PalApiMessage::kShareAnswerFromPal);
}

Value PalWebViewKit::JSONValue(const std::string& text) {
    Ref<NSError> error;
    Value value = NSJSONSerialization::JSONObjectWithData(NSData::fromString(text), &error);
    if (error) {
        NSLog("JSONValue errcode = " + std::to_string(error->code()) + ", msg = " + error->localizedDescription());
        return Value();
    }
    return value;
}

Dictionary PalWebViewKit::dictionaryByParseUrlFromSeparator(const std::string& text, const std::string& separator) {
    return PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(text, separator);
}
