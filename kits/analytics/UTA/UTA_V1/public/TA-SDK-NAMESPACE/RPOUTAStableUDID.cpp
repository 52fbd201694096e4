#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStableUDID.h"

#include <map>
#include <mutex>

#include "foundation/CommonDigest.h"
#include "foundation/NSDate.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSString.h"
#include "foundation/NSUUID.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/SecRandom.h"
#include "uikit/UIPasteboard.h"

namespace {

const char* const kDomain = "org.StableUDID";
const char* const kKey = "StableUDID";
const char* const kAppUIDKey = "StableUDID_appUID";
const char* const kCreatedKey = "StableUDID_createdTS";
const char* const kSlotKey = "StableUDID_slot";
const char* const kOptOutKey = "StableUDID_optOutTS";
const char* const kPasteboardType = "org.StableUDID";
const char* const kSlotPrefix = "org.StableUDID.slot.";
constexpr int kSlotCount = 1;

std::mutex cacheMutex;
std::optional<std::string> cachedValue;

Ref<NSError> udidError(long code, const std::string& description) {
    Dictionary info;
    info.set("description", description);
    return NSError::errorWithDomain(kDomain, code, std::move(info));
}

std::optional<Dictionary> readSlot(const Ref<UIPasteboard>& pasteboard) {
    auto data = pasteboard->dataForPasteboardType(kPasteboardType);
    if (!data) return std::nullopt;
    const Value record = NSKeyedUnarchiver::unarchiveObjectWithData(*data);
    if (!record.isDictionary()) return std::nullopt;
    return *record.dictionary();
}

void writeSlot(const Ref<UIPasteboard>& pasteboard, const Dictionary& record) {
    if (auto data = NSKeyedArchiver::archivedDataWithRootObject(Value(record))) {
        pasteboard->setData(*data, kPasteboardType);
    }
}

// MD5 of a new UUID's text plus a random 32-bit number: 40 hexadecimal characters.
std::string freshIdentifier() {
    const std::string uuid = NSUUID::UUID()->UUIDString();
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(uuid.data(), static_cast<CC_LONG>(uuid.size()), digest);
    std::string text;
    for (unsigned char byte : digest) text += NSString::stringWithFormat("%02x", static_cast<unsigned>(byte));
    std::uint32_t random = 0;
    SecRandomCopyBytes(kSecRandomDefault, sizeof random, &random);
    return text + NSString::stringWithFormat("%08lx", static_cast<unsigned long>(random));
}

std::string textOf(const Dictionary& dictionary, const char* key) {
    const Value& value = dictionary[key];
    return value.isText() ? *value.text() : std::string();
}

}  // namespace

std::optional<std::string> RPOUTAStableUDID::value() { return valueWithError(nullptr); }

void RPOUTAStableUDID::clearCachedValue() {
    std::lock_guard lock(cacheMutex);
    cachedValue.reset();
}

std::optional<std::string> RPOUTAStableUDID::valueWithError(Ref<NSError>* error) {
    std::lock_guard lock(cacheMutex);
    if (cachedValue) {
        if (error) *error = udidError(0, "StableUDID in cache from first call");
        return cachedValue;
    }
    auto defaults = NSUserDefaults::standardUserDefaults();
    std::string appUID = defaults->stringForKey(kAppUIDKey).value_or("");
    if (appUID.empty()) appUID = NSUUID::UUID()->UUIDString();
    std::optional<Dictionary> local = defaults->dictionaryForKey(kKey);
    std::string identifier = local ? textOf(*local, kKey) : std::string();
    std::string mySlot = local ? textOf(*local, kSlotKey) : std::string();
    std::optional<NSDate> optedOutAt;
    if (local) optedOutAt = (*local)[kOptOutKey].date();
    bool saveLocal = false;

    // Scan the slots: count the identifiers other apps left there.
    std::map<std::string, int> counts;
    std::string freeSlot;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string name = kSlotPrefix + std::to_string(slot);
        auto pasteboard = UIPasteboard::pasteboardWithName(name, false);
        std::optional<Dictionary> record = pasteboard ? readSlot(pasteboard) : std::nullopt;
        const std::string found = record ? textOf(*record, kKey) : std::string();
        if (found.empty()) {
            if (freeSlot.empty()) freeSlot = name;
        } else {
            ++counts[found];
        }
        if (record && textOf(*record, kAppUIDKey) == appUID) {
            mySlot = name;
            if (optedOutAt) optedOutAt = (*record)[kOptOutKey].date();
        }
    }
    std::string reliable;
    int best = 0;
    for (const auto& [candidate, count] : counts) {
        if (count >= best) reliable = candidate, best = count;
    }

    bool discrepancy = false;
    if (identifier.empty()) {
        identifier = reliable.empty() ? freshIdentifier() : reliable;
        if (!local) {
            local = Dictionary();
            local->set(kAppUIDKey, appUID);
            local->set(kCreatedKey, NSDate::date());
        }
        local->set(kKey, identifier);
        saveLocal = true;
    } else if (!reliable.empty() && reliable != identifier) {
        discrepancy = true;
    }

    if (!freeSlot.empty() && (mySlot.empty() || mySlot == freeSlot)) {
        auto pasteboard = UIPasteboard::pasteboardWithName(freeSlot, true);
        pasteboard->setPersistent(true);
        local->set(kSlotKey, freeSlot);
        writeSlot(pasteboard, *local);
        saveLocal = true;
    }
    if (saveLocal) {
        defaults->setObject(Value(*local), kKey);
        defaults->synchronize();
    }

    if (optedOutAt) {
        if (error) {
            *error = udidError(1, NSString::stringWithFormat(
                                      "Application with unique id %@ is opted-out from StableUDID as of %@", appUID,
                                      Value(*optedOutAt).description()));
        }
        cachedValue = NSString::stringWithFormat("%040x", 0);
        return cachedValue;
    }
    if (error) {
        *error = discrepancy ? udidError(2,
                                         "Found a discrepancy between stored StableUDID (reliable) and redundant "
                                         "copies; one of the apps on the device is most likely corrupting the "
                                         "StableUDID protocol")
                             : udidError(0, "StableUDID succesfully retrieved");
    }
    cachedValue = identifier;
    return cachedValue;
}

void RPOUTAStableUDID::setOptOut(bool optOut) {
    value();
    auto defaults = NSUserDefaults::standardUserDefaults();
    Dictionary local = defaults->dictionaryForKey(kKey).value_or(Dictionary());
    if (optOut) {
        local.set(kOptOutKey, NSDate::date());
    } else {
        local.remove(kOptOutKey);
    }
    defaults->setObject(Value(local), kKey);
    defaults->synchronize();
    clearCachedValue();
}
