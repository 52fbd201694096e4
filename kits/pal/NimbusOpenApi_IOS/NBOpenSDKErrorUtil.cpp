#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"

#include <cmath>

#include "foundation/NSURLError.h"

namespace {

constexpr std::int32_t kUnknown = 1;
constexpr std::int32_t kRelogin = 3;
constexpr std::int32_t kNoPermission = 4;
constexpr std::int32_t kNetwork = 5;
constexpr std::int32_t kURLFormat = 6;
constexpr std::int32_t kParse = 7;
constexpr std::int32_t kBadParameter = 8;
constexpr std::int32_t kTimeOut = 9;
constexpr std::int32_t kSecurity = 10;
constexpr std::int32_t kFile = 11;
constexpr std::int32_t kServer = 12;

bool within(long code, long low, long high) { return code >= low && code <= high; }

}  // namespace

std::optional<std::string> NBOpenSDKErrorUtil::openSDKErrorMsgForErrorCode(std::int32_t code) {
    switch (code) {
    case -2: return "不支持的接口";
    case 0: return "操作成功";
    case 1: return "未知错误";
    case 2: return "用户取消";
    case 3: return "请重新登录";
    case 4: return "应用没有操作权限";
    case 5: return "网络异常或没有网络";
    case 6: return "URL格式或协议错误";
    case 7: return "解析数据出错";
    case 8: return "传入参数有误";
    case 9: return "连接超时";
    case 10: return "安全问题";
    case 11: return "文件读写错误";
    case 12: return "服务器端错误";
    case 13: return "页面错误";
    case 0x10000: return "设置头像图片过大, 需要小于(3264 * 2448)";
    default: return std::nullopt;
    }
}

Dictionary NBOpenSDKErrorUtil::openSDKErrorWithCode(std::int32_t code, const Value& extraInfo) {
    auto message = openSDKErrorMsgForErrorCode(code);
    if (!message) {
        code = kUnknown;
        message = openSDKErrorMsgForErrorCode(code);
    }
    Dictionary error{{"ret", code}, {"msg", *message}};
    error.set(kExtraInfoKey, extraInfo);  // nil leaves the key out
    return error;
}

Dictionary NBOpenSDKErrorUtil::openSDKErrorWithCommonServerCode(std::int64_t serverCode, const Value& extraInfo) {
    std::int32_t code = kBadParameter;
    if (serverCode == 0) {
        code = 0;
    } else if (within(serverCode, 100014, 100015) || within(serverCode, 100023, 100027) || serverCode == 100030) {
        code = kRelogin;
    } else if (serverCode == 100031) {
        code = kNoPermission;
    }
    return openSDKErrorWithCode(code, extraInfo);
}

Dictionary NBOpenSDKErrorUtil::openSDKErrorFromOSError(const Ref<NSError>& error) {
    if (!error) return openSDKErrorWithCode(kUnknown, Value());
    const std::int32_t code = error->domain() == NSURLErrorDomain ? filterURLErrorCode(error->code()) : kUnknown;
    return openSDKErrorWithCode(code, error->userInfo());
}

std::int32_t NBOpenSDKErrorUtil::filterURLErrorCode(long code) {
    if (code == -1021 || code == -1008 || within(code, -1103, -1100) || within(code, -3007, -3000)) return kFile;
    if (code == -1020 || code == -1019 || code == -1018 || code == -1009 || within(code, -1006, -1003)) return kNetwork;
    if (within(code, -1017, -1015)) return kParse;
    if (code == -1014 || code == -1011 || code == -1010 || code == -1007) return kServer;
    if (code == -1013 || code == -1012 || within(code, -1206, -1200) || code == -2000) return kSecurity;
    if (code == -1002 || code == -1000) return kURLFormat;
    if (code == -1001) return kTimeOut;
    return kUnknown;
}

std::optional<std::int64_t> NBOpenSDKErrorUtil::retValue(const Value& answer) {
    const Value& ret = answer["ret"];
    if (!ret.isNumber()) return std::nullopt;
    if (auto number = ret.real(); number && *number != std::trunc(*number)) return kNotAWholeRet;
    return ret.longLongValue();
}

Ref<APIResponse> NBOpenSDKErrorUtil::apiResponse(const Value& error) {
    if (!error.isDictionary()) return nullptr;
    auto response = make<APIResponse>();
    if (auto ret = retValue(error)) {
        // Narrowed as a C cast would: the low 32 bits.
        response->setDetailRetCode(static_cast<std::int32_t>(static_cast<std::uint32_t>(*ret)));
        response->setErrorMsg(error["msg"].text() ? std::optional(*error["msg"].text()) : std::nullopt);
    } else {
        response->setDetailRetCode(kUnknown);
        response->setErrorMsg(openSDKErrorMsgForErrorCode(kUnknown));
    }
    return response;
}

Ref<APIResponse> NBOpenSDKErrorUtil::apiResponseFromErrorCode(std::int32_t code) {
    return apiResponse(openSDKErrorWithCode(code, Value()));
}

void NBOpenSDKErrorUtil::apiResponseConvert(const Ref<APIResponse>& response) {
    if (!response) return;
    const auto ret = retValue(response->jsonResponse());
    if (!ret) return;
    auto converted = apiResponse(openSDKErrorWithCommonServerCode(*ret, Value()));
    response->setDetailRetCode(converted->detailRetCode());
    response->setErrorMsg(converted->errorMsg());
}
