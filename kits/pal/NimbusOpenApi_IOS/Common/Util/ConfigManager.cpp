#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"

#include <mutex>

#include "foundation/NSDate.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/PropertyListFile.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/PalApi/PalApiLog.h"

namespace {

constexpr const char* kFileName = "NBSdkConfig.plist";
constexpr int kShareLimitTries = 3;

// A dictionary's text form on one line: each line break and the indent
// after it become one space, so the request's log entry stays one line.
std::string oneLine(const std::string& text) {
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n') {
            line += text[i];
            continue;
        }
        while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
        line += ' ';
    }
    return line;
}

struct Mapping {
    const char* answerKey;
    const char* configKey;
    bool text;
};
constexpr Mapping kPolicyFields[] = {
    {"Common_ta_enable", "DataReportEnable", false},
    {"Common_frequency", "ConfigTimeFrequency", false},
    {"Common_SSO", "CommonSSo", false},
    {"Common_SSO_PalspaceVersion", "CommonSSoPalSpaceVersion", true},
    {"Common_SSO_PalSpaceSchema", "CommonSSOPalSpaceSchema", true},
    {"C_LoginWeb", "CommonUseWebLogin", false},
};

}  // namespace

ConfigManager::ConfigManager() : config_(defaultConfig()) {}

std::string ConfigManager::path() {
    auto folders = NSSearchPathForDirectoriesInDomains(NSPreferencePanesDirectory, NSUserDomainMask, true);
    return (folders.empty() ? NSHomeDirectory() : folders.front()) + "/" + kFileName;
}

void ConfigManager::didCreate() {
    NSObject::didCreate();
    loadLocalConfig();
}

Ref<ConfigManager> ConfigManager::GetInstance() {
    static std::mutex lock;
    static Ref<ConfigManager> shared;
    std::lock_guard guard(lock);
    if (!shared) shared = make<ConfigManager>();
    return shared;
}

Dictionary ConfigManager::defaultConfig() {
    return Dictionary{
        {"DataReportEnable", true},        {"SafariEnable", true},
        {"WebViewEnable", true},           {"ConfigTimeStamp", 0.0},
        {"ConfigTimeFrequency", 24.0},     {"CommonSSo", 1},
        {"CommonSSoPalSpaceVersion", "3.5.0"}, {"CommonSSOPalSpaceSchema", "mpal"},
        {"SDKWebViewPalShare", 0},
    };
}

void ConfigManager::loadLocalConfig() {
    if (!NSFileManager::defaultManager()->fileExistsAtPath(path())) return;
    // An unreadable file keeps the values in hand (it is rewritten by the
    // next answer that changes something).
    if (auto stored = PropertyListFile::dictionaryWithContentsOfFile(path())) config_ = std::move(*stored);
}

void ConfigManager::saveLocalConfig() {
    config_.set("ConfigTimeStamp", NSDate::date().timeIntervalSince1970());
    PropertyListFile::writeToFile(config_, path(), true);
}

void ConfigManager::track(const Ref<APIBase>& call) { apiRequests_[std::to_string(call->seq())] = call; }

bool ConfigManager::requestConfig() {
    Dictionary params{{"client_id", appid_}, {"appid", appid_}};
    auto call = make<APIBase>(self(), APIBase::selector(&ConfigManager::requestConfigResponse), "GET");
    const std::string address = NimbusConnectHosts::baseURL() + "/palconnectopen/openapi/policy_conf";
    call->openUrl(address, std::nullopt, std::nullopt, appid_, params);
    track(call);
    PAL_API_LOG("%s_%s", address.c_str(), oneLine(Value(params).description()).c_str());
    return true;
}

bool ConfigManager::requestSDKWebViewConfig() {
    Dictionary params{{"appid", appid_}};
    auto call = make<APIBase>(self(), APIBase::selector(&ConfigManager::requestSDKWebViewConfigResponse), "GET");
    call->setNeedTriedCounts(kShareLimitTries);
    call->openUrl(NimbusConnectHosts::baseURL() + "/cgi-bin/qconn_share/check_app_limit.cgi", std::nullopt,
                  std::nullopt, appid_, params);
    track(call);
    return true;
}

void ConfigManager::updateConfig() {
    const double age = NSDate::date().timeIntervalSince1970() - config_["ConfigTimeStamp"].doubleValue();
    if (age > config_["ConfigTimeFrequency"].doubleValue() * 3600) {
        requestConfig();
        requestSDKWebViewConfig();
    }
}

void ConfigManager::deleteAPIRequestBySeq(const std::string& seq) {
    auto found = apiRequests_.find(seq);
    if (found == apiRequests_.end()) return;
    found->second->releaseCgiRequest();
    apiRequests_.erase(found);
}

const Dictionary* ConfigManager::acceptedAnswer(const Ref<APIResponse>& response, const char* name) {
    deleteAPIRequestBySeq(std::to_string(response->seq()));
    const auto ret = NBOpenSDKErrorUtil::retValue(response->jsonResponse());
    if (response->retCode() != 0 || ret.value_or(0) != 0) {
        NSLog(std::string("Pal kit: ") + name + " request failed: " +
              response->errorMsg().value_or(response->jsonResponse()["ret"].stringValue().value_or("no answer")));
        return nullptr;
    }
    NSLog(std::string("Pal kit: ") + name + " received");
    return response->jsonResponse().dictionary();
}

void ConfigManager::requestConfigResponse(const Ref<APIResponse>& response) {
    if (!response) return;
    auto keep = self();
    const Dictionary* answer = acceptedAnswer(response, "policy configuration");
    if (!answer) return;
    bool changed = false;
    for (const Mapping& field : kPolicyFields) {
        const Value* value = answer->find(field.answerKey);
        if (!value || (field.text ? !value->isText() : !value->isNumber())) continue;
        config_.set(field.configKey, *value);
        changed = true;
    }
    if (changed) saveLocalConfig();
    NBDataReport::utaSetEnable(isDataReportEnable());
}

void ConfigManager::requestSDKWebViewConfigResponse(const Ref<APIResponse>& response) {
    if (!response) return;
    auto keep = self();
    const Dictionary* answer = acceptedAnswer(response, "share limit");
    if (!answer) return;
    const Value& subcode = (*answer)["subcode"];
    if (subcode.isNumber()) {
        config_.set("SDKWebViewPalShare", subcode.longLongValue() != 0 ? 2 : 1);
        saveLocalConfig();
    }
    NBDataReport::utaSetEnable(isDataReportEnable());
}

bool ConfigManager::isDataReportEnable() const { return config_["DataReportEnable"].boolValue(); }

std::int64_t ConfigManager::getServerSDKWebPalShare() const { return config_["SDKWebViewPalShare"].longLongValue(); }

bool ConfigManager::isAppWithinWhitelistForH5Share() const {
    const std::int64_t server = getServerSDKWebPalShare();
    if (server == 1) return true;
    if (server != 0) return false;
    return sdkWebViewConfigEnable_ == 1;
}
