#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "peers/PeerApp.h"
#include "runner/RunnerOptions.h"
#include "uikit/UIDriver.h"

class NSLogCapture;
class UIScrollView;
class QRLoginCommand;

// One command's outcome: whether it did what it was asked, and what to print.
struct CommandResult {
    bool ok = true;
    std::string output;
};

// The runner's line commands, carried out on the running app through the UI
// driver. Commands never throw: a bad command or a target not found is a
// failed result with a message. For its life the session installs the
// simulated peer apps (the Ripple app) and sends the Ripple kit's log lines
// to the app's log.
class RunnerSession {
public:
    // Shots without a file name go to `shotsFolder` as shot-001.png, ...
    // `earlierLog`, when given, holds what was logged before the session
    // began (the kits' start-up lines): `log` shows it first. The waits for
    // a target take `targetWaitSeconds` (a script on a busy machine may
    // give its rows longer to come). `folderGone`, when given, tells that
    // the session folder was removed (or replaced) while the session runs:
    // the first command after that says so, and `shot` into it is refused.
    explicit RunnerSession(std::string shotsFolder, std::unique_ptr<NSLogCapture> earlierLog = nullptr,
                           double targetWaitSeconds = RunnerOptions::kDefaultTargetWaitSeconds,
                           std::function<std::optional<std::string>()> folderGone = {});
    ~RunnerSession();

    CommandResult execute(const std::string& line);
    bool quitRequested() const { return quit_; }
    // Whether a view showing exactly TEXT (or named #ID) is in the window and
    // not hidden now, in view or not, without waiting.
    bool isOnScreen(const std::string& query);

    // The commands, with how long the waits for a target take.
    static std::string help(double targetWaitSeconds = RunnerOptions::kDefaultTargetWaitSeconds);

private:
    // A command: its name and what carries it out with the text of its line.
    struct Command;
    // The runner's command of that name, or null for a name that is none.
    static const Command* command(const std::string& name);
    // Carries out the command with the rest of its line.
    CommandResult run(const std::string& name, const std::string& rest);
    CommandResult quit();
    CommandResult screen();
    CommandResult tap(const std::string& target);
    CommandResult type(const std::string& arguments);
    CommandResult clear(const std::string& target);
    CommandResult back();
    CommandResult tab(const std::string& number);
    // A screen presented over the others that is no pop-up and has no stack
    // of its own to pop (the screenshot preview): `back` cannot leave it and
    // it hides the tab bar. Its name and the way out a user has: the
    // buttons in view on it that close it.
    struct PresentedScreen {
        std::string name;
        std::string wayOut;
    };
    std::optional<PresentedScreen> presentedScreen();
    CommandResult scroll(const std::string& distance);
    CommandResult open(const std::string& url);
    CommandResult scan(const std::string& file);
    // `rest`: nothing, or the file (as every command reads its text).
    CommandResult shot(const std::string& rest);
    CommandResult wait(const std::string& seconds);
    CommandResult expect(const std::string& text);
    CommandResult log();
    CommandResult peers() const;
    // The driver's outcome as the answer to `command`: `done` when it acted,
    // else its reason under the command's name.
    CommandResult driverResult(bool ok, const std::string& command, const std::string& done = "");
    // A field refused the focus: the reason, and what the app's progress
    // message says about it.
    CommandResult typeRefused(const std::string& command);
    // The refusal of `command` when a pop-up or a page laid over its screen
    // stays in front of the field `target` (waited for as long as tap
    // waits), named as tap names it; nothing when the way is clear.
    std::optional<CommandResult> fieldCovered(const std::string& command, const std::string& target);
    // The same for the field with the focus, which only a page laid over
    // its screen refuses.
    std::optional<CommandResult> pageOverFocus(const std::string& command, const Ref<UIView>& field);
    // Whether a user sees the sighting where it is: drawn, and nothing but a
    // pop-up in front of it (a bar or a header over it is mended by
    // scrolling).
    static bool inView(const UIDriver::Sighting& sighting);
    // In view with nothing at all in front of it: what a tap reaches and
    // expect passes.
    static bool inViewUncovered(const UIDriver::Sighting& sighting);
    // Of the sightings, every one that draws the query, in view or not
    // (Sighting::kept), in the order a user means them: uncovered ones first
    // (a caption under a pop-up after the pop-up's own), whole captions
    // before parts of one, buttons (and captions on one) before text, in
    // view before out of view, then in reading order.
    static std::vector<UIDriver::Sighting> ranked(std::vector<UIDriver::Sighting> sightings);
    // What a search along the list last looked through without finding.
    struct ListLook {
        Ref<UIScrollView> list;
        CGSize content{-1, -1};
    };
    // The match a tap acts on: the first ranked one that is in view or that
    // scrolling to the middle of its list brings there (it is scrolled).
    // When no view draws `target`, or only a part of one is to be had, the
    // list is looked along for it (a whole one in the second case), once
    // for each content it has (rows that arrive are looked for again); what
    // it finds is chosen in the next look.
    std::optional<UIDriver::Sighting> chooseMatch(const std::string& target, ListLook& looked);
    // Why no `text` is in view, as the end of a sentence naming it: what
    // covers it; after a tap's scrolling (`scrolled`), where off the screen
    // it lies or that no list brings it; else, where scrolling can help,
    // that it is further along a list.
    std::string notInView(const std::string& text, bool scrolled) const;
    // Runs the app, laid out, until `ready` or until `seconds` (by default
    // the session's target wait) have passed on the main loop's clock;
    // whether it became so. A signal that ends the session ends the wait.
    // On the manual clock the wait moves the clock itself (see the
    // definition).
    bool waitFor(const std::function<bool()>& ready, std::optional<double> seconds = std::nullopt);
    // The refusal of `command` when `coverNow` still finds a view in front
    // of `what` after that wait (a pop-up still fading is waited for),
    // naming it; nothing once the way is clear.
    std::optional<CommandResult> refuseCovered(const std::string& command, const std::string& what,
                                               const std::function<Ref<UIView>()>& coverNow);
    // The list a drag (scroll, pull, more) moves: the one the driver drags,
    // or, with a pop-up in front of it, the pop-up's own list under the
    // finger; null with `popUp` set when the pop-up has none there.
    Ref<UIScrollView> listToDrag(Ref<UIView>& popUp) const;
    // Runs the drag `gesture` on the list once no pop-up is in front of it
    // (waited for as by tap); refused, naming the pop-up, when one stays.
    CommandResult drag(const std::string& command, const std::function<bool(const Ref<UIView>&)>& gesture);
    // Moves the app's log lines into the recent-lines buffer.
    void collectLog();

    // That the session folder is gone, or nothing.
    std::optional<std::string> folderGone() const;
    // The refusal of `command`, which would save in the session folder,
    // when the folder is gone (with what to do `instead`); nothing while it
    // is there.
    std::optional<CommandResult> refuseInGoneFolder(const std::string& command, const std::string& instead);

    UIDriver driver_;
    std::string shotsFolder_;
    std::function<std::optional<std::string>()> folderGone_;
    bool toldFolderGone_ = false;
    double targetWaitSeconds_;
    int shotNumber_ = 0;
    bool quit_ = false;
    std::unique_ptr<NSLogCapture> logCapture_;
    std::deque<std::string> recentLog_;
    std::vector<Ref<PeerApp>> peers_;
    std::unique_ptr<QRLoginCommand> qrLogin_;
};
