#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusMessageParse.h"

#include <mutex>

#include "foundation/NSBundle.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiMessages.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "uikit/UIPasteboard.h"

std::string NimbusMessagePack::pasteboardType(bool requestSide) {
    std::string identifier = NSBundle::mainBundle()->bundleIdentifier();
    if (identifier.empty()) {
        NSLog(requestSide ? "nimbusApi error: CFBundleIdentifier每填写" : "nimbusApi error: CFBundleIdentifier没填写");
        identifier = "kNimbusApiPastBoard";
    }
    return *TcApiTool::md5(identifier);
}

Ref<NSURL> NimbusMessagePack::packNimbusReqMessage(const NSData& data, const std::string&) {
    UIPasteboard::generalPasteboard()->setData(data, pasteboardType(true));
    return nullptr;
}

Ref<NSURL> NimbusMessagePack::packNimbusRespMessage(const NSData& data, std::int64_t platform) {
    const std::string type = pasteboardType(false);
    UIPasteboard::generalPasteboard()->setData(data, type);
    if (platform != 1) return nullptr;
    auto address = TcApiTool::GetURLWithParam(
        std::string(kPalSpaceApiScheme) + "://" + kHost + "/" + kRespPath,
        Dictionary{{"kPastboardName", UIPasteboardNameGeneral}, {"kPastboardType", type}});
    return address ? NSURL::URLWithString(*address) : nullptr;
}

std::optional<NSData> NimbusMessagePack::dataWithNimbusReqMessage(const Ref<NSObject>& message) {
    if (!isKind<NimbusApiReq>(message) && !isKind<NimbusApiResp>(message)) return std::nullopt;
    auto archiver = make<NSKeyedArchiver>();
    archiver->encodeObject(Value(message), "object");
    return archiver->encodedData();
}

bool NimbusMessagePack::messageVaild(const Ref<NSObject>& message) {
    Ref<NimbusApiReq> request = cast<NimbusApiReq>(message);
    if (auto response = cast<NimbusApiResp>(message)) request = response->objReq();
    if (!request) return true;
    for (const Value& element : request->arrMessage()) {
        auto base = element.objectAs<NimbusBaseMessageObj>();
        if (base && typeid(*base) == typeid(NimbusBaseMessageObj) && !base->isVaild()) return false;
    }
    return true;
}

void NimbusMessagePack::registerArchivedClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        NSKeyedUnarchiver::registerClass<NimbusApiReq>();
        NSKeyedUnarchiver::registerClass<NimbusApiResp>();
        NSKeyedUnarchiver::registerClass<NimbusBaseMessageObj>();
        NSKeyedUnarchiver::registerClass<NimbusTextMessageObjV1>();
        NSKeyedUnarchiver::registerClass<NimbusImageMessageObjV1>();
        NSKeyedUnarchiver::registerClass<NimbusAudioMessageObjV1>();
        NSKeyedUnarchiver::registerClass<NimbusVideoMessageV1>();
        NSKeyedUnarchiver::registerClass<NimbusImageAndVideoMessageObjV1>();
    });
}

Ref<NimbusUrlDecoder> NimbusUrlDecoder::decoderWithUrl(const Ref<NSURL>& url) {
    if (!url) return nullptr;
    auto decoder = make<NimbusUrlDecoder>();
    decoder->scheme_ = url->scheme();
    decoder->host_ = url->host();
    const std::string path = url->path();
    if (path.size() >= 2) decoder->path_ = path.substr(1);
    decoder->queryItem_ = PalApiURLDecoder::queryItemsOf(url->query().value_or(""));
    return decoder;
}

std::optional<std::vector<std::string>> NimbusApiUtil::scheme(const std::string& urlName) {
    const Value& types = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes");
    const Array* list = types.array();
    if (!list) return std::nullopt;
    for (const Value& type : *list) {
        if (!type.dictionary() || type["CFBundleURLName"] != Value(urlName)) continue;
        std::vector<std::string> schemes;
        if (const Array* names = type["CFBundleURLSchemes"].array())
            for (const Value& name : *names)
                if (name.text()) schemes.push_back(*name.text());
        return schemes;
    }
    return std::nullopt;
}

bool NimbusMessageParse::isNimbusMessageURL(const Ref<NimbusUrlDecoder>& decoder) {
    if (!decoder || !decoder->scheme()) return false;
    auto schemes = NimbusApiUtil::scheme(kUrlName);
    if (!schemes) return false;
    bool ours = false;
    for (const auto& scheme : *schemes) ours = ours || scheme == *decoder->scheme();
    return ours && decoder->host() == NimbusMessagePack::kHost &&
           (decoder->path() == NimbusMessagePack::kReqPath || decoder->path() == NimbusMessagePack::kRespPath);
}

Value NimbusMessageParse::parseNimbusMessage(const Ref<NSURL>& url) {
    auto decoder = NimbusUrlDecoder::decoderWithUrl(url);
    if (!isNimbusMessageURL(decoder)) return Value();
    return decoder->path() == NimbusMessagePack::kReqPath ? getReqFromUrl(decoder) : getRespFromUrl(decoder);
}

Value NimbusMessageParse::getReqFromUrl(const Ref<NimbusUrlDecoder>& decoder) {
    return readArchive(decoder, "exception 序列化对象的时候出错");
}

Value NimbusMessageParse::getRespFromUrl(const Ref<NimbusUrlDecoder>& decoder) {
    return readArchive(decoder, "NimbusMessageParse: exception 序列化对象的时候出错");
}

Value NimbusMessageParse::readArchive(const Ref<NimbusUrlDecoder>& decoder, const char* failureLine) {
    NSLog(decoder->queryItem()["kPastboardName"].stringValue().value_or("(null)"));
    const std::string type = decoder->queryItem()["kPastboardType"].stringValue().value_or("");
    auto board = UIPasteboard::generalPasteboard();
    auto data = board->dataForPasteboardType(type);
    board->setData(std::nullopt, type);
    if (!data) return Value();
    NimbusMessagePack::registerArchivedClasses();
    auto unarchiver = NSKeyedUnarchiver::initForReadingFromData(*data);
    if (!unarchiver) {
        PAL_API_LOG("%s", failureLine);
        return Value();
    }
    auto delegate = make<NimbusMessageParse>();
    unarchiver->setDelegate(delegate);
    Value object = unarchiver->decodeObjectForKey("object");
    if (unarchiver->error()) {
        PAL_API_LOG("%s", failureLine);
        return Value();
    }
    return object;
}

std::optional<std::string> NimbusMessageParse::unarchiverCannotDecodeObjectOfClassName(
    NSKeyedUnarchiver&, const std::string&, const std::vector<std::string>& classNames) {
    for (const auto& name : classNames)
        if (NSKeyedUnarchiver::isClassRegistered(name)) return name;
    return std::nullopt;
}
