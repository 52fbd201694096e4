#include "kits/ripple/AppCommunicate.h"

#include "kits/ripple/RippleApiUtil.h"

namespace {

Ref<UIPasteboard> persistentPasteboard(const std::string& name) {
    auto board = UIPasteboard::pasteboardWithName(name, true);
    if (board) board->setPersistent(true);
    return board;
}

std::optional<Dictionary> envelopeOn(const Ref<UIPasteboard>& board) {
    if (!board) return std::nullopt;
    auto plist = RippleApiUtil::propertyListFromData(board->dataForPasteboardType(AppCommunicate::kContentType));
    if (!plist || !plist->isDictionary()) return std::nullopt;
    return *plist->dictionary();
}

std::optional<Dictionary> entryFor(const std::optional<Dictionary>& envelope, const AppCommunicate::AppID& appId) {
    if (!envelope || !appId) return std::nullopt;
    const Dictionary* message = (*envelope)[*appId].dictionary();
    return message ? std::optional<Dictionary>(*message) : std::nullopt;
}

}  // namespace

Ref<UIPasteboard> AppCommunicate::getDataPasteboard() { return persistentPasteboard(getDataPasteboardName()); }

Ref<UIPasteboard> AppCommunicate::getFilePasteboard() { return persistentPasteboard(getFilePasteboardName()); }

Ref<UIPasteboard> AppCommunicate::getDataPasteboardForiOS7Plus() { return UIPasteboard::generalPasteboard(); }

std::optional<Dictionary> AppCommunicate::takeEnvelopeFor(const Ref<UIPasteboard>& board, const AppID& appId) {
    auto envelope = envelopeOn(board);
    if (!entryFor(envelope, appId)) return std::nullopt;
    board->setData(NSData(), kContentType);
    return envelope;
}

std::optional<Dictionary> AppCommunicate::propertyListForAllApp() {
    auto board = getDataPasteboard();
    auto envelope = envelopeOn(board);
    if (envelope) board->setData(NSData(), kContentType);
    return envelope;
}

std::optional<Dictionary> AppCommunicate::propertyListForAppID(const AppID& appId) {
    // The envelope of "ripple_data" gathers the messages of several apps:
    // only this app's entry is taken off.
    auto board = getDataPasteboard();
    auto envelope = envelopeOn(board);
    auto message = entryFor(envelope, appId);
    if (!message) return std::nullopt;
    envelope->remove(*appId);
    auto rest = envelope->empty() ? std::nullopt : RippleApiUtil::dataFromPropertyList(*envelope);
    board->setData(rest.value_or(NSData()), kContentType);
    return message;
}

std::optional<Dictionary> AppCommunicate::propertyListForAppIDForiOS7Plus(const AppID& appId) {
    auto board = getDataPasteboardForiOS7Plus();
    auto envelope = takeEnvelopeFor(board, appId);
    if (!envelope) return std::nullopt;
    if (const std::string* oldText = (*envelope)[kOldTextKey].text(); oldText && !oldText->empty())
        board->setString(*oldText);
    return entryFor(envelope, appId);
}

bool AppCommunicate::setPropertyList(const Dictionary& message, const AppID& appId) {
    if (!appId) return false;
    Dictionary envelope = propertyListForAllApp().value_or(Dictionary{});
    envelope.set(*appId, message);
    auto data = RippleApiUtil::dataFromPropertyList(envelope);
    if (!data) return false;
    getDataPasteboard()->setData(*data, kContentType);
    return true;
}

bool AppCommunicate::setPropertyListForiOS7Plus(const Dictionary& message, const AppID& appId) {
    if (!appId) return false;
    auto board = getDataPasteboardForiOS7Plus();
    Dictionary envelope{{*appId, message}};
    if (auto text = board->string(); text && !text->empty()) envelope.set(kOldTextKey, *text);
    auto data = RippleApiUtil::dataFromPropertyList(envelope);
    if (!data) return false;
    board->setData(*data, kContentType);
    return true;
}

bool AppCommunicate::setFileData(const std::optional<NSData>& data, const AppID& appId) {
    if (!appId) return false;
    getFilePasteboard()->setData(data && !data->empty() ? *data : NSData(), kContentType);
    return true;
}

std::optional<NSData> AppCommunicate::fileDataForAppID(const AppID&) {
    auto board = getFilePasteboard();
    auto data = board->dataForPasteboardType(kContentType);
    board->setData(NSData(), kContentType);
    return data;
}

bool AppCommunicate::setAppCommunicateData(const Ref<AppCommunicateData>& data, const AppID& appId) {
    if (!data || !appId) return false;
    if (RippleApiUtil::isiOS7plus()) return setAppCommunicateDataForiOS7Plus(data, appId);
    if (!data->propertList() || !setPropertyList(*data->propertList(), appId)) return false;
    if (data->fileData()) return setFileData(data->fileData(), appId);
    setFileData(std::nullopt, appId);
    return true;
}

bool AppCommunicate::setAppCommunicateDataForiOS7Plus(const Ref<AppCommunicateData>& data, const AppID& appId) {
    if (!data || !data->propertList()) return false;
    return setPropertyListForiOS7Plus(*data->propertList(), appId);
}

Ref<AppCommunicateData> AppCommunicate::appCommunicateDataForAppID(const AppID& appId) {
    if (!appId) return nullptr;
    if (RippleApiUtil::isiOS7plus()) return appCommunicateDataForAppIDForiOS7Plus(appId);
    auto message = propertyListForAppID(appId);
    if (!message) return nullptr;
    auto data = AppCommunicateData::initWithPropertList(*message);
    data->setFileData(fileDataForAppID(appId));
    return data;
}

Ref<AppCommunicateData> AppCommunicate::appCommunicateDataForAppIDForiOS7Plus(const AppID& appId) {
    auto message = propertyListForAppIDForiOS7Plus(appId);
    if (!message) return nullptr;
    auto data = AppCommunicateData::initWithPropertList(*message);
    if (const NSData* bulk = (*message)["fileData"].data()) data->setFileData(*bulk);
    return data;
}
