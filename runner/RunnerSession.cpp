#include "runner/RunnerSession.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/shell/KXAppConfiguration.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "foundation/UTF16.h"
#include "kits/ripple/RPApi.h"
#include "media/SimulatedCamera.h"
#include "peers/SimulatedAlipayApp.h"
#include "peers/SimulatedPalApp.h"
#include "peers/SimulatedRippleApp.h"
#include "runner/LogEntry.h"
#include "runner/QRLoginCommand.h"
#include "runner/SessionFolder.h"
#include "runner/TapCover.h"
#include "runner/ViewNames.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScrollView.h"

namespace {

constexpr std::size_t kRecentLogLines = 200;
constexpr std::size_t kLogLinesShown = 30;
// How long tap and expect let the app run for their target to show up.
constexpr double kTargetWaitSeconds = 5;
// Pictures larger than this are not shown to the camera.
constexpr std::uintmax_t kLargestScanFile = 32u << 20;

std::string trimmed(const std::string& text) {
    return NSString::stringByTrimmingCharactersInSet(text, NSCharacterSet::whitespaceCharacterSet());
}

// The first word and the rest of the line.
std::pair<std::string, std::string> splitCommand(const std::string& line) {
    std::string text = trimmed(line);
    std::size_t space = text.find(' ');
    if (space == std::string::npos) return {text, ""};
    return {text.substr(0, space), trimmed(text.substr(space + 1))};
}

// "X,Y" as a point, or nothing.
std::optional<CGPoint> pointOf(const std::string& text) {
    auto parts = NSString::componentsSeparatedByString(text, ",");
    if (parts.size() != 2) return std::nullopt;
    auto x = NSString::strictDouble(trimmed(parts[0]));
    auto y = NSString::strictDouble(trimmed(parts[1]));
    if (!x || !y) return std::nullopt;
    return CGPointMake(*x, *y);
}

// The visible view (in front-most order) showing `text` somewhere in its label or value.
bool showsText(const Ref<UIView>& view, const std::string& text) {
    if (!view || view->isHidden() || view->alpha() < 0.01) return false;
    if (view->accessibilityLabel().find(text) != std::string::npos) return true;
    if (view->accessibilityValue().find(text) != std::string::npos) return true;
    for (const auto& subview : view->subviews()) {
        if (showsText(subview, text)) return true;
    }
    return false;
}

// The highest number N of the shots "shot-N.png" in the folder (0 when none).
int highestShotNumber(const std::string& folder) {
    int highest = 0;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with("shot-") || !name.ends_with(".png")) continue;
        auto number = NSString::strictInteger(name.substr(5, name.size() - 9));
        if (number && *number > highest && *number < 1000000) highest = static_cast<int>(*number);
    }
    return highest;
}

// Whether the view is there and neither it nor a container of it is hidden.
bool isShown(const Ref<UIView>& view) {
    if (!view || !view->window()) return false;
    for (auto v = view; v; v = v->superview())
        if (v->isHidden()) return false;
    return true;
}

// "#" alone names no view: the answer that says so, under the command's name.
std::optional<CommandResult> bareHash(const std::string& command, const std::string& target) {
    if (target != "#") return std::nullopt;
    return CommandResult{false, command + ": # names no view: put the view's name after it, such as #dengluBut"};
}

// A URL the app acts on, for the examples: the Ripple app's answer to a
// payment, which the app's Ripple kit hands to the app (its log says 回调处理).
std::string exampleURL() { return KXAppConfiguration::rippleAppId() + "://pay/?ret=0&returnKey=k"; }

Ref<UIView> firstResponderIn(const Ref<UIView>& view) {
    if (!view) return nullptr;
    if (view->isFirstResponder()) return view;
    for (const auto& subview : view->subviews()) {
        if (auto found = firstResponderIn(subview)) return found;
    }
    return nullptr;
}

}  // namespace

RunnerSession::RunnerSession(std::string shotsFolder, std::unique_ptr<NSLogCapture> earlierLog)
    : shotsFolder_(std::move(shotsFolder)),
      logCapture_(earlierLog ? std::move(earlierLog) : std::make_unique<NSLogCapture>(false)),
      qrLogin_(std::make_unique<QRLoginCommand>(shotsFolder_)) {
    // A session on a folder with shots of an earlier one numbers on after them.
    shotNumber_ = highestShotNumber(shotsFolder_);
    peers_.push_back(make<SimulatedRippleApp>());
    peers_.push_back(make<SimulatedAlipayApp>());
    for (auto kind : {SimulatedPalApp::Kind::Pal, SimulatedPalApp::Kind::PalWork, SimulatedPalApp::Kind::PalSpace})
        peers_.push_back(make<SimulatedPalApp>(kind));
    for (const auto& peer : peers_) peer->install();
    RPApi::startLogByLevel(0, [](const std::string& line) { NSLog(line); });
}

RunnerSession::~RunnerSession() {
    RPApi::stopLog();
    for (const auto& peer : peers_) peer->uninstall();
}

std::string RunnerSession::help() {
    return "commands:\n"
           "  screen              the screen's views as an indented outline\n"
           "  tap TEXT|#ID|X,Y    tap the view showing TEXT, the view named ID, or a point\n"
           "                      (waits up to 5 s for the view to show and be uncovered;\n"
           "                      of several, the first one in view; one off the screen or\n"
           "                      under a bar is scrolled into view)\n"
           "  type TEXT           type into the focused field\n"
           "  type #ID TEXT       type into the field named ID\n"
           "  clear [#ID]         empty the focused field or the field named ID\n"
           "  return              press the keyboard's return key (a search field searches)\n"
           "  back                go back one screen\n"
           "  tab N               select tab N (1 is the first; waits like tap)\n"
           "  scroll DY           drag the list by DY points (positive: further down)\n"
           "  pull                pull the list down to refresh it\n"
           "  more                pull the list up past its end to load more\n"
           "  open URL            open the app with URL, as another app would, and say\n"
           "                      whether the app answered that it handled it; such as\n"
           "                      open " + exampleURL() + "\n"
           "                      (a Ripple payment's answer: log shows 回调处理)\n"
           "  scan FILE           show the picture in FILE to the camera\n"
           "  shot [FILE]         save the screen as a PNG\n"
           "  wait SECONDS        let the app run\n"
           "  expect TEXT         wait up to 5 s for TEXT to be on the screen, else fail\n"
           "  log                 the last 30 lines the app and its kits logged (a whole\n"
           "                      answer on one line, cut after 200 characters)\n"
           "  peers               what the simulated other apps (Ripple, Alipay, Pal,\n"
           "                      PalWork, PalSpace) received\n"
           "  qrlogin [ACTION]    the Ripple kit's QR login: start (saves the code's picture),\n"
           "                      then scan, allow, deny or expire as a phone would\n"
           "  help                this list\n"
           "  quit                end the session\n";
}

CommandResult RunnerSession::execute(const std::string& line) {
    collectLog();
    auto [command, arguments] = splitCommand(line);
    if (command.empty() || command[0] == '#') return {};
    if (command == "screen") return screen();
    if (command == "tap") return tap(arguments);
    if (command == "type") return type(arguments);
    if (command == "clear") return clear(arguments);
    if (command == "return") return driverResult(driver_.pressReturn(), "return");
    if (command == "back") return back();
    if (command == "tab") return tab(arguments);
    if (command == "scroll") return scroll(arguments);
    if (command == "pull") return drag("pull", [&](const Ref<UIView>& list) { return driver_.pullDown(list); });
    if (command == "more") return drag("more", [&](const Ref<UIView>& list) { return driver_.pullUp(list); });
    if (command == "open") return open(arguments);
    if (command == "scan") return scan(arguments);
    if (command == "shot") return shot(arguments);
    if (command == "wait") return wait(arguments);
    if (command == "expect") return expect(arguments);
    if (command == "log") return log();
    if (command == "peers") return peers();
    if (command == "qrlogin") return qrLogin_->execute(arguments);
    if (command == "help") return {true, help()};
    if (command == "quit" || command == "exit") {
        quit_ = true;
        return {};
    }
    return {false, "unknown command \"" + command + "\" (help lists the commands)"};
}

CommandResult RunnerSession::driverResult(bool ok, const std::string& command, const std::string& done) {
    collectLog();
    if (ok) return {true, done};
    // The driver names its own call ("pullUp: ..."); the answer names the
    // command the user gave.
    std::string reason = driver_.lastError();
    if (std::size_t colon = reason.find(": "); colon != std::string::npos &&
        std::all_of(reason.begin(), reason.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); }))
        reason.erase(0, colon + 2);
    return {false, command + ": " + reason};
}

CommandResult RunnerSession::screen() {
    driver_.settle();
    if (!driver_.keyWindow()) return {false, "no window is shown"};
    return {true, driver_.describeScreen()};
}

bool RunnerSession::waitFor(const std::function<bool()>& ready) {
    return NSRunLoop::mainRunLoop()->runUntil(
        [&] {
            driver_.settle();
            return ready();
        },
        kTargetWaitSeconds);
}

std::optional<CommandResult> RunnerSession::refuseCovered(const std::string& command, const std::string& what,
                                                         const std::function<Ref<UIView>()>& coverNow) {
    Ref<UIView> cover;
    waitFor([&] { return !(cover = coverNow()); });
    if (!cover) return std::nullopt;
    return CommandResult{false, command + ": " + what + " is covered by " + ViewNames::cover(cover)};
}

Ref<UIScrollView> RunnerSession::listToDrag(Ref<UIView>& popUp) const {
    popUp = nullptr;
    auto list = driver_.scrollViewFor(nullptr);
    auto window = driver_.keyWindow();
    if (!list || !window) return list;
    // Where a finger would drag it: the middle of the part on the screen.
    const CGRect shown = CGRectIntersection(window->bounds(), list->convertRectToView(list->bounds(), window));
    if (CGRectIsNull(shown) || CGRectIsEmpty(shown)) return list;
    auto hit = window->hitTest({CGRectGetMidX(shown), CGRectGetMidY(shown)});
    auto inFront = hit ? TapCover::popUpOf(hit) : nullptr;
    if (!inFront || list->isDescendantOfView(inFront)) return list;
    // A pop-up with a list of its own there (the game picker's) is dragged.
    if (auto own = driver_.scrollViewFor(hit); own && own->isDescendantOfView(inFront)) return own;
    popUp = inFront;
    return nullptr;
}

CommandResult RunnerSession::drag(const std::string& command, const std::function<bool(const Ref<UIView>&)>& gesture) {
    Ref<UIScrollView> list;
    auto refused = refuseCovered(command, "the list", [&] {
        Ref<UIView> popUp;
        list = listToDrag(popUp);
        return popUp;
    });
    if (refused) return *refused;
    return driverResult(gesture(list), command);
}

Ref<UIView> RunnerSession::shownMatch(const std::string& target) const {
    Ref<UIView> best;
    bool bestCovered = true;
    CGPoint bestAt{};
    for (const auto& view : driver_.findAll(target)) {
        if (TapCover::needsScrolling(view)) continue;
        // Uncovered before covered (a pop-up's own caption before the one
        // under it), then the reading order: top to bottom, left to right.
        const CGRect bounds = view->bounds();
        const CGPoint at = view->convertPointToView({CGRectGetMinX(bounds), CGRectGetMidY(bounds)}, view->window());
        const bool covered = TapCover::coverOf(view) != nullptr;
        const bool before = !best || (covered != bestCovered ? !covered
                                      : std::fabs(at.y - bestAt.y) >= 1 ? at.y < bestAt.y
                                                                        : at.x < bestAt.x);
        if (before) best = view, bestCovered = covered, bestAt = at;
    }
    return best;
}

CommandResult RunnerSession::tap(const std::string& target) {
    if (target.empty()) return {false, "tap what? (tap TEXT, tap #ID or tap X,Y)"};
    if (auto unnamed = bareHash("tap", target)) return *unnamed;
    if (auto point = pointOf(target)) {
        auto window = driver_.keyWindow();
        if (auto where = window ? TapCover::whereOffScreen(window, *point) : std::nullopt)
            return {false, "tap: " + target + " is " + *where};
        return driverResult(driver_.tapAt(*point), "tap");
    }
    bool scrolled = false;
    auto find = [&] {
        // The caption in view when one is; else one out of view or under a
        // bar is first scrolled to the middle of its list, once, as UI test
        // tools do. A caption whose row was scrolled away (its cell reused)
        // is looked for along the list.
        if (auto shown = shownMatch(target)) return shown;
        auto found = driver_.find(target);
        if (scrolled) return found;
        scrolled = true;
        if (!found && !(found = driver_.scrollToFind(target))) return found;
        driver_.scrollToMiddle(found);
        auto shown = shownMatch(target);
        return shown ? shown : driver_.find(target);
    };
    // Wait for the target to be on screen with nothing in front of it, so a
    // tap is not swallowed by a HUD that is still fading out.
    Ref<UIView> view, cover;
    waitFor([&] {
        view = find();
        cover = view ? TapCover::coverOf(view) : nullptr;
        return view && !cover;
    });
    if (!view) return {false, "tap: no visible view matches \"" + target + "\""};
    if (cover) return {false, "tap: \"" + target + "\" is covered by " + ViewNames::cover(cover)};
    if (auto outside = TapCover::offScreen(view)) return {false, "tap: \"" + target + "\" " + *outside};
    return driverResult(driver_.tap(view), "tap");
}

CommandResult RunnerSession::clear(const std::string& target) {
    if (auto unnamed = bareHash("clear", target)) return *unnamed;
    Ref<UIView> field = target.empty() ? firstResponderIn(driver_.keyWindow()) : driver_.find(target);
    if (!field) return {false, target.empty() ? "no field has the focus: clear #ID names one" : "no visible view matches \"" + target + "\""};
    if (!target.empty())
        if (auto refused = fieldCovered("clear", target)) return *refused;
    auto length = UTF16::length(field->accessibilityValue());
    if (!driver_.typeText(field, "")) return typeRefused("clear");
    return driverResult(driver_.deleteBackward(length), "clear");
}

CommandResult RunnerSession::type(const std::string& arguments) {
    if (arguments.empty()) return {false, "type what? (type TEXT or type #ID TEXT)"};
    if (arguments[0] == '#') {
        auto [target, text] = splitCommand(arguments);
        if (auto unnamed = bareHash("type", target)) return *unnamed;
        if (!driver_.find(target)) return {false, "type: no visible view matches \"" + target + "\""};
        if (auto refused = fieldCovered("type", target)) return *refused;
        return driver_.typeText(target, text) ? driverResult(true, "type") : typeRefused("type");
    }
    auto focused = firstResponderIn(driver_.keyWindow());
    if (!focused) return {false, "no field has the focus: tap one first, or type #ID TEXT"};
    return driver_.typeText(focused, arguments) ? driverResult(true, "type") : typeRefused("type");
}

std::optional<CommandResult> RunnerSession::fieldCovered(const std::string& command, const std::string& target) {
    // Typing into a field takes a tap on it first: a pop-up in front (still
    // fading, or staying) takes that tap.
    return refuseCovered(command, target, [&]() -> Ref<UIView> {
        auto field = driver_.find(target);
        auto cover = field ? TapCover::coverOf(field) : nullptr;
        return cover ? TapCover::popUpOf(cover) : nullptr;
    });
}

CommandResult RunnerSession::typeRefused(const std::string& command) {
    auto result = driverResult(false, command);
    // A field that will not take the focus often has the app say why in a
    // progress message (请先选择游戏 before a game is chosen).
    std::string said;
    for (const auto& overlay : TapCover::shownOverlays(driver_.keyWindow()))
        if (TapCover::isProgressMessage(overlay))
            for (const auto& text : ViewNames::shownTexts(overlay)) said += (said.empty() ? "" : " ") + text;
    if (!said.empty()) result.output = command + ": the field does not take typing now: the app says \"" + said + "\"";
    return result;
}

CommandResult RunnerSession::back() {
    // Back taps the bar's back button (or, without a bar, swipes from the
    // screen's left edge): a pop-up in front would take the touch and stay
    // over the screen beneath. One still fading is waited for, as by tap.
    auto refused = refuseCovered("back", "the way back", [&]() -> Ref<UIView> {
        if (auto button = driver_.backButton()) return TapCover::coverOf(button);
        auto window = driver_.keyWindow();
        auto hit = window ? window->hitTest({1, CGRectGetMidY(window->bounds())}) : nullptr;
        return hit ? TapCover::popUpOf(hit) : nullptr;
    });
    if (refused) return *refused;
    return driverResult(driver_.back(), "back");
}

CommandResult RunnerSession::tab(const std::string& number) {
    driver_.settle();
    auto index = NSString::strictInteger(number);
    if (!index || *index < 1) {
        const std::size_t count = driver_.tabCount();
        return {false, "tab needs the number of a tab, " +
                           (count ? "from 1 to " + std::to_string(count) : std::string("1 for the first")) +
                           " (such as tab 2)."};
    }
    // The bar may still be coming (the sign-in's screen change) or be
    // hidden for a moment (a screen pushed over a tab's first one).
    const auto position = static_cast<std::size_t>(*index - 1);
    waitFor([&] {
        const std::size_t count = driver_.tabCount();
        return count > 0 && (static_cast<std::size_t>(*index) > count || isShown(driver_.tabButton(position)));
    });
    const std::size_t count = driver_.tabCount();
    if (count == 0) return {false, "No tab bar is on the screen, so there is no tab to select."};
    if (static_cast<std::size_t>(*index) > count)
        return {false, "There is no tab " + std::to_string(*index) + ": the tab bar has tabs from 1 to " +
                           std::to_string(count) + "."};
    if (!isShown(driver_.tabButton(position)))
        return {false, "The tab bar is hidden on this screen: go back to a tab's first screen to select a tab."};
    // A HUD over the bar (the sign-in's, still fading) would take the tap.
    auto refused = refuseCovered("tab", "tab " + std::to_string(*index), [&]() -> Ref<UIView> {
        auto button = driver_.tabButton(position);
        return button ? TapCover::coverOf(button) : nullptr;
    });
    if (refused) return *refused;
    return driverResult(driver_.selectTab(position), "tab");
}

CommandResult RunnerSession::scroll(const std::string& distance) {
    auto dy = NSString::strictDouble(distance);
    if (!dy) return {false, "scroll needs a distance in points, such as scroll 300"};
    return drag("scroll", [&](const Ref<UIView>& list) { return driver_.scroll(list, *dy); });
}

CommandResult RunnerSession::open(const std::string& url) {
    if (url.empty()) return {false, "open needs a URL, such as open " + exampleURL()};
    auto address = NSURL::URLWithString(url);
    if (!address || !address->scheme())
        return {false, "\"" + url +
                           "\" is not a URL another app could open this one with: it needs a scheme, such as " +
                           exampleURL()};
    auto application = UIApplication::sharedApplication();
    if (!application) return {false, "The app is not running."};
    std::optional<bool> handled;
    application->openURLIntoApp(address, {}, [&handled](bool taken) { handled = taken; });
    NSRunLoop::mainRunLoop()->runUntil([&] { return handled.has_value(); }, kTargetWaitSeconds);
    driver_.settle();
    if (!handled) return driverResult(true, "open", "the app has not answered the URL yet");
    return driverResult(true, "open",
                        *handled ? "the app answered that it handled the URL"
                                 : "the app answered that it did not handle the URL (`log` shows what it did with it)");
}

CommandResult RunnerSession::scan(const std::string& file) {
    if (file.empty()) return {false, "scan needs a picture file"};
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return {false, "cannot scan " + file + ": not a file"};
    if (std::filesystem::file_size(file, error) > kLargestScanFile)
        return {false, "cannot scan " + file + ": larger than 32 MiB"};
    auto codes = SimulatedCamera::showImageFile(file);
    if (!codes) return {false, "cannot read the picture " + file};
    driver_.settle();
    return driverResult(true, "scan", std::to_string(*codes) + " code(s) in view");
}

CommandResult RunnerSession::shot(const std::string& file) {
    std::string path = file;
    if (path.empty()) {
        std::string error;
        auto claimed = SessionFolder::claimNumberedFile(
            shotsFolder_,
            [](int number) {
                char name[32];
                std::snprintf(name, sizeof name, "shot-%03d.png", number);
                return std::string(name);
            },
            shotNumber_, error);
        if (!claimed) return {false, "shot: " + error};
        path = *claimed;
        if (!driver_.shot(path)) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
            return driverResult(false, "shot");
        }
        return {true, "saved " + path};
    }
    if (!driver_.shot(path)) return driverResult(false, "shot");
    return {true, "saved " + path};
}

CommandResult RunnerSession::wait(const std::string& seconds) {
    auto duration = NSString::strictDouble(seconds);
    if (!duration || *duration < 0 || *duration > 600) return {false, "wait needs seconds between 0 and 600"};
    NSRunLoop::mainRunLoop()->runUntil([] { return false; }, *duration);
    driver_.settle();
    return driverResult(true, "wait");
}

CommandResult RunnerSession::expect(const std::string& text) {
    if (text.empty()) return {false, "expect what?"};
    if (auto unnamed = bareHash("expect", text)) return *unnamed;
    if (NSRunLoop::mainRunLoop()->runUntil([&] { return shows(text); }, kTargetWaitSeconds)) return {};
    return {false, "\"" + text + "\" is not on the screen"};
}

bool RunnerSession::shows(const std::string& text) {
    driver_.settle();
    return driver_.find(text) || showsText(driver_.keyWindow(), text);
}

CommandResult RunnerSession::log() {
    collectLog();
    std::string output;
    std::size_t first = recentLog_.size() > kLogLinesShown ? recentLog_.size() - kLogLinesShown : 0;
    for (std::size_t i = first; i < recentLog_.size(); ++i) output += recentLog_[i] + "\n";
    return {true, output.empty() ? "(nothing logged)" : output};
}

CommandResult RunnerSession::peers() const {
    std::string output;
    for (const auto& peer : peers_) output += peer->describeReceived();
    return {true, output};
}

void RunnerSession::collectLog() {
    for (const auto& entry : logCapture_->lines()) recentLog_.push_back(LogEntry::oneLine(entry));
    logCapture_->clear();
    while (recentLog_.size() > kRecentLogLines) recentLog_.pop_front();
}
