#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSURL.h"
#include "foundation/Value.h"

// The legacy layer's transport. A message travels as a URL
// "<scheme>://kTecentReqContent/<kNimbusReqContent|kNimbusRespContent>?
// kPastboardName=..&kPastboardType=.." and a keyed archive (root under
// "object") on the general pasteboard, under the type that is the MD5 of
// the sender's bundle identifier.
class NimbusMessagePack {
public:
    NimbusMessagePack() = delete;

    static constexpr const char* kHost = "kTecentReqContent";
    static constexpr const char* kReqPath = "kNimbusReqContent";
    static constexpr const char* kRespPath = "kNimbusRespContent";
    static constexpr const char* kPalSpaceApiScheme = "nimbusapi.palspace.reqContent";
    static constexpr std::size_t kMaxArchive = 10485760;

    // The MD5 of the app's bundle identifier ("kNimbusApiPastBoard" without
    // one, which is logged for the request or the response side).
    static std::string pasteboardType(bool requestSide);
    // Writes the data; requests are never sent from the app, so no URL.
    static Ref<NSURL> packNimbusReqMessage(const NSData& data, const std::string& appId);
    // Writes the data; the URL to PalSpace (platform 1), null for others.
    static Ref<NSURL> packNimbusRespMessage(const NSData& data, std::int64_t platform);
    // The archive of a request or response; nothing for another object.
    static std::optional<NSData> dataWithNimbusReqMessage(const Ref<NSObject>& message);
    // The plain base messages of the list must be valid.
    static bool messageVaild(const Ref<NSObject>& message);
    // The classes the archives name, registered once with the unarchiver.
    static void registerArchivedClasses();
};

// A URL split the legacy way: path without its first character, query
// pieces split at their first "=" (kept escaped; pieces without one skipped;
// a later name wins).
class NimbusUrlDecoder : public NSObject {
public:
    static Ref<NimbusUrlDecoder> decoderWithUrl(const Ref<NSURL>& url);

    const std::optional<std::string>& scheme() const { return scheme_; }
    const std::optional<std::string>& host() const { return host_; }
    const std::optional<std::string>& path() const { return path_; }
    const Dictionary& queryItem() const { return queryItem_; }

private:
    std::optional<std::string> scheme_;
    std::optional<std::string> host_;
    std::optional<std::string> path_;
    Dictionary queryItem_;
};

class NimbusApiUtil {
public:
    NimbusApiUtil() = delete;
    // The schemes of the bundle's URL type with that name; nothing when none.
    static std::optional<std::vector<std::string>> scheme(const std::string& urlName);
};

// Reads a legacy URL's archive off the general pasteboard (and clears it).
// Classes the archive names that do not exist here are decoded as the
// first one of their chain that does.
class NimbusMessageParse : public NSObject, public NSKeyedUnarchiverDelegate {
public:
    static constexpr const char* kUrlName = "nimbusApiIdentifier";

    // Whether the URL is on one of the app's legacy schemes, to this layer.
    static bool isNimbusMessageURL(const Ref<NimbusUrlDecoder>& decoder);
    static Value parseNimbusMessage(const Ref<NSURL>& url);
    static Value getReqFromUrl(const Ref<NimbusUrlDecoder>& decoder);
    static Value getRespFromUrl(const Ref<NimbusUrlDecoder>& decoder);

    std::optional<std::string> unarchiverCannotDecodeObjectOfClassName(
        NSKeyedUnarchiver& unarchiver, const std::string& name, const std::vector<std::string>& classNames) override;

private:
    static Value readArchive(const Ref<NimbusUrlDecoder>& decoder, const char* failureLine);
};
