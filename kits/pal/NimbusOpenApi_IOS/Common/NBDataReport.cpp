#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"

#include "foundation/NSBundle.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "uikit/UIDevice.h"

namespace {

// The identity the reports carry: the registered app id and the open id the
// session set, kept by the share layer's data store; the login, share and
// statistic reports name a missing one by its field, the check report
// leaves it empty.
std::string storedOpenId(const char* missing) { return PalApiDatastore::instance()->openId().value_or(missing); }
std::string storedAppId(const char* missing) { return PalApiDatastore::instance()->appId().value_or(missing); }
constexpr const char* kNoOpenId = "openid";
constexpr const char* kNoAppId = "appId";

std::string text(const Value& value) { return value.stringValue().value_or("(null)"); }

void send(const std::string& method, const std::string& address, const Dictionary& params = {}) {
    NimbusRequest::getRequestWithParams(params, method, nullptr, address)->connect();
}

std::string appStageAddress() { return NimbusConnectHosts::baseURL() + "/cgi-bin/appstage/mstats_report"; }

// The action report's parameters, in order, up to the first missing value.
Dictionary actionParameters(const std::optional<std::string>& appid, const std::string& action, const std::string& ver,
                            std::optional<std::string> elapsed) {
    Dictionary params;
    const std::optional<std::string> values[] = {appid, action, ver, std::move(elapsed), std::string("0")};
    const char* keys[] = {"strValue", "nValue", "qver", "elt", "tag"};
    for (std::size_t i = 0; i < 5; ++i) {
        if (i == 3 && !values[3]) continue;  // "elt" belongs to timed reports only
        if (!values[i]) break;
        params.set(keys[i], *values[i]);
    }
    return params;
}

}  // namespace

std::string NBDataReport::commParamValue() {
    auto bundle = NSBundle::mainBundle();
    return NSString::stringWithFormat("os_ver=%@&sdk_ver=%@&boundid=%@&app_ver=%@&packagename=%@",
                                      TcApiTool::systemVersionString(), TcApiTool::kSDKVersion,
                                      text(bundle->objectForInfoDictionaryKey("CFBundleIdentifier")),
                                      text(bundle->objectForInfoDictionaryKey("CFBundleVersion")),
                                      text(bundle->objectForInfoDictionaryKey("CFBundleName")));
}

bool NBDataReport::reportData(bool dontReport, const std::optional<std::string>& action,
                              const std::optional<std::string>& appid, const std::optional<std::string>& ver) {
    return dontReport || reportBonuliData(action, appid, ver);
}

bool NBDataReport::reportDataWithTime(bool dontReport, const std::optional<std::string>& action,
                                      const std::optional<std::string>& appid, double timeInterval,
                                      const std::optional<std::string>& ver) {
    return dontReport || reportBonuliDataWithTime(action, appid, timeInterval, ver);
}

bool NBDataReport::reportBonuliData(const std::optional<std::string>& action, const std::optional<std::string>& appid,
                                    const std::optional<std::string>& ver) {
    if (!action) return false;
    send("GET", NimbusConnectHosts::baseURL() + "/report/report",
         actionParameters(appid, *action, ver.value_or(kDefaultVersion), std::nullopt));
    return true;
}

bool NBDataReport::reportBonuliDataWithTime(const std::optional<std::string>& action,
                                            const std::optional<std::string>& appid, double timeInterval,
                                            const std::optional<std::string>& ver) {
    if (!action) return false;
    send("GET", NimbusConnectHosts::baseURL() + "/report/report",
         actionParameters(appid, *action, ver.value_or(kDefaultVersion), std::to_string(static_cast<int>(timeInterval))));
    return true;
}

void NBDataReport::cgiLoginReport(int result, int) {
    send("POST", NSString::stringWithFormat("%@?platform=2&act_type=5&login_status=0&need_user_auth=0&via=2&uin=1000"
                                            "&app_id=%@&result=%d&openid=%@&report_type=1&%@",
                                            appStageAddress(), storedAppId(kNoAppId), result, storedOpenId(kNoOpenId),
                                            commParamValue()));
}

void NBDataReport::cgiShareReport(int result, int type, int toType, int actType, long long, int reportType,
                                  int callSource) {
    send("POST", NSString::stringWithFormat("%@?platform=2&type=%d&to_type=%d&act_type=%d&via=2&uin=1000&to_uin=0"
                                            "&call_source=%d&app_id=%@&result=%d&openid=%@&report_type=%d&%@",
                                            appStageAddress(), type, toType, actType, callSource, storedAppId(kNoAppId),
                                            result, storedOpenId(kNoOpenId), reportType, commParamValue()));
}

void NBDataReport::cgiStatisticReport(int result, int reportType) {
    send("POST", NSString::stringWithFormat("%@?platform=2&act_type=18&via=2&uin=1000&to_uin=0&app_id=%@&result=%d"
                                            "&openid=%@&report_type=%d&%@",
                                            appStageAddress(), storedAppId(kNoAppId), result, storedOpenId(kNoOpenId),
                                            reportType, commParamValue()));
}

void NBDataReport::reportCheck(const std::string& command, int result, int code, const std::string& detail) {
    const std::string openid = storedOpenId(""), appid = storedAppId("");
    const std::string model = UIDevice::currentDevice()->model();
    const std::string version = TcApiTool::systemVersionString();
    const std::string data =
        detail.empty()
            ? NSString::stringWithFormat("result=%d&code=%d&openid=%@&appid=%@&platform=2&sdk_ver=%@&cmd=%@&os_ver=%@"
                                         "&model_Name=%@",
                                         result, code, openid, appid, TcApiTool::kSDKVersion, command, version, model)
            : NSString::stringWithFormat("result=%d&code=%d&openid=%@&appid=%@&%@&platform=2&sdk_ver=%@&cmd=%@"
                                         "&os_ver=%@&model_Name=%@",
                                         result, code, openid, appid, detail, TcApiTool::kSDKVersion, command, version,
                                         model);
    send("GET", NimbusConnectHosts::baseURL() + "/code.cgi?domain=" + NimbusConnectHosts::kMonitorDomain +
                    "&cgi=opensdk&type=0&code=0&time=100&data=" + NimbusRequest::encodedValue(data));
}

bool NBDataReport::checkHasUTA() { return false; }

void NBDataReport::utaStart(const std::optional<std::string>& appid) {
    if (ConfigManager::GetInstance()->isDataReportEnable()) start4PalConnect(appid);
}

void NBDataReport::start4PalConnect(const std::optional<std::string>&) {}

void NBDataReport::utaSetEnable(bool) {}

void NBDataReport::utaReportApi(const std::string&) { ConfigManager::GetInstance()->updateConfig(); }

void NBDataReport::utaSetAccount(const std::string&) {}
