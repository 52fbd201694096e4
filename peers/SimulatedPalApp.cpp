#include "peers/SimulatedPalApp.h"

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/NSString.h"
#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusMessageParse.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "kits/pal/PalApi/PalApiDatastore.h"
#include "kits/pal/PalApi/PalApiMessageAndUrlConverter.h"
#include "kits/pal/PalApi/PalDataArray.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "kits/pal/PalApi/PalPasteboard.h"
#include "uikit/UIApplication.h"
#include "uikit/UIPasteboard.h"

namespace {

std::vector<std::string> schemesOf(SimulatedPalApp::Kind kind) {
    switch (kind) {
        case SimulatedPalApp::Kind::Pal:
            return {"mpal",          "mpalapi",           "mpalopensdkapiV2",     "mpalopensdkapiV4",
                    "mpalapiwallet", "mpalopensdkfriend", "mpalwpa",              "mpalgamebindinggroup",
                    "mpalopensdkdataline", "mpalopensdkgrouptribeshare", "nimbusapi.pal.reqContent",
                    "mpalOpensdkSSoLogin"};
        case SimulatedPalApp::Kind::PalWork:
            return {"tim", "timapi", "timapiwallet", "timwpa", "timopensdkfriend", "timgamebindinggroup",
                    "timOpensdkSSoLogin"};
        case SimulatedPalApp::Kind::PalSpace:
            return {"mpalspace",           "mpalspaceopensdk",      "mpalspaceopensdkapi",
                    "mpalspaceopensdkapi19", "mpalspaceopensdkapiV2", NimbusMessagePack::kPalSpaceApiScheme};
    }
    return {};
}

// The query's pairs, unescaped; the texts the kit sends in Base64 decoded.
Dictionary readQuery(const Ref<NSURL>& url) {
    Dictionary pairs = PalApiURLDecoder::queryItemsOf(url->query().value_or(""));
    for (auto& [name, value] : pairs)
        if (auto unescaped = NSString::stringByRemovingPercentEncoding(*value.text())) value = *unescaped;
    for (const char* key : {"title", "description", "url", "previewimageUrl", "thirdAppDisplayName", "file_data",
                            "flashurl", "video_assetURL", "extMap"}) {
        if (auto text = PalOpenApiUtility::UTF8StringWithBase64String(pairs[key].stringValue())) pairs.set(key, *text);
    }
    return pairs;
}

std::string summaryOf(const Dictionary& share) {
    std::string summary = "share";
    for (const char* key : {"file_type", "title", "description", "url", "previewimageUrl", "shareType"}) {
        if (auto text = share[key].stringValue()) summary += std::string(" ") + key + "=" + *text;
    }
    if (const NSData* preview = share["previewimagedata"].data())
        summary += " previewimagedata=" + std::to_string(preview->length()) + " bytes";
    return summary;
}

// Where a host app's request lies: on the general pasteboard under the
// board's name as type, or on the named board under "psappDataType".
struct RequestBoard {
    Ref<UIPasteboard> pasteboard;
    std::string type;
};

RequestBoard requestBoard(const std::string& board, bool general) {
    if (general) return {UIPasteboard::generalPasteboard(), board};
    return {UIPasteboard::pasteboardWithName(board, false), "psappDataType"};
}

Value readRequest(const RequestBoard& board) {
    auto data = board.pasteboard ? board.pasteboard->dataForPasteboardType(board.type) : std::nullopt;
    return data ? NSKeyedUnarchiver::unarchiveObjectWithData(*data) : Value();
}

// Leaves the answer where the request lay and opens the host app at
// `address`, whose "generalpastboard" tells it where that is.
void answerHost(const RequestBoard& board, const Dictionary& reply, const std::string& address, bool general,
                const std::string& sender) {
    board.pasteboard->setData(NSKeyedArchiver::archivedDataWithRootObject(Value(reply)), board.type);
    UIApplication::sharedApplication()->openURLIntoApp(
        NSURL::URLWithString(address + "?generalpastboard=" + (general ? "1" : "0")), sender);
}

}  // namespace

SimulatedPalApp::SimulatedPalApp(Kind kind) : kind_(kind), schemes_(schemesOf(kind)) {}

std::string SimulatedPalApp::name() const {
    switch (kind_) {
        case Kind::Pal: return "Pal";
        case Kind::PalWork: return "PalWork";
        case Kind::PalSpace: return "PalSpace";
    }
    return "Pal";
}

std::string SimulatedPalApp::bundleIdentifier() const { return "com.pal." + NSString::lowercaseString(name()); }

void SimulatedPalApp::removeScheme(const std::string& scheme) {
    const std::string taken = NSString::lowercaseString(scheme);
    std::erase_if(schemes_, [&](const std::string& mine) { return NSString::lowercaseString(mine) == taken; });
}

void SimulatedPalApp::install() {
    uninstall();
    WeakRef<SimulatedPalApp> weak = weakSelf<SimulatedPalApp>();
    for (const auto& scheme : schemes_) {
        UIApplication::installSimulatedApp(scheme, [weak](const Ref<NSURL>& url) {
            if (auto me = weak.lock()) me->open(url);
        });
    }
    installed_ = schemes_;
}

void SimulatedPalApp::uninstall() {
    for (const auto& scheme : installed_) UIApplication::installSimulatedApp(scheme, nullptr);
    installed_.clear();
}

void SimulatedPalApp::open(const Ref<NSURL>& url) {
    const std::string address = url ? url->absoluteString() : "";
    const std::string scheme = NSString::lowercaseString(url ? url->scheme().value_or("") : "");
    const std::string host = url ? url->host().value_or("") : "";
    if ((scheme == "mpalapi" || scheme == "timapi") && host == "share" && url->path() == "/to_fri") {
        readShare(address, url);
    } else if ((scheme == "mpalopensdkssologin" || scheme == "timopensdkssologin") &&
               NSString::lowercaseString(host) == "ssologin") {
        answerSignOn(address, url);
    } else if (scheme == "mpalspaceopensdkapi" && host == "psapp") {
        answerPalSpaceCommand(address, url);
    } else if (scheme == NSString::lowercaseString(NimbusMessagePack::kPalSpaceApiScheme) &&
               host == NimbusMessagePack::kHost) {
        readLegacyResponse(address, url);
    } else {
        noteReceived({address, "opened", {}});
    }
}

void SimulatedPalApp::readShare(const std::string& address, const Ref<NSURL>& url) {
    Dictionary share = readQuery(url);
    if (share["objectlocation"] == Value("pasteboard")) {
        auto board = PalPasteboardMgr::instance()->getObjectPasteboardByName(PalApiDatastore::kApiLargeDataBoard);
        Value record = share["generalpastboard"] == Value("1") ? board->objectFromGeneralPastboard() : board->object();
        if (const Dictionary* fields = record.dictionary())
            for (const auto& [key, value] : *fields) share.set(key, value);
    }
    noteReceived({address, summaryOf(share), share});
    if (auto callback = share["callback_name"].stringValue())
        UIApplication::sharedApplication()->openURLIntoApp(
            NSURL::URLWithString(*callback + "://response_from_pal?error=" + answerError_), bundleIdentifier());
}

void SimulatedPalApp::readLegacyResponse(const std::string& address, const Ref<NSURL>& url) {
    const Dictionary query = readQuery(url);
    const std::string type = query["kPastboardType"].stringValue().value_or("");
    auto data = UIPasteboard::generalPasteboard()->dataForPasteboardType(type);
    NimbusMessagePack::registerArchivedClasses();
    auto unarchiver = data ? NSKeyedUnarchiver::initForReadingFromData(*data) : nullptr;
    auto response = unarchiver ? unarchiver->decodeObjectForKey("object").objectAs<NimbusApiResp>() : nullptr;
    if (!response) {
        noteReceived({address, "legacy response: nothing readable on the pasteboard", {}});
        return;
    }
    Dictionary message{{"nRetCode", response->nRetCode()}, {"sRetMsg", response->sRetMsg()}};
    if (response->objReq()) message.set("nSeq", response->objReq()->nSeq());
    noteReceived({address, "legacy response: nRetCode=" + std::to_string(response->nRetCode()), message});
}

void SimulatedPalApp::answerSignOn(const std::string& address, const Ref<NSURL>& url) {
    const auto components = url->pathComponents();
    const Dictionary query = readQuery(url);
    if (components.size() != 3) {
        noteReceived({address, "login request: no host scheme and board", {}});
        return;
    }
    const std::string& hostScheme = components[1];
    const std::string& board = components[2];
    const bool general = query["generalpastboard"] == Value("1");
    const RequestBoard requestAt = requestBoard(board, general);
    Value request = readRequest(requestAt);
    if (!request.dictionary()) {
        noteReceived({address, "login request: nothing readable on the pasteboard", {}});
        return;
    }
    noteReceived({address, "login request scope=" + request["scope"].stringValue().value_or(""), *request.dictionary()});
    Dictionary reply = answerError_ == "-4" ? Dictionary{{"user_cancelled", "YES"}}
                                            : Dictionary{{"openid", kSignOnOpenId},
                                                         {"access_token", kSignOnToken},
                                                         {"expires_in", kSignOnExpiresIn}};
    answerHost(requestAt, reply, hostScheme + "://psapp/pal/0", general, bundleIdentifier());
}

void SimulatedPalApp::answerPalSpaceCommand(const std::string& address, const Ref<NSURL>& url) {
    const auto components = url->pathComponents();
    if (components.size() != 4) {
        noteReceived({address, "PalSpace command: no host scheme, board and command", {}});
        return;
    }
    const std::string& hostScheme = components[1];
    const std::string& command = components[3];
    const bool general = readQuery(url)["generalpastboard"] == Value("1");
    const RequestBoard requestAt = requestBoard(components[2], general);
    Value request = readRequest(requestAt);
    if (!request.dictionary()) {
        noteReceived({address, "PalSpace command " + command + ": nothing readable on the pasteboard", {}});
        return;
    }
    noteReceived({address, "PalSpace command " + command, *request.dictionary()});
    auto response = make<APIResponse>();
    if (answerError_ == "-4") {
        response->setRetCode(1);
        response->setDetailRetCode(2);
        response->setErrorMsg(std::string("用户取消"));
    } else {
        response->setErrorMsg(std::string("操作成功"));
    }
    Dictionary reply;
    if (auto archived = NSKeyedArchiver::archivedDataWithRootObject(Value(response)))
        reply.set("response_data", Value(*archived));
    answerHost(requestAt, reply, hostScheme + "://psapp/palspace/" + command, general, bundleIdentifier());
}

std::vector<Ref<PalPluginMetadata>> SimulatedPalApp::registeredPlugins() {
    std::vector<Ref<PalPluginMetadata>> plugins;
    Value records = PalPasteboardMgr::instance()->getArrayPasteboardByName(PalApiDatastore::kRegisterAppPluginBoard)
                        ->objectArray();
    if (const Array* list = records.array())
        for (const Value& record : *list)
            if (auto plugin = record.objectAs<PalPluginMetadata>()) plugins.push_back(plugin);
    return plugins;
}

bool SimulatedPalApp::askHostToView(const PeerDelivery& share) {
    auto callback = share.message["callback_name"].stringValue();
    auto url = NSURL::URLWithString(share.url);
    if (!callback || !url) return false;
    UIApplication::sharedApplication()->openURLIntoApp(
        NSURL::URLWithString(*callback + "://request_from_pal/view?" + url->query().value_or("")), bundleIdentifier());
    return true;
}

bool SimulatedPalApp::sendLegacyRequest(const std::string& hostScheme, const Ref<NimbusApiReq>& request) {
    auto data = NimbusMessagePack::dataWithNimbusReqMessage(request);
    if (!data) return false;
    const std::string type = *TcApiTool::md5(std::string(kPalSpaceBundleIdentifier));
    UIPasteboard::generalPasteboard()->setData(*data, type);
    auto url = NSURL::URLWithString(hostScheme + "://" + NimbusMessagePack::kHost + "/" + NimbusMessagePack::kReqPath +
                                    "?kPastboardName=" + UIPasteboardNameGeneral + "&kPastboardType=" + type);
    UIApplication::sharedApplication()->openURLIntoApp(url, bundleIdentifier());
    return true;
}
