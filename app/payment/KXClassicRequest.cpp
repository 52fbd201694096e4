#include "app/payment/KXClassicRequest.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXFailureText.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXRequestSignature.h"
#include "app/shell/KXWebUtils.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"

Dictionary KXClassicRequest::query(std::string_view action, const Dictionary& ownFields,
                                   const std::vector<std::string>& signedFields) {
    const std::string t = NSString::stringWithFormat("%ld", WMUtil::getTimeSp());
    const std::string uid = KXLocallyStoredData::getLoginUserID();

    std::string signingText = uid;
    for (const std::string& field : signedFields) signingText += text(ownFields[field]);
    signingText += t;

    Dictionary parameters{{"ios", "1"},
                          {"ct", "app"},
                          {"ac", std::string(action)},
                          {"t", t},
                          {"uid", uid},
                          {"sign", KXRequestSignature::sign({signingText})}};
    for (const auto& [key, value] : ownFields) parameters.set(key, value);
    return parameters;
}

Ref<NSURLSessionDataTask> KXClassicRequest::send(const Dictionary& query, Answer onSuccess, Answer onOtherCode,
                                                 Failure onFailure, Logging logging) {
    return KXWebUtils::doGetWithParameters(
        query, nullptr,
        [onSuccess = std::move(onSuccess), onOtherCode = std::move(onOtherCode), logging](const Value& answer) {
            if (code(answer) == 1) {
                if (logging == Logging::Answer) NSLog("%@", answer);
                if (onSuccess) onSuccess(answer);
            } else if (onOtherCode) {
                onOtherCode(answer);
            } else {
                showRefusal(answer);
            }
        },
        [onFailure = std::move(onFailure)](const std::string&) {
            // The error's own text is never shown.
            if (onFailure) onFailure();
            else showFailure();
        });
}

bool KXClassicRequest::isEnvelope(const Value& answer) {
    const Value& code = answer["code"];
    if (!answer.isDictionary()) return false;
    if (code.isNumber() && !code.isBool()) return true;
    const std::string* digits = code.text();
    if (!digits) return false;
    std::string_view rest = *digits;
    while (!rest.empty() && (rest.front() == ' ' || rest.front() == '+' || rest.front() == '-')) rest.remove_prefix(1);
    return !rest.empty() && rest.front() >= '0' && rest.front() <= '9';
}

int KXClassicRequest::code(const Value& answer) { return NSString::intValue(text(answer["code"])); }

std::string KXClassicRequest::text(const Value& value) { return NSString::stringWithFormat("%@", value); }

std::string KXClassicRequest::message(const Value& answer) {
    return KXAnswerText::text(answer["message"]);
}

void KXClassicRequest::showRefusal(const Value& answer) {
    MBProgressHUDManager::showError(KXFailureText::refusal(answer));
}

void KXClassicRequest::showFailure() { MBProgressHUDManager::showError(KXFailureText::kNoData); }
