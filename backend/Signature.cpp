#include "backend/Signature.h"

#include <limits>

#include "backend/Digest.h"

namespace backend {

std::string signatureOf(std::initializer_list<std::string_view> values) {
    std::string joined;
    for (std::string_view value : values) joined += value;
    joined += kSigningKey;
    return md5Hex(joined);
}

std::optional<Envelope> checkSignature(const Parameters& parameters, const std::vector<std::string_view>& signedNames,
                                       std::time_t now) {
    std::string joined;
    for (std::string_view name : signedNames) {
        std::optional<std::string> value = parameters.text(name);
        if (!value) return Envelope::failure(ResultCode::InvalidRequest, "缺少参数 " + std::string(name));
        if (name == "t") {
            // A leading zero would let digits move between `t` and the value
            // signed before it ("10" then "0<t>" joins as "100" then "<t>").
            std::optional<long long> time = value->starts_with('0')
                                                ? std::nullopt
                                                : parseWholeNumber(*value, std::numeric_limits<long long>::max() / 10);
            if (!time) return Envelope::failure(ResultCode::InvalidRequest, "参数 t 无效");
            if (*time > now + kLargestClockSkewSeconds || *time < now - kLargestClockSkewSeconds) {
                return Envelope::failure(ResultCode::BadSignature, "请求已过期，请校准手机时间后重试");
            }
        }
        joined += *value;
    }
    std::optional<std::string> sign = parameters.text("sign");
    if (!sign || sign->empty()) return Envelope::failure(ResultCode::BadSignature, "缺少签名");
    joined += kSigningKey;
    if (*sign != md5Hex(joined)) return Envelope::failure(ResultCode::BadSignature, "签名错误");
    return std::nullopt;
}

}  // namespace backend
