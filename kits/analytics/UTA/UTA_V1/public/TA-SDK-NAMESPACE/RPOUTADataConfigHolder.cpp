#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"

#include <exception>

#include "foundation/NSException.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTA.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPluginNotify.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTALog.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTANumericCompare.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

namespace {

std::vector<std::string> eventIdList(const std::string& text) {
    return NSString::componentsSeparatedByString(text, ";");
}

void logAndReportError(const std::string& message) {
    UTALog("%@", message);
    RPOUTA::trackError(message);
}

}  // namespace

Ref<RPOUTADataConfigHolder> RPOUTADataConfigHolder::initSingleton(const std::function<void()>& block) {
    return UTASharedSlotOf<RPOUTADataConfigHolder>().get([&] {
        auto holder = make<RPOUTADataConfigHolder>();
        RPOUTAStore::getInstance()->loadConfig([&](const Ref<RPOUTADataConfig>& config) { holder->setConfig(config); });
        if (block) block();
        // Every acknowledged report answer may carry configuration.
        RPOUTASocket::getInstance()->setOnlineConfigHandler([](const Value& answer) {
            if (auto shared = getInstance()) shared->updateOnlineConfig(answer);
        });
        return holder;
    });
}

Ref<RPOUTADataConfigHolder> RPOUTADataConfigHolder::getInstance() {
    return UTASharedSlotOf<RPOUTADataConfigHolder>().existing();
}

void RPOUTADataConfigHolder::setConfig(const Ref<RPOUTADataConfig>& config) {
    if (!config) return;
    try {
        Ref<NSError> error;
        const Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(config->content), &error);
        if (error) {
            logAndReportError(NSString::stringWithFormat("Decode response config JSON error :%@", error));
            return;
        }
        const Dictionary* content = parsed.dictionary();
        if (!content) {
            logAndReportError(
                NSString::stringWithFormat("Not NSDictionary for decoded response config object:%@", UTAClassNameOf(parsed)));
            return;
        }
        if (config->type == 1) {
            {
                std::lock_guard lock(mutex_);
                sdkCfg_ = config;
            }
            applyLibraryKeys(*content);
        } else if (config->type == 2) {
            std::lock_guard lock(mutex_);
            appCfg_ = config;
            appProperties_ = *content;
        }
    } catch (const std::exception& caught) {
        auto exception = NSException::exceptionWithName("NSInternalInconsistencyException", caught.what());
        UTALog("Caught %@%@", exception->name(), exception->reason());
        RPOUTA::trackException(exception);
    }
}

void RPOUTADataConfigHolder::applyLibraryKeys(const Dictionary& content) {
    auto config = RPOUTAConfig::getInstance();
    auto helper = RPOUTAHelper::getInstance();
    auto env = helper->getEnv();

    if (const Value* strategy = content.find("rs"); strategy && strategy->intValue() >= 1) {
        config->setReportStrategy(strategy->intValue());
    }
    if (const Value* hibernate = content.find("__HIBERNATE__")) {
        const auto version = hibernate->stringValue();
        if (version && UTANumericCompare(kUTASdkVersion, *version) <= 0) config->setStatEnable(false);
    }
    if (const Value* autoTM = content.find("autoTM"); autoTM && autoTM->isNumber() && autoTM->intValue() == 0) {
        config->setAutoTM(false);
    }
    if (const Value* crash = content.find("__NEW_CRASH_IS_ON__"); crash && crash->intValue() != 0) {
        helper->setReportNewCrashReport(true);
    }
    if (const Value* kill = content.find("__UTA_KILL__"); kill && kill->isDictionary()) {
        const auto matches = [kill](const char* key, const std::string& own) {
            const std::string* text = (*kill)[key].text();
            return text && *text == own;
        };
        if (matches("sv", env->sdk_version())) helper->setUTAEnableFlag(false);
        if (matches("md", env->modulename())) helper->setUTAEnableFlag(false);
        if (matches("av", env->app_version())) helper->setUTAEnableFlag(false);
    }
    if (const Value* instant = content.find("__INSTANT_EI_LIST__"); instant && env) {
        const std::string ids = instant->stringValue().value_or("");
        env->setInstantEventList(eventIdList(ids));
        UTALog("立即上传的自定义事件id列表:%@", ids);
    }
    if (const Value* ignored = content.find("__DONT_REPORT_EI_LIST__"); ignored && env) {
        const std::string ids = ignored->stringValue().value_or("");
        env->setIgnoreEventList(eventIdList(ids));
        UTALog("忽略的自定义事件id列表:%@", ids);
    }
    const Value* speed = content.find("__UTA_TEST_SPEED__");
    helper->setSpeedTestStr(speed ? speed->stringValue().value_or("") : std::string());
}

Ref<RPOUTADataConfig> RPOUTADataConfigHolder::getConfig(std::uint32_t type) const {
    std::lock_guard lock(mutex_);
    if (type == 1) return sdkCfg_;
    if (type == 2) return appCfg_;
    return nullptr;
}

void RPOUTADataConfigHolder::updateConfig(const Value& record, std::uint32_t type) {
    const bool debug = RPOUTAConfig::getInstance()->debugEnable();
    if (debug) UTALog("Start update configuration from UTA's reponse content");
    auto config = make<RPOUTADataConfig>();
    if (!config->decode(record)) {
        UTALog("[ERROR]Failed to decode config for %@", record);
        return;
    }
    config->type = type;
    auto local = getConfig(type);
    const std::uint32_t localVersion = local ? local->version : 0;
    if (localVersion >= config->version) {
        if (debug) {
            UTALog("[WARN]Local has version:%d for config:%d, while remote has version:%d", localVersion, type,
                   config->version);
        }
        return;
    }
    setConfig(config);
    RPOUTAStore::getInstance()->storeConfig(config);
}

void RPOUTADataConfigHolder::updateOnlineConfig(const Value& answer) {
    const Dictionary* fields = answer.dictionary();
    if (fields && !fields->find("mid")) {
        if (const Value* records = fields->find("cfg"); records && records->isDictionary()) {
            if (const Value& library = (*records)["1"]; library.isDictionary()) updateConfig(library, 1);
            if (const Value& application = (*records)["2"]; application.isDictionary()) updateConfig(application, 2);
        }
    }
    RPOUTAPluginNotify::sendNotification(kRPOUTAConfigUpdatedNotification, nullptr);
}

void RPOUTADataConfigHolder::encode(Dictionary& dictionary) const {
    Dictionary library, application;
    {
        std::lock_guard lock(mutex_);
        if (sdkCfg_) sdkCfg_->encodeWithNoContent(library);
        if (appCfg_) appCfg_->encodeWithNoContent(application);
    }
    Dictionary versions;
    versions.set("1", library);
    versions.set("2", application);
    dictionary.set("cfg", versions);
}

Value RPOUTADataConfigHolder::getAppProperty(const std::string& key) const {
    std::lock_guard lock(mutex_);
    const Value* value = appProperties_.find(key);
    return value ? *value : Value();
}
