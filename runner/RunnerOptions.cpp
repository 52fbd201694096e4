#include "runner/RunnerOptions.h"

#include <cstdio>
#include <cstdlib>
#include <regex>

#include "foundation/NSString.h"
#include "foundation/NSURL.h"

namespace {

struct ScreenPreset {
    const char* name;
    double width, height, scale;
    bool notched;
};

// Common phone screens, by the name the runner accepts.
constexpr ScreenPreset presets[] = {
    {"se", 320, 568, 2, false},    {"standard", 375, 667, 2, false}, {"plus", 414, 736, 3, false},
    {"notched", 375, 812, 3, true}, {"pro", 390, 844, 3, true},      {"max", 428, 926, 3, true},
};

// The sizes a screen may have, in points.
constexpr double kNarrowest = 320, kWidest = 430, kShortest = 480, kTallest = 1000;

// Sets the screen named or sized by `value`; the reason when it takes none.
std::optional<std::string> applyScreen(const std::string& value, RunnerOptions& options) {
    for (const auto& preset : presets) {
        if (value == preset.name) {
            options.screenWidth = preset.width;
            options.screenHeight = preset.height;
            options.screenScale = preset.scale;
            options.notched = preset.notched;
            return std::nullopt;
        }
    }
    // WIDTHxHEIGHT[@SCALE]; taller than 800 points counts as notched.
    static const std::regex size(R"((\d{3,4})x(\d{3,4})(?:@([123]))?)");
    std::smatch match;
    if (!std::regex_match(value, match, size))
        return "unknown screen \"" + value + "\": use WIDTHxHEIGHT[@SCALE] or se, standard, plus, notched, pro, max";
    const double width = std::stod(match[1]), height = std::stod(match[2]);
    if (width < kNarrowest || width > kWidest || height < kShortest || height > kTallest) {
        char range[160];
        std::snprintf(range, sizeof range, "a width from %g to %g points and a height from %g to %g", kNarrowest,
                      kWidest, kShortest, kTallest);
        return "screen \"" + value + "\" is out of range: --screen takes " + range + " (such as 375x667@2)";
    }
    options.screenWidth = width;
    options.screenHeight = height;
    options.screenScale = match[3].matched ? std::stod(match[3]) : 2;
    options.notched = options.screenHeight > 800;
    return std::nullopt;
}

// An absolute http or https address that names a host: the app's requests
// go to it.
bool isServiceAddress(const std::string& text) {
    auto url = NSURL::URLWithString(text);
    if (!url) return false;
    auto scheme = url->scheme();
    auto host = url->host();
    if (!scheme || !host || host->empty()) return false;
    const std::string lower = NSString::lowercaseString(*scheme);
    return lower == "http" || lower == "https";
}

}  // namespace

std::string RunnerOptions::defaultDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/velmaro";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/velmaro";
    return "velmaro-data";
}

std::optional<RunnerOptions> RunnerOptions::parse(const std::vector<std::string>& arguments, std::string& error) {
    RunnerOptions options;
    options.dataFolder = defaultDataFolder();
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= arguments.size()) {
                error = argument + " needs a value";
                return std::nullopt;
            }
            return arguments[++i];
        };
        if (argument == "--fresh") options.fresh = true;
        else if (argument == "--demo") options.demo = true;
        else if (argument == "--help" || argument == "-h") options.help = true;
        else if (argument == "--data") {
            auto folder = value();
            if (!folder) return std::nullopt;
            if (folder->empty()) {
                error = "--data needs a folder";
                return std::nullopt;
            }
            options.dataFolder = *folder;
        } else if (argument == "--screen") {
            auto screen = value();
            if (!screen) return std::nullopt;
            if (auto problem = applyScreen(*screen, options)) {
                error = *problem;
                return std::nullopt;
            }
        } else if (argument == "--backend") {
            auto url = value();
            if (!url) return std::nullopt;
            if (!isServiceAddress(*url)) {
                error = "--backend needs an http:// or https:// address with a host, not \"" + *url + "\"";
                return std::nullopt;
            }
            options.backendURL = *url;
        } else if (argument == "--script") {
            auto file = value();
            if (!file) return std::nullopt;
            options.scriptFile = *file;
        } else {
            error = "unknown option \"" + argument + "\"";
            return std::nullopt;
        }
    }
    return options;
}

std::string RunnerOptions::usage() {
    return "usage: velmaro [--data DIR] [--fresh] [--screen WxH[@S]|se|standard|plus|notched|pro|max]\n"
           "               [--backend URL] [--script FILE] [--demo]\n"
           "  --data DIR      session folder (default " + defaultDataFolder() + ")\n"
           "  --fresh         start from an empty session folder (only one velmaro made)\n"
           "  --screen        screen size in points (default 375x667@2)\n"
           "  --backend URL   use this back end instead of the built-in local one\n"
           "  --script FILE   run the commands in FILE, stop at the first failing one\n"
           "  --demo          sign in with the demo account first\n";
}
