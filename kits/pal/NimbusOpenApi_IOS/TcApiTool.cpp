#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"

#include <sys/utsname.h>

#include <cstdio>
#include <algorithm>
#include <random>

#include "foundation/CommonDigest.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"
#include "uikit/UIApplication.h"
#include "uikit/UIDevice.h"
#include "uikit/UIView.h"

namespace {

// How the descriptions of the keyboard's and the alerts' own windows begin,
// decoded once from their base64 form.
const std::vector<std::string>& systemWindowPrefixes() {
    static const std::vector<std::string> prefixes = [] {
        std::vector<std::string> decoded;
        for (const char* encoded : {"PFVJVGV4dEVmZmVjdHNXaW5kb3c=", "PF9VSUFsZXJ0Tm9ybWFsaXppbmdPdmVybGF5V2luZG93",
                                    "PF9VSUFsZXJ0T3ZlcmxheVdpbmRvdw=="})
            if (auto prefix = PalOpenApiUtility::UTF8StringWithBase64String(std::string(encoded)))
                decoded.push_back(*prefix);
        return decoded;
    }();
    return prefixes;
}

std::mt19937& randomEngine() {
    static std::mt19937 engine{std::random_device{}()};
    return engine;
}

}  // namespace

std::optional<std::string> TcApiTool::GetURLWithParam(const std::optional<std::string>& base, const Dictionary& params) {
    if (!base) return std::nullopt;
    std::string address = *base;
    bool first = true;
    for (const auto& [key, value] : params) {
        const std::string text = value.stringValue().value_or(value.description());
        address += first ? "?" : "&";
        first = false;
        address += key + "=" +
                   NSString::stringByAddingPercentEscapes(text, "", "!*\u2019();:&=+$,/?%#[]").value_or(text);
    }
    return address;
}

bool TcApiTool::isRegistSchemeInfoPlistFile(const std::optional<std::string>& scheme) {
    if (!scheme) return false;
    const Value& types = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes");
    const Array* entries = types.array();
    if (!entries) return false;
    for (const Value& entry : *entries) {
        if (const Array* schemes = entry["CFBundleURLSchemes"].array())
            for (const Value& known : *schemes)
                if (known.text() && *known.text() == *scheme) return true;
    }
    return false;
}

Value TcApiTool::getAppDefinePath() {
    const Value& resource = NSBundle::mainBundle()->objectForInfoDictionaryKey("nimbusSDKResource");
    return resource.isDictionary() ? resource : Value();
}

std::optional<std::string> TcApiTool::getAppDisplayName() {
    auto bundle = NSBundle::mainBundle();
    const Value& displayName = bundle->objectForInfoDictionaryKey("CFBundleDisplayName");
    if (displayName.text()) return *displayName.text();
    const Value& name = bundle->objectForInfoDictionaryKey("CFBundleName");
    if (name.text()) return *name.text();
    return std::nullopt;
}

Dictionary TcApiTool::SDKInfo() {
    return Dictionary{{"sdkv", kSDKVersion},
                      {"sdkp", "i"},
                      {"status_os", systemVersionString()},
                      {"status_machine", NBOSDKdeviceMachine()},
                      {"status_version", std::to_string(static_cast<long>(systemVersion()))}};
}

std::string TcApiTool::NBOSDKdeviceMachine() {
    utsname system{};
    if (::uname(&system) != 0 || system.machine[0] == '\0') return "i386";
    return system.machine;
}

double TcApiTool::systemVersion() { return static_cast<float>(Value(systemVersionString()).doubleValue()); }

std::string TcApiTool::systemVersionString() { return UIDevice::currentDevice()->systemVersion(); }

std::optional<std::string> TcApiTool::md5(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(text->data(), static_cast<CC_LONG>(text->size()), digest);
    std::string hex;
    char pair[3];
    for (unsigned char byte : digest) {
        std::snprintf(pair, sizeof pair, "%02x", byte);
        hex += pair;
    }
    return hex;
}

std::string TcApiTool::random16Str() {
    auto& engine = randomEngine();
    const std::size_t length = 2 * (engine() % 8) + 2;
    std::string key;
    for (std::size_t i = 0; i < length; ++i) key += "0123456789abcdef"[engine() & 0xF];
    return key;
}

int TcApiTool::NSString16toNSNumber(const std::string& text) {
    if (text.size() != 2) return 0;
    auto digit = [](unsigned char c) { return c >= 58 ? (c + 9) % 16 : c % 16; };
    return digit(text[0]) * 16 + digit(text[1]);
}

std::optional<std::string> TcApiTool::decodeAccessToken(const std::optional<std::string>& text, const std::string& key) {
    if (!text || key.empty() || text->size() % 2 != 0) return std::nullopt;
    std::string decoded;
    for (std::size_t i = 0; i < text->size(); i += 2) {
        const int byte = NSString16toNSNumber(text->substr(i, 2));
        decoded += static_cast<char>(key[(i / 2) % key.size()] ^ byte);
    }
    return decoded;
}

bool TcApiTool::notKeyboardOrAlertWindow(const Ref<NSObject>& object) {
    auto window = cast<UIWindow>(object);
    if (!window) return false;
    const std::string description = window->description();
    for (const std::string& prefix : systemWindowPrefixes())
        if (description.starts_with(prefix)) return false;
    return true;
}

CGRect TcApiTool::calcFrameByOrientation(bool right, const Ref<UIWindow>& window) {
    CGRect frame = window->frame();
    frame.origin.x += right ? frame.size.width : -frame.size.width;
    return frame;
}

void TcApiTool::MoveAllWindowOutOfScreen(const std::vector<Ref<UIWindow>>& keep, bool animated) {
    MoveAllWindowWithAnimationActionType(1, keep, animated);
}

void TcApiTool::MoveAllWindowIntoScreen(const std::vector<Ref<UIWindow>>& keep, bool animated) {
    MoveAllWindowWithAnimationActionType(0, keep, animated);
}

void TcApiTool::MoveAllWindowWithAnimationActionType(int action, const std::vector<Ref<UIWindow>>& keep, bool animated) {
    for (const auto& window : UIApplication::sharedApplication()->windows()) {
        if (!notKeyboardOrAlertWindow(window) || std::find(keep.begin(), keep.end(), window) != keep.end()) continue;
        const CGRect frame = calcFrameByOrientation(action != 0, window);
        if (animated) {
            MoveWindowAnimation(window, 0, frame, 0.3f, {}, nullptr);
        } else {
            window->setFrame(frame);
        }
    }
}

void TcApiTool::MoveWindowAnimation(const Ref<UIWindow>& window, int animationId, CGRect rect, float duration,
                                    const std::string& name, void* context) {
    UIView::beginAnimations(name, context);
    UIView::setAnimationDuration(duration);
    if (animationId == 0) window->setFrame(rect);
    UIView::commitAnimations();
}

std::string PalApiNSStringURLArgumentsAdditions::URLEncodedString(const std::string& text) {
    return NSString::stringByAddingPercentEscapes(text, "", "!*'();:@&=+$,/?%#[]").value_or(text);
}

std::optional<std::string> PalApiNSStringURLArgumentsAdditions::URLDecodedString(const std::string& text) {
    return NSString::stringByRemovingPercentEncoding(text);
}

std::string PalApiNSStringURLArgumentsAdditions::trim(const std::string& text) {
    return NSString::stringByTrimmingCharactersInSet(text, NSCharacterSet::whitespaceAndNewlineCharacterSet());
}

std::string PalApiNSStringURLArgumentsAdditions::stringByEncodeUrl(const std::string& text) {
    const std::string plain = NSString::stringByRemovingPercentEncoding(text).value_or(text);
    return NSString::stringByAddingPercentEncodingWithAllowedCharacters(plain, NSCharacterSet::URLUnreservedCharacterSet());
}

Dictionary PalApiNSStringURLArgumentsAdditions::dictionaryByParseUrlFromSeparator(const std::string& text,
                                                                                  const std::string& separator) {
    Dictionary entries;
    const std::size_t at = text.find(separator);
    if (separator.empty() || at == std::string::npos) return entries;
    const std::string rest = text.substr(at + separator.size());
    for (std::size_t start = 0; start <= rest.size();) {
        std::size_t end = rest.find('&', start);
        if (end == std::string::npos) end = rest.size();
        const std::string piece = rest.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = piece.find('=');
        if (equals == std::string::npos || equals == 0 || piece.find('=', equals + 1) != std::string::npos) continue;
        auto key = NSString::stringByRemovingPercentEncoding(piece.substr(0, equals));
        auto value = NSString::stringByRemovingPercentEncoding(piece.substr(equals + 1));
        if (key && value) entries.set(*key, *value);
    }
    return entries;
}
