#pragma once

#include <optional>
#include <string>

#include <mutex>

#include "foundation/NSObject.h"

// The Ripple kit's one road into the analytics library: it turns the Ripple
// app id into the analytics app key, starts the library with it, and records
// an event each time the host app goes to the background.
class UTARP : public NSObject {
public:
    using Text = std::optional<std::string>;

    static Ref<UTARP> getInstance();
    std::string className() const override { return "UTARP"; }

    // The analytics app key of an app id: a fixed five-letter prefix, then the id.
    static Text ConvertRPappkey(const Text& appId);
    // Keeps the app id's key and starts the analytics library with it.
    static void startWithAppkey(const Text& appId);
    // A real-time "onBackground_RP" event under the kept key.
    static void onBackground();

    Text appkey() const;
    void setAppkey(const Text& appkey);

private:
    mutable std::mutex mutex_;
    Text appkey_;
};
