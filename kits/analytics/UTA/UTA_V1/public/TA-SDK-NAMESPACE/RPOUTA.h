#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "foundation/DispatchQueue.h"
#include "foundation/NSData.h"
#include "foundation/NSException.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEvents.h"

// The analytics service. Its class methods are the library's whole surface:
// start-up and sessions, the recording of page views, active time, errors and
// custom events, and the queries plug-ins make. Events are built and
// stamped with the session on the caller's thread; the one shared instance
// runs each through the report policy on its serial queue "NimbusAnalysis",
// which stores it, keeps it in memory or sends it at once.
//
// Recording methods that answer a code: -1 tracking is switched off, 0 the
// event was accepted, 1000 invalid argument or no matching begin, 1001 the
// content is too long.
class RPOUTA : public NSObject {
public:
    using Text = std::optional<std::string>;

    std::string className() const override { return "RPOUTA"; }

    // --- What plug-ins ask of the service ---
    static Text getStableUDID();
    static Text getBundleID();
    static Text getIDFV();
    static Text getUTAConfigIDFA();
    // The configured app version, else the bundle's, else "".
    static std::string getAppVersion();
    static Text getAppKey();
    // "WIFI", "CellNetwork" or "".
    static std::string getNetworkType();
    static std::string getUTAVersion();
    // The report channel's framing and decoding.
    static std::optional<NSData> getSendData(const NSData& data);
    static std::optional<NSData> filterBodyData(const NSData& body, const NSData& configData);
    static bool isEqualToMagic(const NSData& data);

    // --- Start-up ---
    // The shared instance, made on first use: it opens the store, applies the
    // stored online configuration and observes the application's life cycle.
    static Ref<RPOUTA> getInstance();
    // Starts the service for an app key (a second key is put in front of the
    // first, "k2|k1"), opens a session, tells plug-ins once and tracks the
    // active time. Nothing while statistics are off; a nil or empty key is
    // refused.
    static void startWithAppkey(const Text& appkey);
    // Starts unless the given version orders after the library's; then
    // statistics are switched off and the answer is false.
    static bool startWithAppkey(const Text& appkey, const std::string& checkedSdkVersion);
    // Sends the stored events (`count` as the store takes it).
    static void commitCachedStats(std::int32_t count);

    // --- Page views ---
    static void trackDirectPageViewBegin(const Text& page, const Text& appkey);
    static void trackDirectPageViewEnd(const Text& page, const Text& appkey, bool isRealTime);
    static void trackDirectPageViewEnd(const Text& page, const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                       const Text& h5Attr);
    // As the direct forms, also remembering the page as the current one,
    // which the life cycle ends and begins again.
    static void trackPageViewBegin(const Text& page);
    static void trackPageViewBegin(const Text& page, const Text& appkey);
    static void trackPageViewEnd(const Text& page);
    static void trackPageViewEnd(const Text& page, const Text& appkey, bool isRealTime);

    // --- Active time ---
    static void autoTrackActiveBegin();
    static void autoTrackActiveEnd();
    static void resetTrackActiveStartTime();
    static void trackActiveBegin();
    static void trackActiveEnd();

    // --- Errors ---
    static std::int64_t trackException(const Ref<NSException>& exception);
    static std::int64_t trackException(const Ref<NSException>& exception, const Text& appkey, bool isRealTime);
    static std::int64_t trackError(const Text& error);
    static std::int64_t trackError(const Text& error, const Text& appkey, bool isRealTime);

    // --- Custom events ---
    static std::int64_t trackCustomEvent(const Text& eventId, const std::optional<Array>& args);
    static std::int64_t trackCustomEvent(const Text& eventId, const std::optional<Array>& args, const Text& appkey,
                                         bool isRealTime);
    static std::int64_t trackCustomEventBegin(const Text& eventId, const std::optional<Array>& args);
    static std::int64_t trackCustomEventBegin(const Text& eventId, const std::optional<Array>& args, const Text& appkey);
    static std::int64_t trackCustomEventEnd(const Text& eventId, const std::optional<Array>& args);
    static std::int64_t trackCustomEventEnd(const Text& eventId, const std::optional<Array>& args, const Text& appkey,
                                            bool isRealTime);
    static std::int64_t trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props);
    static std::int64_t trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props,
                                                 const Text& appkey, bool isRealTime);
    static std::int64_t trackCustomKeyValueEvent(const Text& eventId, const std::optional<Dictionary>& props,
                                                 const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                                 const Text& h5Attr);
    static std::int64_t trackCustomKeyValueEventBegin(const Text& eventId, const std::optional<Dictionary>& props);
    static std::int64_t trackCustomKeyValueEventBegin(const Text& eventId, const std::optional<Dictionary>& props,
                                                      const Text& appkey);
    static std::int64_t trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props);
    static std::int64_t trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props,
                                                    const Text& appkey, bool isRealTime);
    static std::int64_t trackCustomKeyValueEventEnd(const Text& eventId, const std::optional<Dictionary>& props,
                                                    const Text& appkey, bool isRealTime, std::int32_t fromH5,
                                                    const Text& h5Attr);
    // A key-value event with a measured duration in seconds (not zero).
    static std::int64_t trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                         const std::optional<Dictionary>& props);
    static std::int64_t trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                         const std::optional<Dictionary>& props, const Text& appKey,
                                                         bool isRealTime);
    static std::int64_t trackCustomKeyValueEventDuration(float duration, const Text& eventId,
                                                         const std::optional<Dictionary>& props, const Text& appKey,
                                                         bool isRealTime, std::int32_t fromH5, const Text& h5Attr);

    // --- Sessions ---
    // Opens a session when the idle time-out or midnight has passed or none is open.
    static void startNewSession();
    static void startNewSession(bool isRealTime);
    // The next idle check opens a session.
    static void stopSession();
    // Records the opening of the current session.
    static void reportSessionEvent(const Text& appkey, bool isRealTime);
    // Sends an event at once, behind any stored ones.
    static void sendEventReplaceBlock(const Ref<RPOUTAEvent>& event, std::int32_t count);

    // --- Account and user data ---
    static void reportPal(const Text& pal);
    static void reportPal(const Text& pal, const Text& appkey, bool isRealTime);
    static void reportAccount(const Text& account, std::uint32_t type, const Text& ext);
    static void reportAccount(const Text& account, std::uint32_t type, const Text& ext, const Text& appkey,
                              bool isRealTime);
    static void reportAppMonitorStat(const Ref<RPOUTAAppMonitorStat>& stat);
    static void reportAppMonitorStat(const Ref<RPOUTAAppMonitorStat>& stat, const Text& appkey, bool isRealTime);
    static void trackGameUser(const Text& uid, const Text& world, const Text& level);
    static void trackGameUser(const Text& uid, const Text& world, const Text& level, const Text& appkey,
                              bool isRealTime);
    static std::string getUtaUDID();
    // Type 0 also makes the account the Pal number and reports it.
    static void setAccount(const Text& account, std::uint64_t type);
    static void setUserProperty(const std::optional<Dictionary>& kvs);

    // The object that stands for the class: the start notification's object
    // and the observer of the active-time notifications.
    static Ref<NSObject> classObject();

    // --- The shared instance ---
    RPOUTA();
    const Ref<DispatchQueue>& getTaskQueue() const { return taskQueue_; }
    Text keyForKeyChain() const;
    void setKeyForKeyChain(const Text& key);
    Text utaCurrentPage() const;
    void setUtaCurrentPage(const Text& page);
    Text lastPage() const;
    void setLastPage(const Text& page);

    // Application life cycle; each does nothing while statistics are off.
    void onWillApplicationResignActive();
    void onDidApplicationBecomeActive();
    void onWillApplicationEnterForeground();
    void onWillApplicationEnterBackground();

protected:
    void didCreate() override;

private:
    Ref<DispatchQueue> taskQueue_ = DispatchQueue::serial("NimbusAnalysis");
    mutable std::mutex mutex_;  // guards the texts below
    Text keyForKeyChain_;
    Text utaCurrentPage_;
    Text lastPage_;
};
