#pragma once

#include <string>

#include "foundation/Value.h"

// The persisted login state, over the standard user defaults. Nothing is
// cached: every getter reads the store afresh, and every setter flushes it,
// so a sign-in or sign-out is seen by the very next request.
class KXLocallyStoredData {
public:
    KXLocallyStoredData() = delete;

    // The signed-in promoter's user id; "" means signed out.
    static std::string getLoginUserID();
    static void setUserID(const Value& userID);
    static std::string getUsername();
    static void setUsername(const Value& username);
    // The avatar image address.
    static std::string getHead();
    static void setHead(const Value& head);
    // The text form of the sign-in answer's account kind.
    static std::string getAppStr();
    static void setAppStr(const Value& appStr);

    // Sign-out: forgets the user id, the user name and the avatar address
    // (the account kind stays) and flushes the store, so that the next
    // launch starts at sign-in.
    static void forgetLogin();
};
