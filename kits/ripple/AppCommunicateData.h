#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"
#include "kits/ripple/RPMediaInternalMessage.h"
#include "kits/ripple/RPMediaMessage.h"
#include "kits/ripple/RPProperty.h"

class SendAuthReq;
class SendAuthResp;

// One message between the host app and the Ripple app: a flat dictionary of
// texts (and a few data and number values) with a command code, built from a
// request or a response on the sending side and read back into one on the
// receiving side. The pasteboard transport (AppCommunicate) carries it.
//
// Writers check every value against its limit (texts in UTF-16 units, data
// in bytes, limits inclusive) and write the error line of the first one
// exceeded; keys already written then stay in a dictionary the caller drops.
class AppCommunicateData : public NSObject {
public:
    // The kit version every outgoing message carries under "sdkver".
    static constexpr const char* kSDKVersion = "1.8.4";
    // The user-defaults key of the Ripple app's version from the last message
    // that carried one.
    static constexpr const char* kRippleVersionDefaultsKey = "RPRippleVersionNSUserDefaultsKey";

    enum Command : std::uint64_t {
        kMediaMessage = 1010,
        kTextMessage = 1020,
        kAuthRequest = 1030,
        kShowMessageReply = 1070,
        kGetMessage = 2000,
        kSendResultWithLanguage = 2010,
        kSendResult = 2020,
        kAuthResult = 2030,
        kLaunchFromRipple = 2040,
        kCreateChatRoomResult = 2050,
        kJoinChatRoomResult = 2060,
        kLaunchMiniProgramResult = 2070,
        kOpenBusinessViewResult = 2080,
    };

    // An incoming message. Without "command" the object keeps no dictionary
    // and command 0. A non-zero "rippleVersion" is kept in the user defaults.
    static Ref<AppCommunicateData> initWithPropertList(const Dictionary& message);

    std::uint64_t command() const { return command_; }
    // The message; nothing before initCommonField.
    const std::optional<Dictionary>& propertList() const { return dictionary_; }

    // Starts a new message with the common keys ("command", "returnFromApp",
    // "result", "account" when set, "sdkver"): set conversationAccount,
    // returnFromApp and result first.
    void initCommonField(std::uint64_t command);
    bool MakeCommand(std::uint64_t command);

    // The make operations add a value's keys to the message after their
    // checks; false when a check fails or the value is missing.
    bool MakeAuthRequest(const Ref<SendAuthReq>& request);
    bool MakeAuthResp(const Ref<SendAuthResp>& response);
    bool MakeTextMessage(const RPText& text);
    bool MakeMediaMessage(const Ref<RPMediaMessage>& message);
    bool MakeLinkObject(const Ref<NSObject>& object);
    bool MakeMediaInternalMessage(const Ref<RPMediaInternalMessage>& message);

    // Picks the command by the request's or response's class and fills the
    // message; false (with "gen req fail : param error" or "gen resp fail")
    // for a kind the format does not carry or a value that fails its checks.
    bool ReqToData(const Ref<BaseReq>& request, const Ref<RPMediaInternalMessage>& internalMessage = nullptr);
    bool RespToData(const Ref<BaseResp>& response);

    // The request, response or media message an incoming message holds, or
    // null for a command (or media type) that does not make one.
    Ref<BaseReq> DataToReq() const;
    Ref<BaseResp> DataToResp() const;
    Ref<RPMediaMessage> mediaMessage() const;

    // Readers for one command each (null for another command or a failed check).
    Ref<RPAuthInternal> authRequest() const;
    Ref<SendAuthResp> authResp() const;
    RPText textMessage() const;
    Ref<RPMediaInternalMessage> mediaInternalMessage() const;

    // The bulk bytes of a media object when they travel outside the message
    // (before iOS 7, on the file pasteboard).
    RP_PROPERTY(RPBytes, fileData, setFileData)
    RP_PROPERTY(bool, returnFromApp, setReturnFromApp)
    RP_PROPERTY_INIT(std::int32_t, result, setResult, 1)
    RP_PROPERTY(std::int32_t, scene, setScene)
    RP_PROPERTY(RPText, conversationAccount, setConversationAccount)
    RP_PROPERTY(RPText, openID, setOpenID)
    RP_PROPERTY(RPText, sdkVer, setSdkVer)
    RP_PROPERTY(RPText, lang, setLang)
    RP_PROPERTY(RPText, country, setCountry)
    RP_PROPERTY(RPText, toUserOpenID, setToUserOpenID)

private:
    // Sets `key` when `value` is there.
    void put(std::string_view key, const RPText& text);
    void put(std::string_view key, const RPBytes& data);
    void putValue(std::string_view key, Value value);
    // The message's text or data under `key`, if it is one.
    RPText textFor(std::string_view key) const;
    RPBytes dataFor(std::string_view key) const;
    // Writes the bulk data of a media object where this system version wants it.
    void putBulkData(const RPBytes& data);

    std::uint64_t command_ = 0;
    std::optional<Dictionary> dictionary_;
};
