#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The kit's fire-and-forget statistics: numbered action reports, login,
// share and statistic reports, and return-code check reports, each one
// NimbusRequest whose answer is not read. Also the bridge to an analytics
// library the host app may link ("QCUTA"): none exists here, so the bridge
// calls do nothing.
class NBDataReport {
public:
    NBDataReport() = delete;

    static constexpr const char* kDefaultVersion = "ios.SDK.1.8";

    // "os_ver=..&sdk_ver=..&boundid=..&app_ver=..&packagename=..".
    static std::string commParamValue();

    // `dontReport` YES sends nothing; otherwise the action report.
    static bool reportData(bool dontReport, const std::optional<std::string>& action,
                           const std::optional<std::string>& appid, const std::optional<std::string>& ver);
    static bool reportDataWithTime(bool dontReport, const std::optional<std::string>& action,
                                   const std::optional<std::string>& appid, double timeInterval,
                                   const std::optional<std::string>& ver);
    // NO for a nil action.
    static bool reportBonuliData(const std::optional<std::string>& action, const std::optional<std::string>& appid,
                                 const std::optional<std::string>& ver);
    static bool reportBonuliDataWithTime(const std::optional<std::string>& action,
                                         const std::optional<std::string>& appid, double timeInterval,
                                         const std::optional<std::string>& ver);

    static void cgiLoginReport(int result, int reportType);
    static void cgiShareReport(int result, int type, int toType, int actType, long long toUin, int reportType,
                               int callSource);
    static void cgiStatisticReport(int result, int reportType);
    static void reportCheck(const std::string& command, int result, int code, const std::string& detail);

    // The analytics bridge: no library is linked, so it is never found.
    static bool checkHasUTA();
    static void utaStart(const std::optional<std::string>& appid);
    static void start4PalConnect(const std::optional<std::string>& appid);
    static void utaSetEnable(bool enable);
    // Refreshes the policy when due, then (with a bridge) reports the API.
    static void utaReportApi(const std::string& apiName);
    static void utaSetAccount(const std::string& account);
};
