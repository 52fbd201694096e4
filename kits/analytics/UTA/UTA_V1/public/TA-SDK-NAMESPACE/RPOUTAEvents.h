#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvent.h"

// A page shown for `duration` seconds, reached from `refer`.
class RPOUTAPageView : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1; }
    void encode(Dictionary& dictionary) override;
    float duration = 0;
    std::optional<std::string> page, refer;
};

// The start of a session, with the device block and its session extras.
class RPOUTASessionEnv : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 2; }
    void encode(Dictionary& dictionary) override;
    bool hs = false;
    std::optional<std::string> mch;
    std::int32_t bni = 0;
};

// An error the application reports; its text is cut to 200 lines.
class RPOUTAErrorEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 3; }
    void encode(Dictionary& dictionary) override;
    std::optional<std::string> error;
    std::uint32_t attr = 0;
    std::optional<std::string> availableMemory, freeDiskSpace, processName;
};

// The common part of crash reports.
class RPOUTACrashEventBase : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 3; }
    // "ut" into `top`; the device block with "cui", "ui" and "pal" into `device`.
    void generateData(Dictionary& top, Dictionary& device) const;
};

class RPOUTAActiveEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 4; }
    void encode(Dictionary& dictionary) override;
    float duration = 0;
};

class RPOUTAUserPropertyEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 6; }
    void encode(Dictionary& dictionary) override;
    std::optional<Dictionary> kvs;
};

class RPOUTACustomEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1000; }
    void encode(Dictionary& dictionary) override;
    std::string eventID;
    std::optional<Array> args;
    std::optional<Dictionary> kvs;
    float duration = 0;
};

class RPOUTAAdditionEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1001; }
    void encode(Dictionary& dictionary) override;
};

class RPOUTAAccountEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1001; }
    void encode(Dictionary& dictionary) override;
};

// The measurement of one interface call.
class RPOUTAAppMonitorStat : public NSObject {
public:
    std::optional<std::string> interface;
    std::uint32_t requestPackageSize = 0;
    std::uint32_t responsePackageSize = 0;
    std::uint64_t consumedMilliseconds = 0;
    std::int32_t returnCode = 0;
    std::int32_t resultType = 0;
    std::uint32_t sampling = 0;
};

class RPOUTAMonitorStatEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1002; }
    void encode(Dictionary& dictionary) override;
    Ref<RPOUTAAppMonitorStat> stat;
};

class RPOUTAGameUserEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1003; }
    void encode(Dictionary& dictionary) override;
    std::optional<std::string> uid, world, level;
};

class RPOUTATestSpeedEvent : public RPOUTAEvent {
public:
    std::int32_t getType() const override { return 1004; }
    void encode(Dictionary& dictionary) override;
    std::optional<std::string> sp, op, cn;
};
