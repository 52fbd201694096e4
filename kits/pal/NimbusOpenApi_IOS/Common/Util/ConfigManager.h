#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"

class APIBase;

// The kit's server-side policy: fetched at every launch (the policy
// document and the share-limit check), merged into `config` and cached in
// "NBSdkConfig.plist" (Library/PreferencePanes) so that a later launch
// starts from the last known values.
class ConfigManager : public NSObject {
public:
    ConfigManager();

    static Ref<ConfigManager> GetInstance();

    const Dictionary& config() const { return config_; }
    Dictionary& config() { return config_; }
    const std::string& appid() const { return appid_; }
    void setAppid(std::string appid) { appid_ = std::move(appid); }
    std::int32_t sdkWebViewConfigEnable() const { return sdkWebViewConfigEnable_; }
    void setSdkWebViewConfigEnable(std::int32_t value) { sdkWebViewConfigEnable_ = value; }
    // The file in the current sandbox's Library/PreferencePanes.
    static std::string path();
    const std::map<std::string, Ref<APIBase>>& apiRequests() const { return apiRequests_; }

    void loadLocalConfig();
    void saveLocalConfig();
    bool requestConfig();
    bool requestSDKWebViewConfig();
    // Both requests again when the policy has expired.
    void updateConfig();
    void requestConfigResponse(const Ref<APIResponse>& response);
    void requestSDKWebViewConfigResponse(const Ref<APIResponse>& response);
    void deleteAPIRequestBySeq(const std::string& seq);

    bool isDataReportEnable() const;
    std::int64_t getServerSDKWebPalShare() const;
    std::int32_t getThirdAppSDKWebPalShare() const { return sdkWebViewConfigEnable_; }
    bool isAppWithinWhitelistForH5Share() const;

    static Dictionary defaultConfig();

protected:
    void didCreate() override;

private:
    // The answer's JSON when the exchange succeeded with "ret" 0 (or none);
    // the outcome is logged under the request's name.
    const Dictionary* acceptedAnswer(const Ref<APIResponse>& response, const char* name);
    void track(const Ref<APIBase>& call);

    Dictionary config_;
    std::string appid_;
    std::int32_t sdkWebViewConfigEnable_ = 2;
    std::map<std::string, Ref<APIBase>> apiRequests_;
};
