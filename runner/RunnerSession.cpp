#include "runner/RunnerSession.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/payment/KXMoneyRequest.h"
#include "app/shell/KXAppConfiguration.h"
#include "foundation/DataFile.h"
#include "foundation/MonotonicClock.h"
#include "foundation/NSBundle.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSRunLoop.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "foundation/PendingAnswer.h"
#include "foundation/UTF16.h"
#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"
#include "kits/ripple/RPApi.h"
#include "media/SimulatedCamera.h"
#include "peers/SimulatedAlipayApp.h"
#include "peers/SimulatedPalApp.h"
#include "peers/SimulatedRippleApp.h"
#include "runner/CommandText.h"
#include "foundation/FileProblem.h"
#include "runner/LogEntry.h"
#include "runner/QRLoginCommand.h"
#include "runner/SessionEnd.h"
#include "runner/SessionFolder.h"
#include "runner/TapCover.h"
#include "runner/URLProblem.h"
#include "runner/ViewNames.h"
#include "uikit/UIApplication.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScrollView.h"

namespace {

constexpr std::size_t kRecentLogLines = 200;
constexpr std::size_t kLogLinesShown = 30;
// On the manual clock, the step by which a wait moves it: short beside a
// fade or a screen's transition, so a wait ends soon after what it waits for.
constexpr double kManualClockStep = 0.05;

std::string trimmed(const std::string& text) {
    return NSString::stringByTrimmingCharactersInSet(text, NSCharacterSet::whitespaceCharacterSet());
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

// A URL the app takes, for the examples: the Ripple app's answer to a
// payment, which the app's Ripple kit takes (and, with no payment of the
// app's out, drops, its log says so).
std::string exampleURL() { return KXAppConfiguration::rippleAppId() + "://pay/?ret=0&returnKey=k"; }

// The URL schemes the app declares (its Info.plist's URL types): the only
// ones another app can open it with.
std::vector<std::string> declaredURLSchemes() {
    std::vector<std::string> schemes;
    if (const Array* types = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleURLTypes").array())
        for (const Value& type : *types)
            if (const Array* named = type["CFBundleURLSchemes"].array())
                for (const Value& scheme : *named)
                    if (auto text = scheme.stringValue()) schemes.push_back(*text);
    return schemes;
}

// Whether two schemes are the same, which case does not tell apart.
bool sameScheme(const std::string& one, const std::string& other) {
    return std::equal(one.begin(), one.end(), other.begin(), other.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    });
}

Ref<UIView> firstResponderIn(const Ref<UIView>& view) {
    if (!view) return nullptr;
    if (view->isFirstResponder()) return view;
    for (const auto& subview : view->subviews()) {
        if (auto found = firstResponderIn(subview)) return found;
    }
    return nullptr;
}

}  // namespace

RunnerSession::RunnerSession(std::string shotsFolder, std::unique_ptr<NSLogCapture> earlierLog,
                             double targetWaitSeconds, std::function<std::optional<std::string>()> folderGone)
    : shotsFolder_(std::move(shotsFolder)),
      folderGone_(std::move(folderGone)),
      targetWaitSeconds_(targetWaitSeconds),
      logCapture_(earlierLog ? std::move(earlierLog) : std::make_unique<NSLogCapture>(false)),
      qrLogin_(std::make_unique<QRLoginCommand>(
          shotsFolder_, [this](const std::function<bool()>& ready, double seconds) { return waitFor(ready, seconds); },
          [this] { return refuseInGoneFolder("qrlogin", "the QR code is saved there, so no login starts"); })) {
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

std::string RunnerSession::help(double targetWaitSeconds) {
    const std::string upTo = RunnerOptions::seconds(targetWaitSeconds) + " s";
    return "commands:\n"
           "  screen              the screen's views as an indented outline\n"
           "  tap TEXT|#ID|X,Y    tap the view showing TEXT, the view named ID, or a point;\n"
           "                      TEXT is a whole caption or a part of one as the view\n"
           "                      draws it (of a title cut off, what shows around its …;\n"
           "                      a field's placeholder only while the field is empty);\n"
           "                      of several, in view or not: uncovered first, then whole\n"
           "                      captions, then a button before text, then one in view,\n"
           "                      then top to bottom; the one chosen, when off the screen,\n"
           "                      under a bar or further along the list (rows that arrive\n"
           "                      meanwhile too), is scrolled into view; waits up to " + upTo + "\n"
           "                      for it to show and be uncovered\n"
           "  type TEXT           type into the focused field\n"
           "  type #ID TEXT       type into the field named ID\n"
           "  clear [#ID]         empty the focused field or the field named ID\n"
           "  return              press the keyboard's return key (a search field searches)\n"
           "  back                go back one screen (a presented screen: names its buttons)\n"
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
           "  expect TEXT|#ID     wait up to " + upTo + " for TEXT to be in view, else fail: TEXT as\n"
           "                      tap matches it, in the lines drawn inside the window and\n"
           "                      its list, with nothing in front of them (text further\n"
           "                      along a list: scroll first; expect never scrolls)\n"
           "  log                 the last 30 lines the app and its kits logged (a whole\n"
           "                      answer on one line, cut after 200 characters)\n"
           "  peers               what the simulated other apps (Ripple, Alipay, Pal,\n"
           "                      PalWork, PalSpace) received\n"
           "  qrlogin [ACTION]    the Ripple kit's QR login: start (saves the code's picture),\n"
           "                      then scan, allow, deny or expire as a phone would\n"
           "  help                this list\n"
           "  quit                end the session\n"
           "every command but quit first waits for a push, pop or presentation under way\n"
           "to end; TEXT is the rest of the line, or exactly what is between double quotes\n"
           "(type \"  \" types two spaces; \\\" is a quote and \\\\ a backslash inside them)\n";
}

struct RunnerSession::Command {
    // What a command takes after its name: nothing, a text read as every
    // command's is, or the rest of its line as it stands (`type #ID TEXT`
    // reads its text after the field's name itself).
    enum class Takes { Nothing, Text, OwnText };
    const char* name;
    CommandResult (*run)(RunnerSession& session, const std::string& text);
    Takes takes = Takes::Text;
    // Whether it waits for the screen to settle first.
    bool looksAtTheScreen = true;
};

CommandResult RunnerSession::execute(const std::string& line) {
    collectLog();
    auto [command, rest] = CommandText::firstWord(line);
    if (command.empty() || command[0] == '#') return {};
    // The money answers that came before this command have been seen; the
    // session's end tells the ones that come after (SessionEnd::settle).
    KXMoneyRequest::mark();
    // Every command that acts on the screen starts on a settled screen: a
    // push, pop or presentation that the command before set going (a tap
    // that opens a screen) has finished, so the command acts on the screen
    // that came, not on the one leaving. A screen that never settles is
    // acted on as it stands. Ending the session looks at no screen.
    const Command* known = this->command(command);
    if (!known || known->looksAtTheScreen) waitFor([&] { return driver_.isScreenSettled(); });
    CommandResult result = run(command, rest);
    // Every refusal is under the command's name.
    if (!result.ok && this->command(command) && !result.output.starts_with(command + ":"))
        result.output = command + ": " + result.output;
    // A folder gone under the session is told once, after the command that
    // met it (a change the back end refused for it, say).
    if (auto gone = toldFolderGone_ ? std::nullopt : folderGone()) {
        toldFolderGone_ = true;
        result.output = *gone + ": nothing the session stores there is kept from now on" +
                        (result.output.empty() ? "" : "\n" + result.output);
    }
    return result;
}

std::optional<std::string> RunnerSession::folderGone() const {
    return folderGone_ ? folderGone_() : std::nullopt;
}


const RunnerSession::Command* RunnerSession::command(const std::string& name) {
    using S = RunnerSession;
    using enum Command::Takes;
    static const Command kCommands[] = {
        {"screen", [](S& s, const std::string&) { return s.screen(); }, Nothing},
        {"tap", [](S& s, const std::string& text) { return s.tap(text); }},
        {"type", [](S& s, const std::string& rest) { return s.type(rest); }, OwnText},
        {"clear", [](S& s, const std::string& text) { return s.clear(text); }},
        {"return", [](S& s, const std::string&) { return s.driverResult(s.driver_.pressReturn(), "return"); }, Nothing},
        {"back", [](S& s, const std::string&) { return s.back(); }, Nothing},
        {"tab", [](S& s, const std::string& text) { return s.tab(text); }},
        {"scroll", [](S& s, const std::string& text) { return s.scroll(text); }},
        {"pull", [](S& s, const std::string&) {
             return s.drag("pull", [&](const Ref<UIView>& list) { return s.driver_.pullDown(list); });
         }, Nothing},
        {"more", [](S& s, const std::string&) {
             return s.drag("more", [&](const Ref<UIView>& list) { return s.driver_.pullUp(list); });
         }, Nothing},
        {"open", [](S& s, const std::string& text) { return s.open(text); }},
        {"scan", [](S& s, const std::string& text) { return s.scan(text); }},
        {"shot", [](S& s, const std::string& rest) { return s.shot(rest); }, OwnText},
        {"wait", [](S& s, const std::string& text) { return s.wait(text); }},
        {"expect", [](S& s, const std::string& text) { return s.expect(text); }},
        {"log", [](S& s, const std::string&) { return s.log(); }, Nothing},
        {"peers", [](S& s, const std::string&) { return s.peers(); }, Nothing},
        {"qrlogin", [](S& s, const std::string& text) { return s.qrLogin_->execute(text); }},
        {"help", [](S& s, const std::string&) { return CommandResult{true, help(s.targetWaitSeconds_)}; }, Nothing},
        {"quit", [](S& s, const std::string&) { return s.quit(); }, Nothing, false},
        {"exit", [](S& s, const std::string&) { return s.quit(); }, Nothing, false},
    };
    for (const auto& known : kCommands)
        if (name == known.name) return &known;
    return nullptr;
}

CommandResult RunnerSession::quit() {
    quit_ = true;
    return {};
}

CommandResult RunnerSession::run(const std::string& name, const std::string& rest) {
    const Command* known = command(name);
    if (!known) return {false, name + ": there is no such command (help lists the commands)"};
    if (known->takes == Command::Takes::OwnText) return known->run(*this, rest);
    std::string problem;
    auto text = CommandText::parse(rest, problem);
    if (!text) return {false, problem};
    if (known->takes == Command::Takes::Nothing && !text->empty())
        return {false, name + ": takes nothing after its name, not \"" + *text + "\""};
    return known->run(*this, *text);
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
    if (!driver_.keyWindow()) return {false, "screen: no window is shown"};
    // A signal that ends the session ends the outline too, between views.
    std::string outline = driver_.describeScreen(SessionEnd::signalled);
    if (SessionEnd::signalled()) return {false, "screen: left unfinished, the session is ending"};
    return {true, std::move(outline)};
}

bool RunnerSession::waitFor(const std::function<bool()>& ready, std::optional<double> wait) {
    const double seconds = wait.value_or(targetWaitSeconds_);
    auto loop = NSRunLoop::mainRunLoop();
    // A signal that ends the session ends the wait as well: the command
    // answers with what holds now, and the session ends after it.
    bool isReady = false;
    auto readyNow = [&] {
        driver_.settle();
        isReady = ready();
        return isReady || SessionEnd::signalled();
    };
    if (!MonotonicClock::isManual()) {
        loop->runUntil(readyNow, seconds);
        return isReady;
    }
    // On the manual clock (tests) nothing moves the time while the command
    // runs, so the wait moves it itself, a step at a time. Answers to
    // requests under way come over the network in real time: they are let
    // in before each step, for as many real seconds as the wait has.
    const double end = MonotonicClock::now() + seconds;
    const double realEnd = MonotonicClock::realNow() + seconds;
    for (;;) {
        if (readyNow()) return isReady;
        const double realLeft = realEnd - MonotonicClock::realNow();
        if (PendingAnswer::count() > 0 && realLeft > 0 &&
            loop->runUntil([&] { return readyNow() || PendingAnswer::count() == 0; }, realLeft) && readyNow())
            return isReady;
        const double left = end - MonotonicClock::now();
        if (left <= 1e-9) return false;
        loop->advanceManualClock(std::min(left, kManualClockStep));
    }
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

bool RunnerSession::inView(const UIDriver::Sighting& sighting) {
    if (!sighting.drawn) return false;
    // A bar or a header in front is no pop-up: scrolling the list moves the
    // view out from under it.
    auto cover = TapCover::coverOf(sighting.view, sighting.front);
    return !cover || TapCover::popUpOf(cover);
}

bool RunnerSession::inViewUncovered(const UIDriver::Sighting& sighting) {
    return sighting.drawn && !TapCover::coverOf(sighting.view, sighting.front);
}

std::vector<UIDriver::Sighting> RunnerSession::ranked(std::vector<UIDriver::Sighting> sightings) {
    struct Match {
        UIDriver::Sighting sighting;
        bool covered;
        bool button;
        bool shown;
    };
    std::vector<Match> matches;
    for (auto& sighting : sightings) {
        if (!sighting.kept) continue;
        const bool shown = inView(sighting);
        const bool covered = shown && TapCover::coverOf(sighting.view, sighting.front) != nullptr;
        // A button, a caption on one (a title label), or a caption a tap on
        // which reaches one.
        bool button = sighting.front && TapCover::takesTaps(sighting.front);
        for (auto view = sighting.view; view && !button; view = view->superview()) button = TapCover::takesTaps(view);
        matches.push_back({std::move(sighting), covered, button, shown});
    }
    // Uncovered before covered (a pop-up's own caption before the one under
    // it), the whole caption before a part of one, a button (or a caption
    // on one) before text, one in view before one to scroll to, then the
    // reading order: top to bottom, left to right.
    std::stable_sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        if (a.covered != b.covered) return !a.covered;
        if (a.sighting.whole != b.sighting.whole) return a.sighting.whole;
        if (a.button != b.button) return a.button;
        if (a.shown != b.shown) return a.shown;
        if (std::fabs(a.sighting.point.y - b.sighting.point.y) >= 1) return a.sighting.point.y < b.sighting.point.y;
        return a.sighting.point.x < b.sighting.point.x;
    });
    std::vector<UIDriver::Sighting> ordered;
    for (auto& match : matches) ordered.push_back(std::move(match.sighting));
    return ordered;
}

std::optional<UIDriver::Sighting> RunnerSession::chooseMatch(const std::string& target, ListLook& looked) {
    std::optional<UIDriver::Sighting> chosen;
    for (const auto& match : ranked(driver_.sightings(target))) {
        if (inView(match)) {
            chosen = match;
            break;
        }
        // One out of view or under a bar goes to the middle of its list, as
        // UI test tools do; one that scrolling does not bring into view
        // leaves the choice to the next.
        if (!driver_.isDrawable(match.view) || !driver_.scrollToMiddle(match.view)) continue;
        for (const auto& now : driver_.sightings(target))
            if (now.view == match.view && now.kept && inView(now)) chosen = now;
        if (chosen) break;
    }
    if (chosen && chosen->whole) return chosen;
    // A caption whose row was scrolled away (its cell reused), or that has
    // not arrived yet, is looked for along the list, and a whole one before
    // a part of one is taken: again whenever the list's content has changed
    // since the last look. Found, it is chosen in the next look.
    auto list = driver_.searchedList();
    if (!list || (list == looked.list && list->contentSize() == looked.content)) return chosen;
    // What is looked through is the content as it stands now: rows that
    // arrive during the search (the search runs the app as it scrolls, and
    // puts the list back at the end) make another content, looked along
    // next time.
    const CGSize content = list->contentSize();
    const bool wanted = chosen.has_value();
    const bool found = driver_.scrollToFind([&] {
        auto now = driver_.sightings(target);
        return std::any_of(now.begin(), now.end(), [&](const UIDriver::Sighting& sighting) {
            return sighting.kept && (!wanted || sighting.whole) && driver_.isDrawable(sighting.view);
        });
    });
    looked = {list, content};
    return found ? std::nullopt : chosen;
}

CommandResult RunnerSession::tap(const std::string& target) {
    if (target.empty()) return {false, "tap: what to tap? (tap TEXT, tap #ID or tap X,Y)"};
    if (auto unnamed = bareHash("tap", target)) return *unnamed;
    if (auto point = pointOf(target)) {
        auto window = driver_.keyWindow();
        if (auto where = window ? TapCover::whereOffScreen(window, *point) : std::nullopt)
            return {false, "tap: " + target + " is " + *where};
        return driverResult(driver_.tapAt(*point), "tap");
    }
    // Wait for the target to be in view with nothing in front of it, so a
    // tap is not swallowed by a HUD that is still fading out; meanwhile the
    // match meant is brought into view.
    ListLook looked;
    std::optional<UIDriver::Sighting> chosen;
    waitFor([&] {
        chosen = chooseMatch(target, looked);
        return chosen && !TapCover::coverOf(chosen->view, chosen->front);
    });
    if (!chosen) {
        if (driver_.sightings(target).empty()) return {false, "tap: no visible view matches \"" + target + "\""};
        return {false, "tap: \"" + target + "\" " + notInView(target, true)};
    }
    const auto view = chosen->view;
    if (auto cover = TapCover::coverOf(view, chosen->front))
        return {false, "tap: \"" + target + "\" is covered by " + ViewNames::cover(cover)};
    if (driver_.tap(view)) return driverResult(true, "tap");
    // Of several captions in view, the first that takes the tap: one that
    // only labels (an action sheet's title, over its button of the same
    // name) leaves the tap to the next. A tap nothing handled changed nothing.
    const std::string unhandled = driver_.lastError();
    for (const auto& other : ranked(driver_.sightings(target)))
        if (other.view != view && inViewUncovered(other) && driver_.tap(other.view))
            return driverResult(true, "tap");
    // A caption of a pop-up that is no button: the pop-up's buttons are what it takes.
    if (auto popUp = TapCover::popUpOf(view)) return {false, unhandled + " in " + ViewNames::popUp(popUp)};
    return {false, unhandled};
}

CommandResult RunnerSession::clear(const std::string& target) {
    if (auto unnamed = bareHash("clear", target)) return *unnamed;
    Ref<UIView> field = target.empty() ? firstResponderIn(driver_.keyWindow()) : driver_.find(target);
    if (!field)
        return {false, target.empty() ? "clear: no field has the focus: clear #ID names one"
                                      : "clear: no visible view matches \"" + target + "\""};
    if (auto refused = target.empty() ? pageOverFocus("clear", field) : fieldCovered("clear", target)) return *refused;
    auto length = UTF16::length(field->accessibilityValue());
    if (!driver_.typeText(field, "")) return typeRefused("clear");
    return driverResult(driver_.deleteBackward(length), "clear");
}

CommandResult RunnerSession::type(const std::string& arguments) {
    if (arguments.empty()) return {false, "type: what to type? (type TEXT, type \"TEXT\" or type #ID TEXT)"};
    // "#ID TEXT" names the field; the text is read as every command's is.
    const bool named = arguments[0] == '#';
    auto [target, rest] =
        named ? CommandText::firstWord(arguments) : std::pair<std::string, std::string>{"", arguments};
    std::string problem;
    auto text = CommandText::parse(rest, problem);
    if (!text) return {false, "type: " + problem};
    if (named) {
        if (auto unnamed = bareHash("type", target)) return *unnamed;
        if (!driver_.find(target)) return {false, "type: no visible view matches \"" + target + "\""};
        if (auto refused = fieldCovered("type", target)) return *refused;
        return driver_.typeText(target, *text) ? driverResult(true, "type") : typeRefused("type");
    }
    auto focused = firstResponderIn(driver_.keyWindow());
    if (!focused) return {false, "type: no field has the focus: tap one first, or type #ID TEXT"};
    if (auto refused = pageOverFocus("type", focused)) return *refused;
    return driver_.typeText(focused, *text) ? driverResult(true, "type") : typeRefused("type");
}

std::optional<CommandResult> RunnerSession::fieldCovered(const std::string& command, const std::string& target) {
    // Typing into a field takes a tap on it first: a pop-up in front (still
    // fading, or staying) or a page laid over its screen takes that tap.
    return refuseCovered(command, target, [&]() -> Ref<UIView> {
        auto field = driver_.find(target);
        return field ? TapCover::fieldCoverOf(field) : nullptr;
    });
}

std::optional<CommandResult> RunnerSession::pageOverFocus(const std::string& command, const Ref<UIView>& field) {
    // A page laid over the screen since the field took the focus (a result
    // page) hides it: typing would change a form no one sees.
    return refuseCovered(command, "the field with the focus", [&] { return TapCover::pageOver(field); });
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

std::optional<RunnerSession::PresentedScreen> RunnerSession::presentedScreen() {
    // (A presented pop-up, an alert or action sheet, is in the way of a
    // gesture instead, and named as such.)
    auto presented = driver_.frontController();
    if (!presented || !presented->presentingViewController() || TapCover::isOverlay(presented->view()))
        return std::nullopt;
    if (auto navigation = cast<UINavigationController>(presented); navigation && navigation->viewControllers().size() > 1)
        return std::nullopt;
    std::vector<std::string> taps;
    for (const auto& button : ViewNames::buttons(presented->view()))
        if (inView(driver_.sight(button))) taps.push_back("tap " + button->accessibilityLabel());
    const std::string ways = ViewNames::listed(taps, " or ");
    return PresentedScreen{ViewNames::screen(presented), ways.empty() ? "it has no button of its own to close it"
                                                                      : "its own buttons close it (" + ways + ")"};
}

CommandResult RunnerSession::back() {
    // A screen presented over the others (a picture preview) is left by
    // its own buttons, which the answer names.
    if (auto presented = presentedScreen())
        return {false, "back: " + presented->name + " is presented over the others and has no screen to go back to: " +
                           presented->wayOut};
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
        return {false, "tab: which tab? its number, " +
                           (count ? "from 1 to " + std::to_string(count) : std::string("1 for the first")) +
                           " (such as tab 2)"};
    }
    // The bar may still be coming (the sign-in's change of screens); one
    // there is judged at once, the screen being settled.
    const auto position = static_cast<std::size_t>(*index - 1);
    waitFor([&] { return driver_.tabCount() > 0; });
    const std::size_t count = driver_.tabCount();
    if (count == 0) return {false, "tab: no tab bar is on the screen, so there is no tab to select"};
    if (static_cast<std::size_t>(*index) > count)
        return {false, "tab: there is no tab " + std::to_string(*index) + ": the tab bar has tabs from 1 to " +
                           std::to_string(count)};
    if (!isShown(driver_.tabButton(position))) {
        // Under a presented screen `back` is refused: its own buttons close it.
        if (auto presented = presentedScreen())
            return {false, "tab: the tab bar is under " + presented->name + ", presented over the others: " +
                               presented->wayOut};
        return {false, "tab: the tab bar is hidden on this screen: go back to a tab's first screen to select a tab"};
    }
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
    if (!dy) return {false, "scroll: how far? a distance in points, such as scroll 300"};
    return drag("scroll", [&](const Ref<UIView>& list) { return driver_.scroll(list, *dy); });
}

CommandResult RunnerSession::open(const std::string& url) {
    if (url.empty()) return {false, "open: which URL? such as open " + exampleURL()};
    auto address = NSURL::URLWithString(url);
    if (!address || !address->scheme())
        return {false, "open: \"" + url + "\" is not a URL another app could open this one with: " +
                           URLProblem::of(url, exampleURL())};
    // As on the phone, no other app opens this one with a scheme it does not declare.
    const std::string scheme = *address->scheme();
    const auto schemes = declaredURLSchemes();
    if (std::none_of(schemes.begin(), schemes.end(), [&](const std::string& s) { return sameScheme(s, scheme); }))
        return {false, "open: the app does not declare the scheme \"" + scheme +
                           "\", so no other app could open it with this URL (" +
                           (schemes.empty() ? "it declares none" : "it declares " + ViewNames::listed(schemes)) + ")"};
    auto application = UIApplication::sharedApplication();
    if (!application) return {false, "open: the app is not running"};
    std::optional<bool> handled;
    application->openURLIntoApp(address, {}, [&handled](bool taken) { handled = taken; });
    waitFor([&] { return handled.has_value(); });
    if (!handled) return driverResult(true, "open", "the app has not answered the URL yet");
    return driverResult(true, "open",
                        *handled ? "the app answered that it handled the URL"
                                 : "the app answered that it did not handle the URL (`log` shows what it did with it)");
}

CommandResult RunnerSession::scan(const std::string& file) {
    if (file.empty()) return {false, "scan: which picture? a file, such as scan code.png"};
    std::error_code error;
    if (!std::filesystem::exists(file, error)) {
        // The system could not tell: a loop of links, or a folder on the way that may not be entered.
        if (error.value() == ELOOP)
            return {false, "scan: " + file + " is a loop of links: each leads to another, none to a file"};
        if (error)
            return {false, "scan: cannot read " + file + ": " +
                               FileProblem::why(file, error.value(), FileProblem::Doing::Reading)};
        return {false, "scan: there is no file " + file};
    }
    if (!std::filesystem::is_regular_file(file, error)) return {false, "scan: " + file + " is not a file"};
    if (std::filesystem::file_size(file, error) > kLargestImageFileBytes)
        return {false, "scan: " + file + " is larger than " + std::to_string(kLargestImageFileBytes >> 20) + " MiB"};
    int readError = 0;
    auto bytes = DataFile::dataWithContentsOfFile(file, &readError);
    if (!bytes)
        return {false, "scan: cannot read " + file + ": " +
                           FileProblem::why(file, readError, FileProblem::Doing::Reading)};
    ImageProblem problem = ImageProblem::Damaged;
    auto picture = UIImage::imageWithData(*bytes, 1, &problem);
    if (!picture) return {false, "scan: cannot read the picture " + file + ": " + imageProblemText(problem)};
    const std::size_t codes = SimulatedCamera::showImage(picture);
    driver_.settle();
    return driverResult(true, "scan", std::to_string(codes) + " code(s) in view");
}

CommandResult RunnerSession::shot(const std::string& rest) {
    // Nothing after the name saves a numbered shot; a name given, quoted
    // or not, must name a file.
    std::string problem;
    const auto named = CommandText::parse(rest, problem);
    if (!named) return {false, problem};
    if (!rest.empty() && named->empty())
        return {false, "shot: \"\" names no file (shot alone saves a numbered shot in the session folder)"};
    const std::string& file = *named;
    if (!file.empty()) {
        if (auto problem = FileProblem::ofWriting(file)) return {false, "shot: cannot write " + file + ": " + *problem};
    } else if (auto refused = refuseInGoneFolder("shot", "shot FILE saves the picture elsewhere")) {
        return *refused;
    }
    auto png = driver_.shotPNG();
    if (!png) return driverResult(false, "shot");
    const std::string_view bytes(reinterpret_cast<const char*>(png->bytes()), png->length());
    if (file.empty()) {
        std::string error;
        auto saved = SessionFolder::writeNumberedFile(
            shotsFolder_,
            [](int number) {
                char name[32];
                std::snprintf(name, sizeof name, "shot-%03d.png", number);
                return std::string(name);
            },
            shotNumber_, bytes, error);
        return saved ? CommandResult{true, "saved " + *saved} : CommandResult{false, "shot: " + error};
    }
    if (auto problem = SessionFolder::writeFile(file, bytes)) return {false, "shot: " + *problem};
    return {true, "saved " + file};
}

std::optional<CommandResult> RunnerSession::refuseInGoneFolder(const std::string& command, const std::string& instead) {
    // Made anew, the folder would hold this picture alone, without the
    // mark that lets --fresh start it again.
    auto gone = folderGone();
    if (!gone) return std::nullopt;
    toldFolderGone_ = true;
    return CommandResult{false, command + ": " + *gone + " (" + instead + ")"};
}

CommandResult RunnerSession::wait(const std::string& seconds) {
    auto duration = NSString::strictDouble(seconds);
    if (!duration || *duration < 0 || *duration > RunnerOptions::kLongestWaitSeconds)
        return {false, "wait: how long? seconds from 0 to " + RunnerOptions::seconds(RunnerOptions::kLongestWaitSeconds) +
                           ", such as wait 0.5"};
    waitFor([] { return false; }, *duration);
    return driverResult(true, "wait");
}

CommandResult RunnerSession::expect(const std::string& text) {
    if (text.empty()) return {false, "expect: what to expect? (expect TEXT or expect #ID)"};
    if (auto unnamed = bareHash("expect", text)) return *unnamed;
    // What tap would find in view, with nothing in front of it: text under
    // a pop-up is not what the user reads.
    auto seen = [&] {
        for (const auto& sighting : ranked(driver_.sightings(text)))
            if (inViewUncovered(sighting)) return true;
        return false;
    };
    if (waitFor(seen)) return {};
    return {false, "expect: \"" + text + "\" " + notInView(text, false)};
}

std::string RunnerSession::notInView(const std::string& text, bool scrolled) const {
    const auto found = driver_.sightings(text);
    for (const auto& sighting : found)
        if (auto cover = sighting.drawn ? TapCover::coverOf(sighting.view, sighting.front) : nullptr)
            return "is covered by " + ViewNames::cover(cover);
    if (scrolled) {
        if (auto outside = found.empty() ? std::nullopt : TapCover::offScreen(found.front().view)) return *outside;
        return "is not in view, and no list scrolls it into view";
    }
    // Scrolling helps text that lies further along a list it is drawn in,
    // and rows a list has not made yet; not text cut off in its label. The
    // hint says which way: text above the part of its list in view is
    // further up.
    auto listHolding = [&](const UIDriver::Sighting& sighting) -> Ref<UIScrollView> {
        if (!sighting.kept || !driver_.isDrawable(sighting.view)) return nullptr;
        for (auto holder = sighting.view->superview(); holder; holder = holder->superview())
            if (auto list = cast<UIScrollView>(holder); list && list->scrollsVertically()) return list;
        return nullptr;
    };
    std::optional<bool> above;
    for (const auto& sighting : found)
        if (auto list = listHolding(sighting)) {
            auto window = driver_.keyWindow();
            const CGRect shown = CGRectIntersection(list->convertRectToView(list->bounds(), window), window->bounds());
            above = !CGRectIsNull(shown) && sighting.point.y < CGRectGetMinY(shown);
            break;
        }
    const std::string up = "is not in view (text further up a list comes into view with scroll and a negative distance, "
                           "such as scroll -300)";
    const std::string down = "is not in view (text further down a list comes into view with scroll)";
    if (above) return *above ? up : down;
    // Rows the list has not made lie either way, unless it rests at its top.
    auto list = found.empty() && !text.starts_with("#") ? driver_.searchedList() : nullptr;
    if (!list) return "is not in view";
    if (list->contentOffset().y <= 0.5 - list->adjustedContentInset().top) return down;
    return "is not in view (text further along a list comes into view with scroll: a negative distance scrolls up)";
}

bool RunnerSession::isOnScreen(const std::string& query) {
    driver_.settle();
    return driver_.find(query) != nullptr;
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
    for (const auto& entry : logCapture_->takeLines()) recentLog_.push_back(LogEntry::oneLine(entry));
    while (recentLog_.size() > kRecentLogLines) recentLog_.pop_front();
}
