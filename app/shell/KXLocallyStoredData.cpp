#include "app/shell/KXLocallyStoredData.h"

#include <atomic>

#include "foundation/NSUserDefaults.h"

namespace {

// Counts the sign-ins and sign-outs of this process.
std::atomic<std::uint64_t> signInSerial{0};

// The stored value as text; "" when absent. A number (some back ends send the
// user id as one) reads as its decimal text rather than failing.
std::string storedText(const char* key) {
    return NSUserDefaults::standardUserDefaults()->stringForKey(key).value_or("");
}

void store(const char* key, const Value& value) {
    auto defaults = NSUserDefaults::standardUserDefaults();
    defaults->setObject(value, key);
    defaults->synchronize();
}

}  // namespace

std::string KXLocallyStoredData::getLoginUserID() { return storedText("uid"); }
void KXLocallyStoredData::setUserID(const Value& userID) {
    ++signInSerial;
    store("uid", userID);
}
std::string KXLocallyStoredData::getUsername() { return storedText("username"); }
void KXLocallyStoredData::setUsername(const Value& username) { store("username", username); }
std::string KXLocallyStoredData::getHead() { return storedText("head"); }
void KXLocallyStoredData::setHead(const Value& head) { store("head", head); }
std::string KXLocallyStoredData::getAppStr() { return storedText("appStr"); }
void KXLocallyStoredData::setAppStr(const Value& appStr) { store("appStr", appStr); }

KXLocallyStoredData::SignIn KXLocallyStoredData::currentSignIn() { return {signInSerial, getLoginUserID()}; }

void KXLocallyStoredData::forgetLogin() {
    ++signInSerial;
    auto defaults = NSUserDefaults::standardUserDefaults();
    for (const char* key : {"uid", "username", "head"}) defaults->removeObjectForKey(key);
    defaults->synchronize();
}
