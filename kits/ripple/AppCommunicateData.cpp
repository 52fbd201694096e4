#include "kits/ripple/AppCommunicateData.h"

#include <functional>

#include "foundation/NSString.h"
#include "foundation/NSUserDefaults.h"
#include "graphics/UIImage.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPLogUtil.h"
#include "kits/ripple/RPMediaObjects.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RippleApiUtil.h"

namespace {

// Limits of the message format, inclusive.
constexpr std::size_t kTitleLimit = 512;
constexpr std::size_t kDescriptionLimit = 1024;
constexpr std::size_t kThumbDataLimit = 65536;
constexpr std::size_t kTagNameLimit = 64;
constexpr std::size_t kExtLimit = 2048;
constexpr std::size_t kUrlLimit = 10240;
constexpr std::size_t kFileExtLimit = 64;
constexpr std::size_t kGameFileLimit = 31457280;
constexpr std::size_t kImageFileLimit = 26214400;
constexpr std::size_t kFileLimit = 10485760;
constexpr std::size_t kHdThumbLimit = 131072;
constexpr std::size_t kAuthFieldLimit = 1024;
constexpr std::size_t kTextMessageLimit = 10240;

// Media-object type codes.
enum ObjectType : std::uint64_t {
    kImage = 2,
    kMusic = 3,
    kVideo = 4,
    kWebpage = 5,
    kFile = 6,
    kAppExtend = 7,
    kEmoticon = 8,
    kLocation = 14,
    kMiniProgram = 36,
    kVideoFile = 38,
    kGameVideoFile = 39,
    kEnterpriseCard = 45,
    kDynamicVideoMiniProgram = 46,
};

std::size_t lengthOf(const RPText& text) { return text ? NSString::length(*text) : 0; }
std::size_t lengthOf(const RPBytes& data) { return data ? data->length() : 0; }

// Whether the value is within `limit`; when not, logs `format` with the limit.
template <class T> bool within(const T& value, std::size_t limit, std::string_view format = {}) {
    if (lengthOf(value) <= limit) return true;
    if (!format.empty()) RPLogUtil::logError(NSString::stringWithFormat(format, static_cast<int>(limit)));
    return false;
}

bool present(const RPText& text) { return text.has_value(); }
bool present(const RPBytes& data) { return data.has_value(); }

std::size_t bulkLimitFor(std::uint64_t type) {
    if (type == kVideoFile || type == kGameVideoFile) return kGameFileLimit;
    if (type == kImage) return kImageFileLimit;
    return kFileLimit;
}

const char* bulkLimitText(std::uint64_t type) {
    if (type == kVideoFile || type == kGameVideoFile) return "object game fileData too large, largest size is %d";
    if (type == kImage) return "object image data too large, largest size is %d";
    return "object fileData too large, largest size is %d";
}

// What a media object puts into a message, by its class.
struct LinkObjectValues {
    std::uint64_t type = 0;
    RPText url, lowBandUrl, dataUrl, lowBandDataUrl, extInfo, fileExt;
    RPText appBrandUserName, appBrandPath, sightCdnVideoUrl, sightCdnThumbUrl, cardInfo;
    RPBytes bulkData, hdImageData;
    bool withShareTicket = false;
    std::uint64_t miniProgramType = 0;
    std::optional<std::int64_t> cardMsgType;
};

void collectMiniProgram(const RPMiniProgramFields& object, LinkObjectValues& values) {
    values.url = object.webpageUrl();
    values.appBrandUserName = object.userName();
    values.appBrandPath = object.path();
    values.hdImageData = object.hdImageData();
    values.withShareTicket = object.withShareTicket();
    values.miniProgramType = object.miniProgramType();
}

// The first class in the format's order that the object belongs to decides.
std::optional<LinkObjectValues> collect(const Ref<NSObject>& object) {
    LinkObjectValues values;
    if (auto image = cast<RPImageObject>(object)) {
        values.type = kImage;
        values.bulkData = image->imageData();
    } else if (auto music = cast<RPMusicObject>(object)) {
        values.type = kMusic;
        values.url = music->musicUrl();
        values.lowBandUrl = music->musicLowBandUrl();
        values.dataUrl = music->musicDataUrl();
        values.lowBandDataUrl = music->musicLowBandDataUrl();
    } else if (auto video = cast<RPVideoObject>(object)) {
        values.type = kVideo;
        values.url = video->videoUrl();
        values.lowBandUrl = video->videoLowBandUrl();
    } else if (auto page = cast<RPWebpageObject>(object)) {
        values.type = kWebpage;
        values.url = page->webpageUrl();
    } else if (auto file = cast<RPFileObject>(object)) {
        values.type = kFile;
        values.fileExt = file->fileExtension();
        values.bulkData = file->fileData();
    } else if (auto videoFile = cast<RPVideoFileObject>(object)) {
        values.type = kVideoFile;
        values.bulkData = videoFile->videoFileData();
    } else if (auto gameVideo = cast<RPGameVideoFileObject>(object)) {
        values.type = kGameVideoFile;
        values.bulkData = gameVideo->videoFileData();
        values.sightCdnVideoUrl = gameVideo->videoUrl();
        values.sightCdnThumbUrl = gameVideo->thumbUrl();
    } else if (auto extend = cast<RPAppExtendObject>(object)) {
        values.type = kAppExtend;
        values.url = extend->url();
        values.extInfo = extend->extInfo();
        values.bulkData = extend->fileData();
    } else if (auto emoticon = cast<RPEmoticonObject>(object)) {
        values.type = kEmoticon;
        values.bulkData = emoticon->emoticonData();
    } else if (auto miniProgram = cast<RPMiniProgramObject>(object)) {
        values.type = kMiniProgram;
        collectMiniProgram(*miniProgram, values);
    } else if (auto card = cast<RPEnterpriseCardObject>(object)) {
        values.type = kEnterpriseCard;
        values.cardInfo = card->cardInfo();
        values.cardMsgType = card->msgType();
    } else if (auto dynamicVideo = cast<RPDynamicVideoMiniProgramObject>(object)) {
        values.type = kDynamicVideoMiniProgram;
        collectMiniProgram(*dynamicVideo, values);
        values.sightCdnVideoUrl = dynamicVideo->videoSource();
    } else {
        return std::nullopt;
    }
    return values;
}

// A media object made from an incoming message, or null for a type that
// does not make one.
Ref<NSObject> mediaObjectFrom(std::uint64_t type, const std::function<RPText(std::string_view)>& text,
                              const RPBytes& fileData, const Value& cardMsgType) {
    switch (type) {
        case kImage: {
            auto image = RPImageObject::object();
            image->setImageData(fileData);
            return image;
        }
        case kMusic: {
            auto music = RPMusicObject::object();
            music->setMusicUrl(text("mediaUrl"));
            music->setMusicLowBandUrl(text("mediaLowBandUrl"));
            music->setMusicDataUrl(text("mediaDataUrl"));
            music->setMusicLowBandDataUrl(text("mediaLowBandDataUrl"));
            return music;
        }
        case kVideo: {
            auto video = RPVideoObject::object();
            video->setVideoUrl(text("mediaUrl"));
            video->setVideoLowBandUrl(text("mediaLowBandUrl"));
            return video;
        }
        case kWebpage: {
            auto page = RPWebpageObject::object();
            page->setWebpageUrl(text("mediaUrl"));
            return page;
        }
        case kFile: {
            auto file = RPFileObject::object();
            file->setFileExtension(text("fileExt"));
            file->setFileData(fileData);
            return file;
        }
        case kAppExtend: {
            auto extend = RPAppExtendObject::object();
            extend->setUrl(text("mediaUrl"));
            extend->setExtInfo(text("extInfo"));
            extend->setFileData(fileData);
            return extend;
        }
        case kEmoticon: {
            auto emoticon = RPEmoticonObject::object();
            emoticon->setEmoticonData(fileData);
            return emoticon;
        }
        case kLocation: {
            // Longitude and latitude as decimal texts joined by "|".
            auto location = RPLocationObject::object();
            auto parts = NSString::componentsSeparatedByString(fileData ? fileData->toString() : "", "|");
            if (parts.size() == 2) {
                location->setLng(NSString::doubleValue(parts[0]));
                location->setLat(NSString::doubleValue(parts[1]));
            }
            return location;
        }
        case kVideoFile: {
            auto videoFile = RPVideoFileObject::object();
            videoFile->setVideoFileData(fileData);
            return videoFile;
        }
        case kGameVideoFile: {
            auto gameVideo = RPGameVideoFileObject::object();
            gameVideo->setVideoFileData(fileData);
            gameVideo->setVideoUrl(text("sightCdnVideoUrl"));
            gameVideo->setThumbUrl(text("sightCdnThumbUrl"));
            return gameVideo;
        }
        case kEnterpriseCard: {
            auto card = RPEnterpriseCardObject::object();
            card->setCardInfo(text("enterpriseCardInfo"));
            card->setMsgType(cardMsgType.longLongValue());
            return card;
        }
        default: return nullptr;
    }
}

// The number a key holds, as text or number; 0 when absent.
std::uint64_t unsignedValue(const Value& value) { return static_cast<std::uint64_t>(value.longLongValue()); }

}  // namespace

// --- Reading ---

Ref<AppCommunicateData> AppCommunicateData::initWithPropertList(const Dictionary& message) {
    auto data = make<AppCommunicateData>();
    if (!message.contains("command")) return data;
    data->dictionary_ = message;
    // A 32-bit value, widened with its sign.
    data->command_ = static_cast<std::uint64_t>(static_cast<std::int64_t>(message["command"].intValue()));
    data->conversationAccount_ = data->textFor("account");
    const Value& returnFromApp = message["returnFromApp"];
    data->returnFromApp_ = returnFromApp.isNil() || (returnFromApp.text() && *returnFromApp.text() == "1");
    data->openID_ = data->textFor("openID");
    data->sdkVer_ = data->textFor("sdkver");
    data->lang_ = data->textFor("language");
    data->country_ = data->textFor("country");
    data->toUserOpenID_ = data->textFor("userOpenID");
    const Value& rippleVersion = message["rippleVersion"];
    if (!rippleVersion.isNil() && unsignedValue(rippleVersion) != 0)
        NSUserDefaults::standardUserDefaults()->setObject(rippleVersion, kRippleVersionDefaultsKey);
    if (message.contains("result")) data->result_ = message["result"].intValue();
    if (message.contains("scene")) data->scene_ = message["scene"].intValue();
    return data;
}

RPText AppCommunicateData::textFor(std::string_view key) const {
    if (!dictionary_) return std::nullopt;
    const std::string* text = (*dictionary_)[key].text();
    return text ? RPText(*text) : std::nullopt;
}

RPBytes AppCommunicateData::dataFor(std::string_view key) const {
    if (!dictionary_) return std::nullopt;
    const NSData* data = (*dictionary_)[key].data();
    return data ? RPBytes(*data) : std::nullopt;
}

// --- Writing ---

void AppCommunicateData::initCommonField(std::uint64_t command) {
    command_ = command;
    dictionary_ = Dictionary{};
    put("command", std::to_string(command));
    put("returnFromApp", returnFromApp_ ? "1" : "0");
    put("result", std::to_string(result_));
    put("account", conversationAccount_);
    put("sdkver", kSDKVersion);
}

bool AppCommunicateData::MakeCommand(std::uint64_t command) {
    initCommonField(command);
    return true;
}

void AppCommunicateData::put(std::string_view key, const RPText& text) {
    if (text) putValue(key, Value(*text));
}

void AppCommunicateData::put(std::string_view key, const RPBytes& data) {
    if (data) putValue(key, Value(*data));
}

void AppCommunicateData::putValue(std::string_view key, Value value) {
    if (!dictionary_) dictionary_ = Dictionary{};
    dictionary_->set(key, std::move(value));
}

void AppCommunicateData::putBulkData(const RPBytes& data) {
    if (RippleApiUtil::isiOS7plus()) {
        put("fileData", data);
    } else {
        fileData_ = data;
    }
}

bool AppCommunicateData::MakeAuthRequest(const Ref<SendAuthReq>& request) {
    if (!request) return false;
    if (!present(request->scope()) || !within(request->scope(), kAuthFieldLimit)) {
        RPLogUtil::logError("scope is nil or too large");
        return false;
    }
    if (!within(request->state(), kAuthFieldLimit)) {
        RPLogUtil::logError("auth state is nil or too large");
        return false;
    }
    put("scope", request->scope());
    put("state", request->state());
    return true;
}

bool AppCommunicateData::MakeAuthResp(const Ref<SendAuthResp>& response) {
    if (!response || !within(response->state(), kAuthFieldLimit)) return false;
    put("state", response->state());
    return true;
}

bool AppCommunicateData::MakeTextMessage(const RPText& text) {
    if (!text || text->empty() || !within(text, kTextMessageLimit)) return false;
    put("title", text);
    return true;
}

bool AppCommunicateData::MakeMediaMessage(const Ref<RPMediaMessage>& message) {
    if (!message) return false;
    const RPText& description = message->messageDescription();
    if (!within(message->title(), kTitleLimit, "mediaMessage title too large,largest size is %d")) return false;
    if (!within(description, kDescriptionLimit, "mediaMessage description too large,largest size is %d")) return false;
    if (!within(message->thumbData(), kThumbDataLimit, "mediaMessage thumbData too large,largest size is %d"))
        return false;
    if (message->thumbData() && !UIImage::imageWithData(*message->thumbData())) {
        RPLogUtil::logError("mediaMessage thumbData can not be translate into  UIImage");
        return false;
    }
    if (!within(message->mediaTagName(), kTagNameLimit, "mediaMessage mediaTagName too large, largest size is %d"))
        return false;
    if (!within(message->messageExt(), kExtLimit, "mediaMessage messageExt too large, largest size is %d"))
        return false;
    if (!within(message->messageAction(), kExtLimit, "mediaMessage messageAction too large, largest size is %d"))
        return false;
    put("title", message->title());
    put("description", description);
    put("thumbData", message->thumbData());
    put("mediaTagName", message->mediaTagName());
    put("messageExt", message->messageExt());
    put("messageAction", message->messageAction());
    return MakeLinkObject(message->mediaObject());
}

bool AppCommunicateData::MakeLinkObject(const Ref<NSObject>& object) {
    if (!object) return false;
    auto collected = collect(object);
    if (!collected) {
        RPLogUtil::logError(" unkow object");
        return false;
    }
    const LinkObjectValues& v = *collected;
    const bool isCard = v.type == kEnterpriseCard && present(v.cardInfo);
    if (!isCard && !present(v.url) && !present(v.extInfo) && !present(v.bulkData)) {
        RPLogUtil::logError("object lose some param");
        return false;
    }
    if (!within(v.url, kUrlLimit, "object url too large, largest size is %d") ||
        !within(v.lowBandUrl, kUrlLimit, "object lowBandUrl too large, largest size is %d") ||
        !within(v.dataUrl, kUrlLimit, "object dataUrl too large, largest size is %d") ||
        !within(v.lowBandDataUrl, kUrlLimit, "object lowBandDataUrl too large, largest size is %d") ||
        !within(v.extInfo, kExtLimit, "object extInfo too large, largest size is %d") ||
        !within(v.fileExt, kFileExtLimit, "object fileExt too large, largest size is %d") ||
        !within(v.bulkData, bulkLimitFor(v.type), bulkLimitText(v.type)) ||
        !within(v.hdImageData, kHdThumbLimit, "object hdThumbData too large, largest size is %d"))
        return false;
    if (v.miniProgramType > 2) return false;
    put("objectType", std::to_string(v.type));
    put("mediaUrl", v.url);
    put("mediaLowBandUrl", v.lowBandUrl);
    put("mediaDataUrl", v.dataUrl);
    put("mediaLowBandDataUrl", v.lowBandDataUrl);
    put("extInfo", v.extInfo);
    put("fileExt", v.fileExt);
    put("appBrandUserName", v.appBrandUserName);
    put("appBrandPath", v.appBrandPath);
    put("sightCdnVideoUrl", v.sightCdnVideoUrl);
    put("sightCdnThumbUrl", v.sightCdnThumbUrl);
    put("hdThumbData", v.hdImageData);
    putValue("withShareTicket", Value(v.withShareTicket));
    putValue("miniprogramType", Value(static_cast<std::int64_t>(v.miniProgramType)));
    put("enterpriseCardInfo", v.cardInfo);
    if (v.cardMsgType) putValue("enterpriseCardMsgType", Value(*v.cardMsgType));
    putBulkData(v.bulkData);
    return true;
}

bool AppCommunicateData::MakeMediaInternalMessage(const Ref<RPMediaInternalMessage>& message) {
    if (!message) return false;
    if (!dictionary_) initCommonField(kMediaMessage);
    put("title", message->title());
    put("description", message->messageDescription());
    put("thumbData", message->thumbData());
    put("objectType", std::to_string(message->objectType()));
    put("mediaTagName", message->mediaTagName());
    put("messageExt", message->messageExt());
    put("messageAction", message->messageAction());
    put("mediaUrl", message->mediaUrl());
    put("mediaLowBandUrl", message->mediaLowBandUrl());
    put("mediaDataUrl", message->mediaDataUrl());
    put("mediaLowBandDataUrl", message->mediaLowBandDataUrl());
    put("extInfo", message->extInfo());
    put("fileExt", message->fileExt());
    put("appBrandUserName", message->appBrandUserName());
    put("appBrandPath", message->appBrandPath());
    putBulkData(message->fileData());
    return true;
}

bool AppCommunicateData::ReqToData(const Ref<BaseReq>& request, const Ref<RPMediaInternalMessage>& internalMessage) {
    bool made = true;
    if (auto auth = cast<SendAuthReq>(request)) {
        initCommonField(kAuthRequest);
        made = MakeAuthRequest(auth);
    } else if (auto share = cast<SendMessageToRPReq>(request)) {
        if (share->bText()) {
            initCommonField(kTextMessage);
            made = MakeTextMessage(share->text());
        } else {
            initCommonField(kMediaMessage);
            made = MakeMediaMessage(share->message());
        }
        put("scene", std::to_string(share->scene()));
        put("openID", share->openID());
        put("userOpenID", share->toUserOpenId());
    } else if (auto get = cast<GetMessageFromRPReq>(request)) {
        initCommonField(kGetMessage);
        put("openID", get->openID());
        put("language", get->lang());
        put("country", get->country());
    } else if (auto show = cast<ShowMessageFromRPReq>(request)) {
        initCommonField(kMediaMessage);
        if (internalMessage) MakeMediaInternalMessage(internalMessage);
        put("openID", show->openID());
        put("language", show->lang());
        put("country", show->country());
    } else if (auto launch = cast<LaunchFromRPReq>(request)) {
        initCommonField(kLaunchFromRipple);
        if (internalMessage) MakeMediaInternalMessage(internalMessage);
        put("openID", launch->openID());
        put("language", launch->lang());
        put("country", launch->country());
    } else {
        made = false;
    }
    if (!made) RPLogUtil::logError("gen req fail : param error");
    return made;
}

bool AppCommunicateData::RespToData(const Ref<BaseResp>& response) {
    bool made = true;
    if (auto auth = cast<SendAuthResp>(response)) {
        initCommonField(kAuthResult);
        made = MakeAuthResp(auth);
    } else if (auto get = cast<GetMessageFromRPResp>(response)) {
        initCommonField(get->bText() ? kTextMessage : kMediaMessage);
        made = get->bText() ? MakeTextMessage(get->text()) : MakeMediaMessage(get->message());
    } else if (isKind<ShowMessageFromRPResp>(response)) {
        initCommonField(kShowMessageReply);
    } else if (auto sent = cast<SendMessageToRPResp>(response)) {
        initCommonField(kSendResult);
        put("language", sent->lang());
        put("country", sent->country());
    } else if (auto extended = cast<RPExtMsgResp>(response)) {
        if (isKind<CreateChatRoomResp>(response)) {
            initCommonField(kCreateChatRoomResult);
        } else if (isKind<JoinChatRoomResp>(response)) {
            initCommonField(kJoinChatRoomResult);
        } else if (isKind<RPLaunchMiniProgramResp>(response)) {
            initCommonField(kLaunchMiniProgramResult);
        } else {
            initCommonField(kOpenBusinessViewResult);
        }
        put("messageExt", extended->extMsg());
    } else {
        RPLogUtil::logError("un know resp");
        made = false;
    }
    if (!made) RPLogUtil::logError("gen resp fail");
    return made;
}

// --- Decoding ---

Ref<BaseReq> AppCommunicateData::DataToReq() const {
    switch (command_) {
        case kGetMessage: {
            auto request = make<GetMessageFromRPReq>();
            request->setOpenID(openID_);
            request->setLang(lang_);
            request->setCountry(country_);
            return request;
        }
        case kMediaMessage: {
            auto message = mediaMessage();
            if (!message) return nullptr;
            auto request = make<ShowMessageFromRPReq>();
            request->setOpenID(openID_);
            request->setMessage(message);
            request->setLang(lang_);
            request->setCountry(country_);
            return request;
        }
        case kLaunchFromRipple: {
            auto request = make<LaunchFromRPReq>();
            request->setOpenID(openID_);
            request->setLang(lang_);
            request->setCountry(country_);
            request->setMessage(mediaMessage());
            return request;
        }
        default: return nullptr;
    }
}

Ref<BaseResp> AppCommunicateData::DataToResp() const {
    Ref<BaseResp> response;
    switch (command_) {
        case kSendResultWithLanguage: {
            auto sent = make<SendMessageToRPResp>();
            sent->setLang(lang_);
            sent->setCountry(country_);
            response = sent;
            break;
        }
        case kSendResult: response = make<SendMessageToRPResp>(); break;
        case kAuthResult: {
            // The state tells which authorisation the answer is for.
            auto authorised = make<SendAuthResp>();
            authorised->setState(textFor("state"));
            response = authorised;
            break;
        }
        case kCreateChatRoomResult: response = make<CreateChatRoomResp>(); break;
        case kJoinChatRoomResult: response = make<JoinChatRoomResp>(); break;
        case kLaunchMiniProgramResult: response = make<RPLaunchMiniProgramResp>(); break;
        case kOpenBusinessViewResult: response = make<RPOpenBusinessViewResp>(); break;
        default: return nullptr;
    }
    response->setErrCode(result_);
    if (auto extended = cast<RPExtMsgResp>(response)) extended->setExtMsg(textFor("messageExt"));
    return response;
}

Ref<RPMediaMessage> AppCommunicateData::mediaMessage() const {
    if (!dictionary_) return nullptr;
    auto message = RPMediaMessage::message();
    message->setMessageExt(textFor("messageExt"));
    message->setMessageAction(textFor("messageAction"));
    if (command_ == kLaunchFromRipple) return message;
    if (command_ != kMediaMessage) return nullptr;
    const Value& objectType = (*dictionary_)["objectType"];
    if (objectType.isNil()) return nullptr;
    auto object = mediaObjectFrom(
        unsignedValue(objectType), [this](std::string_view key) { return textFor(key); }, fileData_,
        (*dictionary_)["enterpriseCardMsgType"]);
    if (!object) return nullptr;
    message->setTitle(textFor("title"));
    message->setDescription(textFor("description"));
    message->setThumbData(dataFor("thumbData"));
    message->setMediaTagName(textFor("mediaTagName"));
    message->setMediaObject(object);
    return message;
}

Ref<RPAuthInternal> AppCommunicateData::authRequest() const {
    if (!dictionary_ || command_ != kAuthRequest) return nullptr;
    RPText scope = textFor("scope"), state = textFor("state");
    if (!scope || !within(scope, kAuthFieldLimit) || !within(state, kAuthFieldLimit)) return nullptr;
    auto auth = make<RPAuthInternal>();
    auth->setScope(scope);
    auth->setState(state);
    return auth;
}

Ref<SendAuthResp> AppCommunicateData::authResp() const {
    if (!dictionary_ || command_ != kAuthRequest) return nullptr;
    RPText state = textFor("state");
    if (!within(state, kAuthFieldLimit)) return nullptr;
    auto response = make<SendAuthResp>();
    response->setState(state);
    return response;
}

RPText AppCommunicateData::textMessage() const {
    if (!dictionary_ || command_ != kTextMessage) return std::nullopt;
    RPText title = textFor("title");
    return within(title, kTextMessageLimit) ? title : std::nullopt;
}

Ref<RPMediaInternalMessage> AppCommunicateData::mediaInternalMessage() const {
    if (!dictionary_ || command_ != kMediaMessage) return nullptr;
    const Dictionary& d = *dictionary_;
    if (d["objectType"].isNil()) return nullptr;
    const std::uint64_t type = unsignedValue(d["objectType"]);
    RPText userName = textFor("appBrandUserName"), path = textFor("appBrandPath");
    if (type == kMiniProgram || type == kDynamicVideoMiniProgram) {
        if (!userName || userName->empty() || userName->find('@') != std::string::npos) {
            RPLogUtil::logError("nsAppBrandUserName format is not right");
            return nullptr;
        }
        *userName += "@app";
        if (path) {
            std::size_t question = path->find('?');
            if (question != std::string::npos) {
                path->insert(question, ".html");
            } else if (!path->empty()) {
                *path += ".html";
            }
        }
    }
    RPText title = textFor("title");
    if (!within(title, kTitleLimit)) {
        RPLogUtil::logError("");
        return nullptr;
    }
    RPText mediaUrl = textFor("mediaUrl"), lowBandUrl = textFor("mediaLowBandUrl");
    RPText cardInfo = textFor("enterpriseCardInfo"), extInfo = textFor("extInfo");
    RPBytes hdThumbData = dataFor("hdThumbData");
    const bool fits =
        within(textFor("description"), kDescriptionLimit) && within(dataFor("thumbData"), kThumbDataLimit) &&
        (present(mediaUrl) || present(cardInfo) || present(extInfo) || present(fileData_)) &&
        within(textFor("mediaTagName"), kTagNameLimit) && within(textFor("messageExt"), kExtLimit) &&
        within(textFor("messageAction"), kExtLimit) && within(mediaUrl, kUrlLimit) && within(lowBandUrl, kUrlLimit) &&
        within(textFor("mediaDataUrl"), kUrlLimit) && within(textFor("mediaLowBandDataUrl"), kUrlLimit) &&
        within(extInfo, kExtLimit) && within(textFor("fileExt"), kFileExtLimit) &&
        within(fileData_, type == kImage ? kImageFileLimit : kFileLimit) &&
        within(textFor("sightCdnVideoUrl"), kUrlLimit) && within(textFor("sightCdnThumbUrl"), kUrlLimit) &&
        within(hdThumbData, kHdThumbLimit) && !(type == kMusic && !present(mediaUrl) && !present(lowBandUrl)) &&
        !(type == kEnterpriseCard && (!cardInfo || cardInfo->empty()));
    if (!fits) return nullptr;

    auto message = RPMediaInternalMessage::message();
    if (hdThumbData && !hdThumbData->empty()) {
        if (auto image = UIImage::imageWithData(*hdThumbData)) message->setHdThumbImageSize(image->size());
    }
    message->setTitle(title);
    message->setDescription(textFor("description"));
    message->setThumbData(dataFor("thumbData"));
    message->setHdThumbData(hdThumbData);
    message->setMediaTagName(textFor("mediaTagName"));
    message->setMessageExt(textFor("messageExt"));
    message->setMessageAction(textFor("messageAction"));
    message->setObjectType(type);
    message->setMediaUrl(mediaUrl);
    message->setMediaLowBandUrl(lowBandUrl);
    message->setMediaDataUrl(textFor("mediaDataUrl"));
    message->setMediaLowBandDataUrl(textFor("mediaLowBandDataUrl"));
    message->setExtInfo(extInfo);
    message->setFileExt(textFor("fileExt"));
    message->setFileData(fileData_);
    message->setAppBrandUserName(userName);
    message->setAppBrandPath(path);
    message->setAppBrandWithShareTikcet(d["withShareTicket"].boolValue());
    message->setAppBrandMiniProgramType(unsignedValue(d["miniprogramType"]));
    message->setSightCdnVideoUrl(textFor("sightCdnVideoUrl"));
    message->setSightCdnThumbUrl(textFor("sightCdnThumbUrl"));
    message->setEnterpriseCardContent(cardInfo);
    message->setEnterpriseCardMsgType(d["enterpriseCardMsgType"].longLongValue());
    return message;
}
