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

// The sizes a screen may have, in points, and its scales. The shortest is
// the smallest phone's: the app's forms stand in views that do not scroll,
// and the tallest (添加下级's) ends 510 points down.
constexpr double kNarrowest = 320, kWidest = 430, kShortest = 568, kTallest = 1000;
constexpr int kLargestScale = 3;

// The sizes and scales --screen takes, as a user reads them.
std::string screenRange() {
    char range[160];
    std::snprintf(range, sizeof range, "WIDTH %g to %g, HEIGHT %g to %g and SCALE 1 to %d", kNarrowest, kWidest,
                  kShortest, kTallest, kLargestScale);
    return range;
}

// "se (320x568@2), standard (375x667@2), ...": the presets as --screen takes
// them, `lineBreak` after every third.
std::string presetList(const std::string& lineBreak = " ") {
    std::string list;
    for (std::size_t i = 0; i < std::size(presets); ++i) {
        const auto& preset = presets[i];
        char entry[64];
        std::snprintf(entry, sizeof entry, "%s (%gx%g@%g)", preset.name, preset.width, preset.height, preset.scale);
        list += (i == 0 ? "" : i % 3 == 0 ? "," + lineBreak : ", ") + std::string(entry);
    }
    return list;
}

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
    static const std::regex size(R"((\d+)x(\d+)(?:@(\d+))?)");
    std::smatch match;
    if (!std::regex_match(value, match, size))
        return "unknown screen \"" + value + "\": use WIDTHxHEIGHT[@SCALE] or one of " + presetList();
    // Numbers of any length are sizes, only too large ones: past six digits
    // they are out of range, however long.
    auto number = [](const std::string& digits) { return digits.size() > 6 ? 1e9 : std::stod(digits); };
    const double width = number(match[1]), height = number(match[2]);
    const double scale = match[3].matched ? number(match[3]) : 2;
    if (width < kNarrowest || width > kWidest || height < kShortest || height > kTallest || scale < 1 ||
        scale > kLargestScale) {
        return "screen \"" + value + "\" is out of range: --screen takes " + screenRange() + " (such as 375x667@2)";
    }
    options.screenWidth = width;
    options.screenHeight = height;
    options.screenScale = scale;
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

std::string RunnerOptions::seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

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
        } else if (argument == "--wait") {
            auto seconds = value();
            if (!seconds) return std::nullopt;
            auto wait = NSString::strictDouble(*seconds);
            if (!wait || !(*wait > 0) || *wait > kLongestWaitSeconds) {
                error = "--wait takes seconds, more than 0 and up to " + RunnerOptions::seconds(kLongestWaitSeconds) +
                        ", not \"" + *seconds + "\"";
                return std::nullopt;
            }
            options.targetWaitSeconds = *wait;
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
           "               [--backend URL] [--script FILE] [--wait SECONDS] [--demo]\n"
           "  --data DIR      session folder: the sign-in and the local back end's data,\n"
           "                  kept for the next session (default " + defaultDataFolder() + ")\n"
           "  --fresh         start from an empty session folder and the demo data again\n"
           "                  (only a folder velmaro made, and no session is using)\n"
           "  --screen SIZE   WIDTHxHEIGHT[@SCALE] in points (default 375x667@2),\n"
           "                  " + screenRange() + "; or a preset:\n"
           "                  " + presetList("\n                  ") + "\n"
           "  --backend URL   use this back end instead of the built-in local one\n"
           "  --script FILE   run the commands in FILE, stop at the first failing one\n"
           "  --wait SECONDS  how long tap, tab and expect wait for what they look for,\n"
           "                  and each command for the screen to settle (default " +
           seconds(kDefaultTargetWaitSeconds) + ";\n"
           "                  a script on a busy machine may give the app longer)\n"
           "  --demo          sign in with the demo account first\n";
}
