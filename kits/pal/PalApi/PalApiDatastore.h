#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "foundation/NSObject.h"
#include "foundation/Value.h"

class PalApiMessage;
class PalPluginMetadata;

// The share layer's shared state (in memory only) and its pasteboards:
// - "com.nimbus.mpal.api.registerAppPlugin": one PalPluginMetadata per app;
// - "com.nimbus.mpal.api.aditems": PalApiAdItem records;
// - "com.nimbus.mpal.api.apiMessage": one PalApiMessage;
// - "com.nimbus.mpal.api.apiLargeData": a share's bulky fields (a map), on
//   the general pasteboard under that type when Pal reads it there
//   ("mpalopensdkapiV2://" opens), else on the named board.
class PalApiDatastore : public NSObject {
public:
    static constexpr const char* kRegisterAppPluginBoard = "com.nimbus.mpal.api.registerAppPlugin";
    static constexpr const char* kAdItemsBoard = "com.nimbus.mpal.api.aditems";
    static constexpr const char* kApiMessageBoard = "com.nimbus.mpal.api.apiMessage";
    static constexpr const char* kApiLargeDataBoard = "com.nimbus.mpal.api.apiLargeData";

    static Ref<PalApiDatastore> instance();

    // The host app's registered URL scheme ("callback_name" of every share).
    const std::optional<std::string>& scheme() const { return scheme_; }
    void setScheme(std::optional<std::string> scheme) { scheme_ = std::move(scheme); }
    const std::optional<std::string>& openId() const { return openId_; }
    void setOpenId(std::optional<std::string> id) { openId_ = std::move(id); }
    const std::optional<std::string>& uin() const { return uin_; }
    void setUin(std::optional<std::string> uin) { uin_ = std::move(uin); }
    const std::optional<std::string>& appId() const { return appId_; }
    void setAppId(std::optional<std::string> id) { appId_ = std::move(id); }
    const std::optional<std::string>& appName() const { return appName_; }
    void setAppName(std::optional<std::string> name) { appName_ = std::move(name); }
    const std::optional<std::string>& webviewToken() const { return webviewToken_; }
    void setWebviewToken(std::optional<std::string> token) { webviewToken_ = std::move(token); }

    // A share opened in a Pal app waits for Pal's answer; a new share takes
    // the place of one still out. takeShareAnswer says whether an answer that
    // came has a share to answer, and ends it: an answer with none out (never
    // sent, or answered already) is no answer of this app's.
    void setShareOut() { shareOut_ = true; }
    bool takeShareAnswer() { return std::exchange(shareOut_, false); }

    // Replaces the record of the same bundle identifier, else appends; -1
    // for null or when the board cannot be had.
    int registerWithMetadata(const Ref<PalPluginMetadata>& metadata);
    int setAdItemArray(const Array& items);
    Value getAdItemArray();
    int setApiMessage(const Ref<PalApiMessage>& message);
    Ref<PalApiMessage> getApiMessage();
    void clearApiMessage();
    // Nil clears the record from both places.
    int setApiLargeData(const Value& record);
    Value getApiLargeData();
    Value getApiLargeDataByGeneralPastboard();
    void clearApiLargeData();
    bool isPalSupportApiGeneralPastboard();

private:
    std::optional<std::string> scheme_;
    std::optional<std::string> openId_;
    std::optional<std::string> uin_;
    std::optional<std::string> appId_;
    std::optional<std::string> appName_;
    std::optional<std::string> webviewToken_;
    bool shareOut_ = false;
};
