#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"

#include <functional>

#include "foundation/NSJSONSerialization.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSString.h"
#include "foundation/UTF16.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiCommonContentObject.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiExtendObject.h"
#include "kits/pal/PalApi/PalApiInterface/PalWebViewKit.h"
#include "kits/pal/PalApi/PalApiLimits.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "kits/pal/PalApi/PalApiPalSpaceObjects.h"
#include "kits/pal/PalApi/PalApiSpecialObjects.h"
#include "kits/pal/PalApi/PalCoderFields.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "uikit/UIPasteboard.h"

namespace {

using namespace PalApiLimits;

std::string base64(const std::string& text) { return *PalOpenApiUtility::base64EncodedStringWithUTF8String(text); }
std::optional<std::string> unbase64(const Value& value) {
    return PalOpenApiUtility::UTF8StringWithBase64String(value.stringValue());
}

Ref<PalApiDatastore> store() { return PalApiDatastore::instance(); }

bool tooBig(const std::optional<NSData>& data, std::size_t limit) { return data && data->length() > limit; }
bool missing(const std::optional<NSData>& data) { return !data || data->empty(); }

// A refusal: the log line (with the refusing line's place), and no URL.
#define REFUSE(reason) (PAL_API_LOG("%s", reason), Ref<NSURL>())

void setBase64(Dictionary& items, const char* key, const std::string& text) {
    if (!text.empty()) items.set(key, base64(text));
}

// The title, description and app name go whenever they are there, an empty
// text too (sent as an empty value).
void setTexts(Dictionary& items, const PalApiObject& object, bool withAppName) {
    if (object.hasTitle()) items.set("title", base64(object.title()));
    if (object.hasDescription()) items.set("description", base64(object.description()));
    if (auto appName = store()->appName(); appName && withAppName) items.set("thirdAppDisplayName", base64(*appName));
}

void setCallback(Dictionary& items) {
    if (auto scheme = store()->scheme()) {
        items.set("callback_type", "scheme");
        items.set("callback_name", *scheme);
    }
}

// The fixed items of a "/to_fri" share.
Dictionary shareItems(const char* fileType, const PalApiObject& object, bool onPasteboard) {
    Dictionary items{{"src_type", "app"}, {"version", "1"}, {"file_type", fileType}, {"callback_type", "scheme"}};
    if (auto scheme = store()->scheme()) items.set("callback_name", *scheme);
    if (onPasteboard) items.set("objectlocation", "pasteboard");
    setTexts(items, object, true);
    return items;
}

// A list of pictures for the pasteboard record; none when it is empty.
std::optional<Array> dataList(const std::vector<NSData>& list) {
    if (list.empty()) return std::nullopt;
    return Array(list.begin(), list.end());
}

Ref<NSURL> assemble(const Dictionary& items, std::int32_t destination, const char* palScheme,
                    const char* palWorkScheme, const char* host, const char* path) {
    return PalApiURLEncoder::urlWithScheme(destination == 1 ? palWorkScheme : palScheme, host, path, items);
}

Ref<NSURL> urlWithQueryItem(Dictionary items, std::uint64_t type, std::int32_t destination) {
    if (type == 4) items.set("messagetype", "responsefromapp");
    if (type == 5) items.set("shareType", 0);
    if (type == 7) items.set("shareType", 1);
    if (type == 8) items.set("shareType", 2);
    if (auto openId = store()->openId()) items.set("openId", *openId);
    if (auto uin = store()->uin()) items.set("uin", *uin);
    if (store()->isPalSupportApiGeneralPastboard()) items.set("generalpastboard", "1");
    if (auto current = PalApi::currentShareObject()) items.set("cflag", std::to_string(current->cflag()));
    return assemble(items, destination, "mpalapi", "timapi", "share", "/to_fri");
}

Ref<NSURL> urlWithTextObject(const PalApiTextObject& text, std::uint64_t type) {
    if (text.text().empty()) return REFUSE("param error: text is nil");
    if (UTF16::length(text.text()) > kMaxText) return REFUSE("param error: text is too long");
    Dictionary items = shareItems("text", text, false);
    items.set("file_data", base64(text.text()));
    return urlWithQueryItem(std::move(items), type, text.shareDestType());
}

// Extend, image and file objects: checks, then the record on the pasteboard.
Ref<NSURL> urlWithExtendKind(const PalApiExtendObject& object, std::uint64_t type, const char* fileType,
                             const char* nilReason, const char* bigReason, Dictionary extra = {}) {
    if (missing(object.data())) return REFUSE(nilReason);
    if (tooBig(object.data(), kMaxContent)) return REFUSE(bigReason);
    if (tooBig(object.previewImageData(), kMaxPreview)) return REFUSE("param error: preview image data is too big");
    Dictionary items = shareItems(fileType, object, true);
    for (const auto& [key, value] : extra) items.set(key, value);
    PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(object.previewImageData(), object.data(),
                                                             dataList(object.imageDataArray()));
    return urlWithQueryItem(std::move(items), type, object.shareDestType());
}

Ref<NSURL> urlWithGroupTribeImageObject(const PalApiGroupTribeImageObject& image, std::uint64_t type) {
    if (tooBig(image.data(), kMaxContent)) return REFUSE("param error: image data is too big");
    if (tooBig(image.previewImageData(), kMaxPreview)) return REFUSE("param error: preview image data is too big");
    if (NSString::intValue(image.bid()) < 1) return nullptr;
    Dictionary items = shareItems("img", image, true);
    setBase64(items, "groupTribe_bid", image.bid());
    setBase64(items, "groupTribe_name", image.bname());
    PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(image.previewImageData(), image.data(),
                                                             dataList(image.imageDataArray()));
    return urlWithQueryItem(std::move(items), type, image.shareDestType());
}

void setExtMap(Dictionary& items, const Value& extMap) {
    if (extMap.isNil()) return;
    if (auto json = NSJSONSerialization::dataWithJSONObject(extMap)) items.set("extMap", base64(json->toString()));
}

Ref<NSURL> urlWithImageArrayForPalSpaceObject(PalApiImageArrayForPalSpaceObject& images, std::uint64_t type) {
    if (images.imageDataArray().size() > kMaxPalSpaceImages) {
        auto firstTwenty = images.imageDataArray();
        firstTwenty.resize(kMaxPalSpaceImages);
        images.setImageDataArray(std::move(firstTwenty));
    }
    Dictionary items = shareItems("palspace", images, true);
    setExtMap(items, images.extMap());
    PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(std::nullopt, std::nullopt,
                                                             dataList(images.imageDataArray()));
    return urlWithQueryItem(std::move(items), type, images.shareDestType());
}

Ref<NSURL> urlWithVideoForPalSpaceObject(const PalApiVideoForPalSpaceObject& video, std::uint64_t type) {
    if (video.assetURL().empty()) return nullptr;
    // No record goes on the pasteboard for a video, so the URL does not
    // send Pal there (it would read an earlier share's record).
    Dictionary items = shareItems("palspace", video, false);
    items.set("video_assetURL", base64(video.assetURL()));
    setExtMap(items, video.extMap());
    return urlWithQueryItem(std::move(items), type, video.shareDestType());
}

Ref<NSURL> urlWithWebImageObject(const PalApiWebImageObject& image, std::uint64_t type) {
    auto address = PalApiMessageAndUrlConverter::smartURLString(image.previewImageURL());
    if (!address || address->empty()) return REFUSE("param error: preview image url is nil");
    // The picture travels by its address: no record, no pasteboard location.
    Dictionary items = shareItems("img", image, false);
    items.set("previewimageUrl", base64(*address));
    return urlWithQueryItem(std::move(items), type, image.shareDestType());
}

const char* urlFileType(std::int32_t contentType) {
    switch (contentType) {
        case 0: return "url";
        case 1: return "audio";
        case 2: return "video";
        case 3: return "news";
        default: return "unknown";
    }
}

Ref<NSURL> urlWithURLObject(const PalApiURLObject& link, std::uint64_t type) {
    if (const char* refusal = linkRefusal(link)) return REFUSE(refusal);
    Dictionary items = shareItems(urlFileType(link.targetContentType()), link, true);
    items.set("url", base64(link.url()->absoluteString()));
    if (auto preview = PalApiMessageAndUrlConverter::smartURLString(link.previewImageURL()))
        items.set("previewimageUrl", base64(*preview));
    if (auto playable = dynamic_cast<const PalApiPlayable*>(&link))
        if (auto flash = PalApiMessageAndUrlConverter::smartURLString(playable->flashURL()))
            items.set("flashurl", base64(*flash));
    PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(link.previewImageData(), std::nullopt, std::nullopt);
    return urlWithQueryItem(std::move(items), type, link.shareDestType());
}

Ref<NSURL> urlWithCommonContentObject(const PalApiCommonContentObject& content, std::uint64_t type) {
    if (missing(content.previewImageData()) || (content.textArray().empty() && content.pictureDataArray().empty()))
        return REFUSE("param error: image data is nil");
    if (tooBig(content.previewImageData(), kMaxPreview)) return REFUSE("param error: preview image data is too big");
    if (UTF16::length(content.title()) > kMaxTitle || content.textArray().size() > 1 ||
        content.pictureDataArray().size() > 1)
        return nullptr;
    for (const auto& text : content.textArray())
        if (UTF16::length(text) > kMaxText) return nullptr;
    for (const auto& picture : content.pictureDataArray())
        if (picture.length() > kMaxContent) return nullptr;
    auto archive = NSKeyedArchiver::archivedDataWithRootObject(content.toDictionary());
    Dictionary items = shareItems("common", content, true);
    PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(std::nullopt, archive, std::nullopt);
    return urlWithQueryItem(std::move(items), type, content.shareDestType());
}

Ref<NSURL> urlWithPayObject(const PalApiPayObject& pay, std::uint64_t type) {
    if (pay.OrderNo().empty()) return REFUSE("param error: PayID is nil");
    if (pay.AppInfo().empty()) return REFUSE("param error: PayAppInfo is nil");
    Dictionary items{{"src_type", "app"}, {"version", "1"}, {"callback_type", "scheme"},
                     {"order_no", pay.OrderNo()}, {"app_info", pay.AppInfo()}};
    if (auto scheme = store()->scheme()) items.set("callback_name", *scheme);
    setTexts(items, pay, true);
    if (type == 4) items.set("messagetype", "responsefromapp");
    return assemble(items, pay.shareDestType(), "mpalapiwallet", "timapiwallet", "wallet", "/pay");
}

Ref<NSURL> urlWithChat(const PalApiObject& object, const char* chatType, const std::string& uin) {
    Dictionary items{{"chat_type", chatType}, {"src_type", "app"}, {"version", "1"}, {"uin", uin}};
    setCallback(items);
    setTexts(items, object, false);
    auto displayName = TcApiTool::getAppDisplayName();
    items.set("thirdAppDisplayName", base64(displayName && !displayName->empty() ? *displayName : "返回"));
    return assemble(items, object.shareDestType(), "mpalwpa", "timwpa", "im", "/chat");
}

Ref<NSURL> urlWithApiGameConsortiumBindingGroupObject(const PalApiGameConsortiumBindingGroupObject& binding) {
    Dictionary items;
    if (auto openId = store()->openId()) items.set("openId", *openId);
    if (auto appId = store()->appId()) items.set("appid", *appId);
    if (!binding.signature().empty()) items.set("signature", binding.signature());
    if (!binding.unionid().empty()) items.set("unionid", binding.unionid());
    if (!binding.zoneID().empty()) items.set("zoneid", binding.zoneID());
    std::string displayName = binding.appDisplayName();
    if (displayName.empty()) displayName = TcApiTool::getAppDisplayName().value_or("");
    setBase64(items, "displayName", displayName);
    if (store()->scheme()) {
        setCallback(items);
        items.set("src_type", "app");
        items.set("version", "1");
    }
    setTexts(items, binding, false);
    return assemble(items, binding.shareDestType(), "mpalgamebindinggroup", "timgamebindinggroup", "game",
                    "/bindinggroup");
}

Ref<NSURL> urlWithApiJoinGroupObject(const PalApiJoinGroupObject& join) {
    Dictionary items;
    if (!join.groupUin().empty()) items.set("uin", join.groupUin());
    if (!join.groupKey().empty()) items.set("key", join.groupKey());
    if (store()->scheme()) {
        items.set("source", "external");
        items.set("card_type", "group");
        items.set("src_type", "app");
        items.set("version", "1");
        setCallback(items);
    }
    setTexts(items, join, false);
    return assemble(items, join.shareDestType(), "mpalapi", "timapi", "card", "/show_pslcard");
}

Ref<NSURL> urlWithAddFriendObject(const PalApiAddFriendObject& friendObject) {
    if (friendObject.openID().empty()) return REFUSE("urlWithAddFriendObject param error: openID is nil");
    Dictionary items{{"addfriend_to_openid", friendObject.openID()}};
    if (!friendObject.subID().empty()) items.set("addfriend_sourceid", friendObject.subID());
    setBase64(items, "addfriend_remark", friendObject.remark());
    if (auto openId = store()->openId()) items.set("openId", *openId);
    if (store()->scheme()) {
        setCallback(items);
        items.set("src_type", "app");
        items.set("version", "1");
    }
    setBase64(items, "addfriend_displayname", TcApiTool::getAppDisplayName().value_or(""));
    setTexts(items, friendObject, false);
    return assemble(items, friendObject.shareDestType(), "mpalopensdkfriend", "timopensdkfriend", "friend",
                    "/addfriend");
}

Ref<NSURL> dispatch(const Ref<PalApiObject>& object, std::uint64_t type) {
    if (auto* text = exactly<PalApiTextObject>(object)) return urlWithTextObject(*text, type);
    if (auto* extend = exactly<PalApiExtendObject>(object))
        return urlWithExtendKind(*extend, type, "file", "param error: data is nil", "param error: data is too big");
    if (auto* image = exactly<PalApiImageObject>(object))
        return urlWithExtendKind(*image, type, "img", "param error: image data is nil",
                                 "param error: image data is too big");
    if (auto* images = exactly<PalApiImageArrayForPalSpaceObject>(object))
        return urlWithImageArrayForPalSpaceObject(*images, type);
    if (auto* video = exactly<PalApiVideoForPalSpaceObject>(object)) return urlWithVideoForPalSpaceObject(*video, type);
    if (auto* image = exactly<PalApiWebImageObject>(object)) return urlWithWebImageObject(*image, type);
    if (auto link = cast<PalApiURLObject>(object)) return urlWithURLObject(*link, type);
    if (auto* content = exactly<PalApiCommonContentObject>(object)) return urlWithCommonContentObject(*content, type);
    if (auto* pay = exactly<PalApiPayObject>(object)) return urlWithPayObject(*pay, type);
    if (auto* wpa = exactly<PalApiWPAObject>(object)) {
        if (wpa->uin().empty()) return REFUSE("param error: uin is nil");
        return urlWithChat(*wpa, "wpa", wpa->uin());
    }
    if (auto* group = exactly<PalApiGroupChatObject>(object)) {
        if (group->groupID().empty()) return REFUSE("param error: groupID is nil");
        return urlWithChat(*group, "group", group->groupID());
    }
    if (auto* file = exactly<PalApiFileObject>(object))
        return urlWithExtendKind(*file, type, "localFile", "param error: image data is nil",
                                 "param error: image data is too big", Dictionary{{"fileName", file->fileName()}});
    if (auto* friendObject = exactly<PalApiAddFriendObject>(object)) return urlWithAddFriendObject(*friendObject);
    if (auto* binding = exactly<PalApiGameConsortiumBindingGroupObject>(object))
        return urlWithApiGameConsortiumBindingGroupObject(*binding);
    if (auto* join = exactly<PalApiJoinGroupObject>(object)) return urlWithApiJoinGroupObject(*join);
    if (auto* tribe = exactly<PalApiGroupTribeImageObject>(object)) return urlWithGroupTribeImageObject(*tribe, type);
    return nullptr;
}

std::optional<NSData> recordData(const Dictionary* record, const char* key) {
    if (!record) return std::nullopt;
    if (const NSData* data = (*record)[key].data()) return *data;
    return std::nullopt;
}

}  // namespace

Ref<NSURL> PalApiURLEncoder::urlWithScheme(const std::optional<std::string>& scheme, const std::string& host,
                                           const std::string& path, const Dictionary& queryItem) {
    if (!scheme) return nullptr;
    std::string text = *scheme + "://" + host + path;
    if (queryItem.empty()) return NSURL::URLWithString(text);
    std::string query;
    for (const auto& [name, value] : queryItem)
        query += (query.empty() ? "" : "&") + name + "=" + value.stringValue().value_or("");
    auto escaped = NSString::stringByAddingPercentEscapesUsingEncoding(text + "?" + query, NSUTF8StringEncoding);
    return escaped ? NSURL::URLWithString(*escaped) : nullptr;
}

Ref<PalApiURLDecoder> PalApiURLDecoder::decoderWithUrl(const Ref<NSURL>& url) {
    if (!url) return nullptr;
    auto decoder = make<PalApiURLDecoder>();
    decoder->scheme_ = url->scheme();
    decoder->host_ = url->host();
    decoder->path_ = url->path();
    decoder->queryItem_ = queryItemsOf(url->query().value_or(""));
    return decoder;
}

Dictionary PalApiURLDecoder::queryItemsOf(const std::string& query) {
    Dictionary items;
    for (std::size_t start = 0; !query.empty() && start <= query.size();) {
        std::size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string piece = query.substr(start, end - start);
        if (const std::size_t equals = piece.find('='); equals != std::string::npos)
            items.set(piece.substr(0, equals), piece.substr(equals + 1));
        start = end + 1;
    }
    return items;
}

Ref<NSURL> PalApiMessageAndUrlConverter::urlWithMessage(const Ref<PalApiMessage>& message) {
    if (!message) return nullptr;
    const Ref<PalApiObject>& object = message->object();
    if (!object) return REFUSE("param error: object is nil");
    if (auto refusal = titleAndDescriptionRefusal(message->type(), object->title(), object->description()))
        return refusal->empty() ? nullptr : REFUSE(refusal->c_str());
    return dispatch(object, message->type());
}

void PalApiMessageAndUrlConverter::setPasteBoardPrevImageData(const std::optional<NSData>& preview,
                                                             const std::optional<NSData>& file,
                                                             const std::optional<Array>& images) {
    Dictionary record;
    if (auto text = UIPasteboard::generalPasteboard()->string()) record.set("pasted_string", *text);
    if (preview) record.set("previewimagedata", *preview);
    if (file) record.set("file_data", *file);
    if (images) record.set("image_data_list", *images);
    store()->setApiLargeData(record);
}

std::optional<std::string> PalApiMessageAndUrlConverter::smartURLString(const Ref<NSURL>& url) {
    if (!url) return std::nullopt;
    return url->absoluteString();
}

Ref<PalApiMessage> PalApiMessageAndUrlConverter::messageWithUrl(const Ref<NSURL>& url) {
    if (PalWebViewKit::canHanleOpenUrlFromSafari(url)) return PalWebViewKit::messageWithSafariUrl(url);
    auto decoder = PalApiURLDecoder::decoderWithUrl(url);
    if (!decoder || !decoder->host() || decoder->host()->empty() || decoder->queryItem().empty()) return nullptr;
    if (*decoder->host() == "request_from_pal") return messageWithRequestFromPal(decoder);
    if (*decoder->host() == "response_from_pal") return messageWithResponseFromPal(decoder);
    return nullptr;
}

Ref<PalApiMessage> PalApiMessageAndUrlConverter::messageWithUrlUsedClipboard(const Ref<NSURL>& url) {
    if (PalWebViewKit::canHanleOpenUrlFromSafari(url)) return PalWebViewKit::messageWithSafariUrl(url);
    auto decoder = PalApiURLDecoder::decoderWithUrl(url);
    if (!decoder || decoder->queryItem()["NeedToGetData"] != Value("true")) return nullptr;
    return store()->getApiMessage();
}

Ref<PalApiMessage> PalApiMessageAndUrlConverter::messageWithRequestFromPal(const Ref<PalApiURLDecoder>& decoder) {
    if (decoder->path() == "/pick") return PalApiMessage::messageWithObject(nullptr, PalApiMessage::kGetRequestFromPal);
    if (decoder->path() == "/view")
        return PalApiMessage::messageWithObject(getObjectByUrl(decoder), PalApiMessage::kShowRequestFromPal);
    return nullptr;
}

Ref<PalApiMessage> PalApiMessageAndUrlConverter::messageWithResponseFromPal(const Ref<PalApiURLDecoder>& decoder) {
    const Dictionary& items = decoder->queryItem();
    auto result = make<PalApiResultObject>();
    result->setError(items["error"].stringValue().value_or(""));
    if (auto text = unbase64(items["error_description"])) result->setErrorDescription(*text);
    if (auto text = unbase64(items["error_extend_info"])) result->setExtendInfo(*text);
    return PalApiMessage::messageWithObject(result, PalApiMessage::kShareAnswerFromPal);
}

Ref<PalApiObject> PalApiMessageAndUrlConverter::getObjectByUrl(const Ref<PalApiURLDecoder>& decoder) {
    const Dictionary& items = decoder->queryItem();
    auto fileType = items["file_type"].stringValue();
    if (!fileType) return nullptr;
    const PalApiText title = unbase64(items["title"]);
    const PalApiText description = unbase64(items["description"]);
    auto address = unbase64(items["url"]);
    Ref<NSURL> url = address ? NSURL::URLWithString(*address) : nullptr;
    // The record lies where the URL says: on the general pasteboard when Pal
    // reads and writes it there, else on the named board.
    const Value stored = items["generalpastboard"] == Value("1") ? store()->getApiLargeDataByGeneralPastboard()
                                                                 : store()->getApiLargeData();
    const Dictionary* record = stored.dictionary();

    if (*fileType == "text") {
        auto text = PalApiTextObject::objectWithText(unbase64(items["file_data"]).value_or(""));
        text->setTitle(title);
        text->setDescription(description);
        return text;
    }
    if (*fileType == "img" || *fileType == "image")
        return PalApiExtendObject::objectWithData<PalApiImageObject>(recordData(record, "file_data"),
                                                                     recordData(record, "previewimagedata"), title,
                                                                     description);
    if (*fileType == "palspace") {
        Value extMap;
        if (auto json = unbase64(items["extMap"])) extMap = NSJSONSerialization::JSONObjectWithData(NSData::fromString(*json));
        if (auto asset = unbase64(items["video_assetURL"]))
            return PalApiVideoForPalSpaceObject::objectWithAssetURL(*asset, title, extMap);
        auto images = record ? PalCoderFields::dataItems((*record)["image_data_list"]) : std::vector<NSData>();
        return PalApiImageArrayForPalSpaceObject::objectWithimageDataArray(std::move(images), title, extMap);
    }
    const auto preview = recordData(record, "previewimagedata");
    if (*fileType == "audio") return PalApiAudioObject::objectWithURL(url, title, description, preview);
    if (*fileType == "video") return PalApiVideoObject::objectWithURL(url, title, description, preview);
    if (*fileType == "news") return PalApiNewsObject::objectWithURL(url, title, description, preview);
    if (*fileType == "url") return PalApiURLObject::objectWithURL(url, title, description, preview, 0);
    if (*fileType == "file")
        return PalApiExtendObject::objectWithData(recordData(record, "file_data"), preview, title, description);
    if (*fileType == "common") {
        // The record carries the content's dictionary form as an archive.
        auto archive = recordData(record, "file_data");
        if (!archive) return nullptr;
        Value dictionary = NSKeyedUnarchiver::unarchiveObjectWithData(*archive);
        return dictionary.dictionary() ? PalApiCommonContentObject::objectWithDictionary(*dictionary.dictionary())
                                       : nullptr;
    }
    return nullptr;
}
