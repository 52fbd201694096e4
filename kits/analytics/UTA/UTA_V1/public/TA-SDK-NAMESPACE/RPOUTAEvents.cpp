#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"

#include "foundation/NSBundle.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAConfig.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTADataConfigHolder.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAHelper.h"

namespace {

void setBundleIdentifier(Dictionary& dictionary) {
    const Value& identifier = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleIdentifier");
    if (identifier.isText()) dictionary.set("bdid", *identifier.text());
}

// The device block with the identity extras of error and crash reports.
Dictionary deviceBlockWithIdentity() {
    auto config = RPOUTAConfig::getInstance();
    Dictionary block = UTADeviceBlock();
    UTASetIfPresent(block, "cui", config->customerUserID());
    UTASetIfNotEmpty(block, "ui", RPOUTAHelper::getInstance()->getEnv()->deviceid());
    const auto pal = config->pal();
    UTASetIfPresent(block, "pal", pal ? pal : config->account());
    return block;
}

std::string firstLines(const std::string& text, std::size_t count) {
    std::size_t position = 0;
    for (std::size_t line = 0; line < count; ++line) {
        position = text.find('\n', position);
        if (position == std::string::npos) return text;
        ++position;
    }
    return text.substr(0, position - 1);
}

}  // namespace

void RPOUTAPageView::encode(Dictionary& dictionary) {
    if (page) {
        if (refer && *refer == *page) refer = "-";
        dictionary.set("pi", *page);
    }
    dictionary.set("du", UTAFloatNumber(duration));
    UTASetIfPresent(dictionary, "rf", refer);
}

void RPOUTASessionEnv::encode(Dictionary& dictionary) {
    if (hs) dictionary.set("hs", 1);
    Dictionary block = UTADeviceBlock();
    Dictionary ssid = RPOUTAHelper::getInstance()->fetchSSIDInfo();
    if (!ssid.empty()) block.set("wf", RPOUTAHelper::getInstance()->getJson(Value(ssid)));
    if (const std::int64_t bootTime = RPOUTAHelper::getBootTime(); bootTime != 0) {
        block.set("sut", static_cast<std::uint64_t>(bootTime));
    }
    dictionary.set("ev", block);
    dictionary.set("ut", UTAUserType());
    setBundleIdentifier(dictionary);
    UTASetIfPresent(dictionary, "mch", mch);
    if (bni != 0) dictionary.set("bni", bni);
    if (auto holder = RPOUTADataConfigHolder::getInstance()) holder->encode(dictionary);
}

void RPOUTAErrorEvent::encode(Dictionary& dictionary) {
    if (error) dictionary.set("er", firstLines(*error, 200));
    dictionary.set("ea", attr);
    dictionary.set("ut", UTAUserType());
    Dictionary block = deviceBlockWithIdentity();
    UTASetIfPresent(block, "pcn", processName);
    if (availableMemory) block.set("fram", Value(*availableMemory).longLongValue());
    if (freeDiskSpace) block.set("from", Value(*freeDiskSpace).longLongValue());
    dictionary.set("errkv", RPOUTAHelper::getInstance()->getJson(Value(block)));
    setBundleIdentifier(dictionary);
}

void RPOUTACrashEventBase::generateData(Dictionary& top, Dictionary& device) const {
    for (const auto& [key, value] : deviceBlockWithIdentity()) device.set(key, value);
    top.set("ut", UTAUserType());
}

void RPOUTAActiveEvent::encode(Dictionary& dictionary) { dictionary.set("du", UTAFloatNumber(duration)); }

void RPOUTAUserPropertyEvent::encode(Dictionary& dictionary) {
    if (kvs) dictionary.set("cp", *kvs);
}

void RPOUTACustomEvent::encode(Dictionary& dictionary) {
    dictionary.set("ei", eventID);
    if (args) dictionary.set("ar", *args);
    if (kvs) dictionary.set("kv", *kvs);
    if (duration > 0) dictionary.set("du", UTAFloatNumber(duration));
}

void RPOUTAAdditionEvent::encode(Dictionary& dictionary) {
    UTASetIfPresent(dictionary, "pal", RPOUTAConfig::getInstance()->pal());
}

void RPOUTAAccountEvent::encode(Dictionary& dictionary) {
    auto config = RPOUTAConfig::getInstance();
    Dictionary account;
    UTASetIfPresent(account, "a", config->account());
    account.set("t", static_cast<int>(config->accountType()));
    UTASetIfPresent(account, "e", config->accountExt());
    dictionary.set("acc", account);
    UTASetIfPresent(dictionary, "pal", config->account());
}

void RPOUTAMonitorStatEvent::encode(Dictionary& dictionary) {
    if (!stat || !stat->interface) return;
    dictionary.set("na", *stat->interface);
    dictionary.set("rq", stat->requestPackageSize);
    dictionary.set("rp", stat->responsePackageSize);
    dictionary.set("tm", stat->consumedMilliseconds);
    dictionary.set("rc", stat->returnCode);
    if (stat->sampling == 0) stat->sampling = 1;
    dictionary.set("sp", stat->sampling);
    dictionary.set("rt", stat->resultType);
    auto helper = RPOUTAHelper::getInstance();
    UTASetIfPresent(dictionary, "op", helper->getEnv()->mccmnc());
    UTASetIfNotEmpty(dictionary, "cn", helper->getNetworkType());
}

void RPOUTAGameUserEvent::encode(Dictionary& dictionary) {
    UTASetIfPresent(dictionary, "gid", uid);
    UTASetIfPresent(dictionary, "wod", world);
    UTASetIfPresent(dictionary, "lev", level);
}

void RPOUTATestSpeedEvent::encode(Dictionary& dictionary) {
    UTASetIfPresent(dictionary, "sp", sp);
    UTASetIfPresent(dictionary, "op", op);
    UTASetIfPresent(dictionary, "cn", cn);
}
