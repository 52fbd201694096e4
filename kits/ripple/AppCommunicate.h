#pragma once

#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "foundation/Value.h"
#include "kits/ripple/AppCommunicateData.h"
#include "uikit/UIPasteboard.h"

// Carries messages between the host app and the Ripple app on the
// pasteboard. A message travels inside an envelope, a binary property list
// under the type "content": a dictionary from the receiving side's app id to
// the message. On iOS 7 and later the envelope sits on the general
// pasteboard and keeps the user's own text under "old_text", which is put
// back when the envelope is read; before, it sits on the named pasteboard
// "ripple_data", with the bulk bytes on "ripple_file".
//
// Reading takes the message off the pasteboard (empty data replaces it), so
// a message is delivered at most once. An envelope that holds nothing for the
// reader's app id is someone else's: it is left where it is, untouched.
class AppCommunicate {
public:
    AppCommunicate() = delete;

    using AppID = std::optional<std::string>;

    static constexpr const char* kContentType = "content";
    static constexpr const char* kOldTextKey = "old_text";

    static std::string getDataPasteboardName() { return "ripple_data"; }
    static std::string getFilePasteboardName() { return "ripple_file"; }
    // The named pasteboards, created when missing and made persistent.
    static Ref<UIPasteboard> getDataPasteboard();
    static Ref<UIPasteboard> getFilePasteboard();
    static Ref<UIPasteboard> getDataPasteboardForiOS7Plus();

    // The whole envelope of "ripple_data", taken off it.
    static std::optional<Dictionary> propertyListForAllApp();
    // The message for `appId` in the envelope (taken off), or nothing.
    static std::optional<Dictionary> propertyListForAppID(const AppID& appId);
    static std::optional<Dictionary> propertyListForAppIDForiOS7Plus(const AppID& appId);
    // Puts `message` for `appId` into a new envelope; whether it was written.
    static bool setPropertyList(const Dictionary& message, const AppID& appId);
    static bool setPropertyListForiOS7Plus(const Dictionary& message, const AppID& appId);
    // The bulk bytes on "ripple_file" (empty data for none).
    static bool setFileData(const std::optional<NSData>& data, const AppID& appId);
    // Those bytes, taken off.
    static std::optional<NSData> fileDataForAppID(const AppID& appId);

    // The message on the pasteboard for `appId`; whether it was written.
    static bool setAppCommunicateData(const Ref<AppCommunicateData>& data, const AppID& appId);
    static bool setAppCommunicateDataForiOS7Plus(const Ref<AppCommunicateData>& data, const AppID& appId);
    // The message for `appId`, taken off the pasteboard, or null.
    static Ref<AppCommunicateData> appCommunicateDataForAppID(const AppID& appId);
    static Ref<AppCommunicateData> appCommunicateDataForAppIDForiOS7Plus(const AppID& appId);

private:
    // The envelope on `board` when it holds a message for `appId`: then it
    // is taken off, else left as it is.
    static std::optional<Dictionary> takeEnvelopeFor(const Ref<UIPasteboard>& board, const AppID& appId);
};
