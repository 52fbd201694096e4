#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"

#include <sys/time.h>

#include <charconv>

#include "foundation/NSString.h"
#include "foundation/SecRandom.h"
#include "foundation/UTF16.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAPlugins.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTAReachability/RPOUTAReachability.h"

namespace {

std::string microsecondText() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return std::to_string(now.tv_usec);
}

}  // namespace

RPOUTAEvent::RPOUTAEvent() {
    // The time stamp follows the service's clock, which sessions use too.
    ts = static_cast<std::uint32_t>(UTANow());
    timeStr = microsecondText();
    if (timeStr.size() >= 3) timeStr = timeStr.substr(2);
}

void RPOUTAEvent::encode(Dictionary&) {}

std::int32_t RPOUTAEvent::getRandomNumber(std::int32_t from, std::int32_t to) {
    std::uint32_t random = 0;
    SecRandomCopyBytes(kSecRandomDefault, sizeof random, &random);
    const auto span = static_cast<std::uint32_t>(to - from + 1);
    return from + static_cast<std::int32_t>(span == 0 ? random : random % span);
}

std::int32_t RPOUTAEvent::generateIDX() const {
    for (;;) {
        std::string micros = microsecondText();
        if (micros.size() >= 2) micros = micros.substr(1);
        const std::string text = std::to_string(getRandomNumber(0, 3)) + timeStr + micros;
        const auto value = static_cast<std::int64_t>(std::stoull(text));
        const auto idx = static_cast<std::int32_t>(static_cast<std::uint32_t>(value & 0xffffffff));
        if (idx != -1) return idx;
    }
}

std::string RPOUTAEvent::toJsonString() {
    auto config = RPOUTAConfig::getInstance();
    auto helper = RPOUTAHelper::getInstance();
    auto env = helper->getEnv();
    Dictionary dictionary;
    dictionary.set("ts", ts);
    dictionary.set("si", sid);
    if (getType() != 2) {
        UTASetIfNotEmpty(dictionary, "sv", env->sdk_version());
        dictionary.set("ut", UTAUserType());
        UTASetIfPresent(dictionary, "ch", config->channel());
        const auto customerVersion = config->customerAppVersion();
        UTASetIfNotEmpty(dictionary, "av", customerVersion ? *customerVersion : env->app_version());
    }
    UTASetIfPresent(dictionary, "cui", config->customerUserID());
    UTASetIfPresent(dictionary, "cav", config->customerAppVersion());
    UTASetIfNotEmpty(dictionary, "ui", env->deviceid());
    if (auto ifa = config->ifa()) {
        dictionary.set("ifa", *ifa);
    } else if (auto source = RPOUTAPluginIDFA::getInstance()->delegate()) {
        UTASetIfPresent(dictionary, "ifa", source->getIDFA());
    }
    UTASetIfNotEmpty(dictionary, "tmpid", RPOUTATempID::getUTATempID());
    if (auto ifv = env->ifv()) dictionary.set("ifv", ifv->UUIDString());
    dictionary.set("et", getType());
    const auto key = appkey ? appkey : config->appkey();
    UTASetIfPresent(dictionary, "ky", key);
    eventIndex = generateIDX();
    dictionary.set("idx", eventIndex);
    UTASetIfPresent(dictionary, "h5attr", h5attr);
    if (h5 != 0) dictionary.set("h5", h5);
    try {
        encode(dictionary);
    } catch (...) {
        // The keys written before the failure stay.
    }
    return helper->getJson(Value(dictionary));
}

const std::string& RPOUTAEvent::reportText() {
    if (!content) content = toJsonString();
    return *content;
}

bool RPOUTAEvent::isTooLongToReport() {
    return UTATextLength(reportText()) > RPOUTAConfig::getInstance()->maxReportEventLength() && getType() != 3;
}

std::size_t RPOUTAEvent::contentLength() const { return content ? UTATextLength(*content) : 0; }

std::size_t UTATextLength(std::string_view text) { return UTF16::length(text); }

Value UTAFloatNumber(float number) {
    char digits[32];
    const auto written = std::to_chars(digits, digits + sizeof digits, number);
    double shortest = number;
    std::from_chars(digits, written.ptr, shortest);
    return Value(shortest);
}

Dictionary UTADeviceBlock() {
    auto config = RPOUTAConfig::getInstance();
    auto helper = RPOUTAHelper::getInstance();
    auto env = helper->getEnv();
    Dictionary block;
    UTASetIfNotEmpty(block, "pl", env->platform());
    UTASetIfNotEmpty(block, "tz", env->timezone());
    UTASetIfNotEmpty(block, "ov", env->os_version());
    const auto customerVersion = config->customerAppVersion();
    UTASetIfNotEmpty(block, "av", customerVersion ? *customerVersion : env->app_version());
    block.set("os", 2);
    UTASetIfNotEmpty(block, "sv", env->sdk_version());
    UTASetIfNotEmpty(block, "lg", env->language());
    UTASetIfNotEmpty(block, "sr", env->resolution());
    UTASetIfPresent(block, "op", env->mccmnc());
    UTASetIfNotEmpty(block, "md", env->devicename());
    UTASetIfNotEmpty(block, "mf", env->modulename());
    UTASetIfPresent(block, "ch", config->channel());
    UTASetIfNotEmpty(block, "cn", helper->getNetworkType());
    return block;
}

void UTASetIfPresent(Dictionary& dictionary, const char* key, const std::optional<std::string>& value) {
    if (value) dictionary.set(key, *value);
}

void UTASetIfNotEmpty(Dictionary& dictionary, const char* key, const std::string& value) {
    if (!value.empty()) dictionary.set(key, value);
}

std::int32_t UTAUserType() {
    auto user = RPOUTAHelper::getInstance()->getUser();
    return user ? user->userType : 0;
}
