#pragma once

#include <cstdint>
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

    // The sign-in the app is in: another one after every sign-in
    // (setUserID) and sign-out, and whenever the stored user id is not the
    // one it was. A request keeps the one it was asked in, so that its
    // answer is not told to, or stored for, whoever signed in since.
    struct SignIn {
        std::uint64_t serial = 0;
        std::string uid;
        bool operator==(const SignIn&) const = default;
    };
    static SignIn currentSignIn();

    // Sign-out: forgets the user id, the user name and the avatar address
    // (the account kind stays) and flushes the store, so that the next
    // launch starts at sign-in.
    static void forgetLogin();
};
