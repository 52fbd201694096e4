#pragma once

#include <string>

#include "foundation/NSObject.h"

// Posts the library's notifications for plug-ins, each name at most once per
// process however often it is sent.
class RPOUTAPluginNotify {
public:
    RPOUTAPluginNotify() = delete;
    // From any thread: on the main queue, posts `name` with `object` on the
    // default notification center unless that name was posted before.
    static void sendNotification(const std::string& name, const Ref<NSObject>& object);
};

inline constexpr const char* kRPOUTAMainServiceStartNotification = "RPOUTA_MAIN_SERVICE_START_NOTIFICATION";
inline constexpr const char* kRPOUTAConfigUpdatedNotification = "RPOUTA_CONFIG_UPDATED";
