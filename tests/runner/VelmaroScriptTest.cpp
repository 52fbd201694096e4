#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <vector>

#include "app/shell/KXAppConfiguration.h"
#include "backend/LocalBackend.h"
#include "foundation/NSRunLoop.h"
#include "graphics/UIImage.h"
#include "runner/RunnerOptions.h"
#include "tests/support/Eventually.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/TempSandbox.h"
#include "tests/support/UnwritablePath.h"

namespace {

struct RunOutcome {
    int exitCode = -1;
    std::string output;
};

// Runs the shell command to its end.
RunOutcome runCommand(const std::string& command) {
    RunOutcome outcome;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return outcome;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe)) outcome.output.append(buffer, read);
    int status = pclose(pipe);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

// Runs the velmaro executable with the options, to its end.
RunOutcome runVelmaro(const std::string& options) {
    return runCommand(std::string(VELMARO_RUNNER_EXECUTABLE) + " " + options);
}

// Runs the velmaro executable on a script in a fresh session folder (or in
// the one a former run left). What a step looks for must come: the session
// waits for it up to the tests' give-up bound, however busy the machine
// (a `--wait` in `extraOptions`, for a step that must fail, takes over).
RunOutcome runScript(const std::string& folder, const std::string& script, const std::string& extraOptions = "",
                     bool fresh = true) {
    const std::string scriptPath = folder + "/steps.txt";
    std::ofstream(scriptPath) << script;
    return runVelmaro(std::string(fresh ? "--fresh" : "") + " --data " + folder + "/session --script " + scriptPath +
                      " --wait " + std::to_string(static_cast<int>(kGiveUpAfterSeconds)) + " " + extraOptions);
}

// For a step that looks for what never comes: the runner's own wait.
const std::string kShortWait = "--wait " + RunnerOptions::seconds(RunnerOptions::kDefaultTargetWaitSeconds);

// A session at its prompt, reading the commands it is sent from a pipe, its
// answers collected in a file.
class LiveSession {
public:
    LiveSession(const std::string& options, std::string answers)
        : answers_(std::move(answers)),
          pipe_(popen((std::string(VELMARO_RUNNER_EXECUTABLE) + " " + options + " > " + answers_ + " 2>&1").c_str(), "w")) {}
    ~LiveSession() {
        if (pipe_) end();
    }
    bool started() const { return pipe_ != nullptr; }
    void send(const std::string& line) {
        std::fputs((line + "\n").c_str(), pipe_);
        std::fflush(pipe_);
    }
    // What it answered so far.
    std::string answers() const {
        std::ifstream file(answers_);
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }
    // Waits (up to a minute) until its answers hold `text`, after `from`.
    bool said(const std::string& text, std::size_t from = 0) const {
        return NSRunLoop::mainRunLoop()->runUntil([&] { return answers().find(text, from) != std::string::npos; }, 60);
    }
    // Quits (or, `quitting` false, ends its input); the exit status.
    int end(bool quitting = true) {
        if (quitting) send("quit");
        const int status = pclose(pipe_);
        pipe_ = nullptr;
        return status;
    }

private:
    std::string answers_;
    FILE* pipe_;
};

}  // namespace

TEST(VelmaroScript, SignsInOpensATabAndShootsTheScreen) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(),
                             "expect 登录\n"
                             "type #zhanghuTextField demo\n"
                             "type #mimaTextFeild 123456\n"
                             "tap #dengluBut\n"
                             "expect 首页\n"
                             "tab 2\n"
                             "shot\n",
                             "--screen notched");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    auto shot = UIImage::imageWithContentsOfFile(folder.path() + "/session/shots/shot-001.png");
    ASSERT_TRUE(shot) << outcome.output;
    EXPECT_EQ(shot->CGImage()->width(), 375u * 3);
    EXPECT_EQ(shot->CGImage()->height(), 812u * 3);
}

TEST(VelmaroScript, ThePromoteTabIsTheThirdTab) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(),
                             "tab 3\n"
                             "expect 角色扮演\n"
                             "tap 人气榜\n"  // the caption under its shortcut's own button
                             "expect 游戏排行榜\n"
                             "back\n"
                             "scroll 250\n"
                             "more\n"
                             "tap 休闲\n"
                             "expect 暂无数据\n"
                             "scroll -500\n"
                             "tap #searchButton\n"
                             "type #searchField 青云\n"
                             "return\n"
                             "expect 青云诀\n"
                             "shot\n",
                             "--demo");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
}

TEST(VelmaroScript, StopsAtTheFirstFailingStepWithAClearMessage) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(),
                             "fly away\n"
                             "shot\n");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.output.find("fly: there is no such command"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("step 1 failed"), std::string::npos);
    EXPECT_EQ(outcome.output.find("> shot"), std::string::npos);

    auto missing = runScript(folder.path(), "tap 不存在的按钮\n", kShortWait);
    EXPECT_EQ(missing.exitCode, 1);
}

TEST(VelmaroScript, DemoSignsInFirstAndBadOptionsAreRefused) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(), "expect 我的\n", "--demo");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    auto refused = runScript(folder.path(), "", "--screen 99x99");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.output.find("is out of range"), std::string::npos) << refused.output;
    for (const char* backend : {"'not a url'", "ftp://127.0.0.1/", "http://"}) {
        auto badBackend = runScript(folder.path(), "", std::string("--backend ") + backend);
        EXPECT_EQ(badBackend.exitCode, 2) << backend;
        EXPECT_NE(badBackend.output.find("--backend needs an http:// or https:// address"), std::string::npos)
            << badBackend.output;
    }

    // Tabs are counted from 1, in the step and in its failure.
    // On a folder signed in already, --demo says it uses the stored sign-in.
    auto noSuchTab = runScript(folder.path(), "tab 4\ntab 9\n", "--demo", false);
    EXPECT_EQ(noSuchTab.exitCode, 1);
    EXPECT_NE(noSuchTab.output.find("its stored sign-in is used"), std::string::npos) << noSuchTab.output;
    EXPECT_NE(noSuchTab.output.find("tab: there is no tab 9: the tab bar has tabs from 1 to 4"), std::string::npos)
        << noSuchTab.output;
}

TEST(VelmaroScript, ASessionOnAFormerFolderNumbersItsShotsOnAndThePalLineNamesTheAddressUsed) {
    TempSandbox folder;
    auto first = runScript(folder.path(), "shot\nshot\n");
    ASSERT_EQ(first.exitCode, 0) << first.output;
    const std::string shots = folder.path() + "/session/shots/";
    std::ofstream(shots + "shot-001.png") << "kept";
    std::ofstream(shots + "shot-x.png") << "not a shot";
    // Another back end, where nothing listens: the Pal kit asks its host too.
    auto later = runScript(folder.path(), "shot\nlog\n", "--backend http://127.0.0.1:1/", false);
    ASSERT_EQ(later.exitCode, 0) << later.output;
    EXPECT_NE(later.output.find("the back end at http://127.0.0.1:1/ could not be reached"), std::string::npos)
        << later.output;
    EXPECT_NE(later.output.find("shot-003.png"), std::string::npos) << later.output;
    EXPECT_EQ(std::filesystem::file_size(shots + "shot-001.png"), 4u);
    EXPECT_NE(later.output.find("https://127.0.0.1:1/palconnectopen/openapi/policy_conf"), std::string::npos)
        << later.output;
    EXPECT_EQ(later.output.find("https:///"), std::string::npos) << later.output;
}

TEST(VelmaroScript, AStandAloneBackEndTellsWhereItsStandInsAreAndTheKitsLinesWaitForLog) {
    auto backEnd = backend::LocalBackend::start({});
    ASSERT_TRUE(backEnd);
    TempSandbox folder;
    LiveSession session("--data " + folder.path() + "/session --backend " + backEnd->baseURL(),
                        folder.path() + "/answers.txt");
    ASSERT_TRUE(session.started());
    ASSERT_TRUE(session.said("velmaro on "));
    // The session's first line comes first; the kits' start-up lines are in `log`.
    EXPECT_EQ(session.answers().rfind("velmaro on " + backEnd->baseURL() + " ", 0), 0u) << session.answers();
    const std::size_t beforeLog = session.answers().size();
    session.send("log");
    EXPECT_TRUE(session.said("-PalAPI-", beforeLog)) << session.answers();
    EXPECT_TRUE(session.said("https://" + backEnd->standIns().palConnectHost + "/palconnectopen", beforeLog))
        << session.answers();
    // The Pal kit reached its stand-in: its answer is logged once it came,
    // so `log` is asked again until it shows it.
    bool received = false;
    for (int round = 0; round < 60 && !received; ++round) {
        const std::size_t before = session.answers().size();
        session.send("log");
        received = NSRunLoop::mainRunLoop()->runUntil(
            [&] { return session.answers().find("Pal kit: policy configuration received", before) != std::string::npos; }, 1);
    }
    EXPECT_TRUE(received) << session.answers();
    // And the Ripple login reached its own.
    session.send("qrlogin start");
    EXPECT_TRUE(session.said("code shown")) << session.answers();
    EXPECT_EQ(session.end(), 0);
    backEnd->stop();
}

// A session that ends while a settlement waits for its answer (the back end
// has made it) waits for the answer and says what came of it, or, when none
// comes in time, that the result is unknown and where to look, which the
// next session says again at its start.
TEST(VelmaroScript, EndingWhileASettlementWaitsTellsWhatCameOfIt) {
    auto backEnd = backend::LocalBackend::start({});
    ASSERT_TRUE(backEnd);
    for (const bool answered : {true, false}) {
        SCOPED_TRACE(answered ? "quit, then the answer" : "end of input, no answer");
        HoldingRelay relay(backEnd->port());
        relay.holdAnswers(HoldingRelay::action("jiesuan"));
        TempSandbox folder;
        LiveSession session("--demo --data " + folder.path() + "/session --backend " + relay.baseURL(),
                            folder.path() + "/answers.txt");
        ASSERT_TRUE(session.started());
        for (const char* step : {"tab 4", "tap 提现", "type #manaTextField 10", "tap #submit"}) session.send(step);
        ASSERT_TRUE(NSRunLoop::mainRunLoop()->runUntil([&] { return relay.held() == 1; }, 60)) << session.answers();
        if (!answered) {
            EXPECT_EQ(session.end(false), 0);
            EXPECT_NE(session.answers().find("结果未知，请在结算明细中确认"), std::string::npos) << session.answers();
            // The next session on the folder tells it at its start.
            LiveSession next("--data " + folder.path() + "/session --backend " + relay.baseURL(),
                             folder.path() + "/next.txt");
            ASSERT_TRUE(next.started());
            EXPECT_TRUE(next.said("from an earlier session, 提现 10: 结果未知，请在结算明细中确认")) << next.answers();
            EXPECT_EQ(next.end(false), 0);
            // Cut short, the kept file is named at the next start and set aside.
            const std::string kept = folder.path() + "/session/sandbox/Library/MoneyRequestsOfUnknownResult.json";
            std::filesystem::resize_file(kept, std::filesystem::file_size(kept) - 5);
            LiveSession damaged("--data " + folder.path() + "/session --backend " + relay.baseURL(),
                                folder.path() + "/damaged.txt");
            ASSERT_TRUE(damaged.started());
            EXPECT_TRUE(damaged.said("from an earlier session, a damaged " + kept)) << damaged.answers();
            EXPECT_TRUE(damaged.said("set aside as " + kept + ".damaged) may hold a 提现: 结果未知，请在结算明细中确认"))
                << damaged.answers();
            EXPECT_EQ(damaged.end(false), 0);
            continue;
        }
        session.send("quit");
        ASSERT_TRUE(session.said("waiting up to")) << session.answers();
        const std::size_t waiting = session.answers().size();
        relay.release();
        EXPECT_TRUE(session.said("提交成功", waiting)) << session.answers();
        EXPECT_EQ(session.end(false), 0);
    }
    backEnd->stop();
}

TEST(VelmaroScript, SessionFoldersAndScriptsAreCheckedBeforeAnythingRuns) {
    TempSandbox folder;
    // --fresh never empties a folder velmaro did not make.
    const std::string own = folder.path() + "/own";
    std::filesystem::create_directories(own);
    std::ofstream(own + "/keep.txt") << "mine";
    std::ofstream(folder.path() + "/quit.txt") << "quit\n";
    const auto command = runVelmaro;
    auto refused = command("--fresh --data " + own + " --script " + folder.path() + "/quit.txt");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find(".velmaro-session"), std::string::npos) << refused.output;
    EXPECT_TRUE(std::filesystem::exists(own + "/keep.txt"));
    EXPECT_EQ(command("--data '' --script " + folder.path() + "/quit.txt").exitCode, 2);

    // A folder velmaro made is emptied by --fresh.
    const std::string session = folder.path() + "/session";
    ASSERT_EQ(command("--data " + session + " --script " + folder.path() + "/quit.txt").exitCode, 0);
    std::ofstream(session + "/stale.txt") << "old";
    ASSERT_EQ(command("--fresh --data " + session + " --script " + folder.path() + "/quit.txt").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(session + "/stale.txt"));

    // A script must be a file, and that is known before --fresh empties
    // anything; CR LF line ends are read as line ends.
    auto folderScript = command("--fresh --data " + session + " --script " + folder.path());
    EXPECT_EQ(folderScript.exitCode, 1);
    EXPECT_NE(folderScript.output.find("not a file"), std::string::npos) << folderScript.output;
    std::ofstream(session + "/stale.txt") << "old";
    auto missingScript = command("--fresh --data " + session + " --script " + folder.path() + "/missing.txt");
    EXPECT_EQ(missingScript.exitCode, 1);
    EXPECT_NE(missingScript.output.find("no such file"), std::string::npos) << missingScript.output;
    EXPECT_TRUE(std::filesystem::exists(session + "/stale.txt"));
    auto crlf = runScript(folder.path(), "expect 登录\r\ntype #zhanghuTextField demo\r\nquit\r\n");
    EXPECT_EQ(crlf.exitCode, 0) << crlf.output;

    // Settings that keep the sign-in but cannot be saved are named at the start.
    ASSERT_EQ(command("--demo --data " + session + " --script " + folder.path() + "/quit.txt").exitCode, 0);
    std::string settings;
    for (const auto& entry : std::filesystem::directory_iterator(session + "/sandbox/Library/Preferences"))
        settings = entry.path().string();
    // A kept file that is no regular file is refused before it is opened
    // (a pipe would hold the start for good); damaged settings are named.
    const std::string history = session + "/history";
    ASSERT_EQ(::mkfifo(history.c_str(), 0600), 0);
    EXPECT_NE(command("--data " + session + " --script " + folder.path() + "/quit.txt")
                  .output.find("velmaro: cannot use " + history + ": " + history + " is not a regular file (a named pipe)\n"),
              std::string::npos);
    std::filesystem::remove(history);
    std::ofstream(settings) << "damaged";
    EXPECT_NE(command("--demo --data " + session + " --script " + folder.path() + "/quit.txt")
                  .output.find("velmaro: the app's settings " + settings + " are damaged (they hold no settings the app "
                               "can read): the app starts signed out, and saves its settings anew over them\n"),
              std::string::npos);
    UnwritablePath readOnly(settings);
    if (!readOnly.made()) GTEST_SKIP() << "the file system keeps no immutable flag";
    EXPECT_NE(command("--data " + session + " --script " + folder.path() + "/quit.txt")
                  .output.find("velmaro: the app's settings cannot be saved: " + settings +
                               " is not writable (no permission to write it): a sign-in or sign-out in this session "
                               "is not kept for the next one\n"),
              std::string::npos);
}

TEST(VelmaroScript, ARippleAnswerWithNothingOutIsDroppedAndPeersListsTheRippleApp) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(),
                             "open " + KXAppConfiguration::rippleAppId() + "://pay/?ret=0&returnKey=k\n"
                             "log\n"
                             "peers\n");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    // No payment is out: the kit drops the answer rather than tell the app.
    EXPECT_NE(outcome.output.find("rplog:reply with no request of its kind out: dropped"), std::string::npos)
        << outcome.output;
    EXPECT_EQ(outcome.output.find("回调处理"), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("Ripple: nothing received"), std::string::npos) << outcome.output;
}

TEST(VelmaroScript, TheMineTabScriptOpensMenuEntriesAndSignsOut) {
    TempSandbox folder;
    std::ifstream file(std::string(VELMARO_RUNNER_SCRIPTS_DIR) + "/mine-tab.txt");
    ASSERT_TRUE(file);
    std::string script((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    auto outcome = runScript(folder.path(), script);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    // The tab, seven entries, the tab's end and the sign-in screen.
    for (int shot = 1; shot <= 10; ++shot) {
        char name[32];
        std::snprintf(name, sizeof name, "/shot-%03d.png", shot);
        EXPECT_TRUE(UIImage::imageWithContentsOfFile(folder.path() + "/session/shots" + name)) << name;
    }
    // Signed out: the next session on the same folder starts at sign-in.
    auto again = runScript(folder.path(), "expect 登录\n", "", false);
    EXPECT_EQ(again.exitCode, 0) << again.output;
}

TEST(VelmaroScript, QrLoginSavesTheCodeAndThePhoneScansAndConfirmsIt) {
    TempSandbox folder;
    auto outcome = runScript(folder.path(),
                             "qrlogin start\n"
                             "qrlogin scan\n"
                             "qrlogin scan\n"
                             "qrlogin allow\n"
                             "qrlogin start\n"
                             "qrlogin scan\n"
                             "qrlogin deny\n");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_TRUE(UIImage::imageWithContentsOfFile(folder.path() + "/session/shots/qrlogin-1.png")) << outcome.output;
    for (const char* said : {"code shown", "scanned", "the phone has already scanned the code",
                             "finished: allowed on the phone, code ", "finished: refused on the phone", "no QR login under way"})
        EXPECT_NE(outcome.output.find(said), std::string::npos) << said << "\n" << outcome.output;
    // A code whose picture cannot be saved starts no login: no phone scans it.
    const std::string shots = folder.path() + "/session/shots";
    std::filesystem::remove_all(shots);
    std::ofstream(shots) << "a file";
    auto unsaved = runCommand("printf 'qrlogin start\\nqrlogin scan\\n' | " + std::string(VELMARO_RUNNER_EXECUTABLE) +
                              " --data " + folder.path() + "/session");
    EXPECT_NE(unsaved.output.find("qrlogin: cannot save the QR code: cannot write " + shots + "/qrlogin-1.png: " + shots +
                                  " is a file, not a folder: no QR login is started\nqrlogin: no QR code yet"),
              std::string::npos)
        << unsaved.output;
    std::filesystem::remove(shots);
    auto premature = runScript(folder.path(), "qrlogin allow\n");
    EXPECT_EQ(premature.exitCode, 1);
    EXPECT_NE(premature.output.find("no QR code yet"), std::string::npos) << premature.output;
    // Allowed or denied before the phone scanned the code: the answer says to scan first.
    for (const std::string action : {"allow", "deny"}) {
        auto unscanned = runScript(folder.path(), "qrlogin start\nqrlogin " + action + "\n");
        EXPECT_EQ(unscanned.exitCode, 1);
        EXPECT_NE(unscanned.output.find("qrlogin: the phone has not scanned the code: qrlogin scan first, then qrlogin " +
                                        action),
                  std::string::npos)
            << unscanned.output;
    }
}

namespace {

// Runs a script of tests/runner/scripts in a fresh session of `folder`.
RunOutcome runRepositoryScript(const TempSandbox& folder, const std::string& name) {
    std::ifstream file(std::string(VELMARO_RUNNER_SCRIPTS_DIR) + "/" + name);
    std::string script((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (script.empty()) return {-1, "no script " + name};
    return runScript(folder.path(), script);
}

}  // namespace

TEST(VelmaroScript, TheOnlinePaymentScriptPaysByThePagesLinksAndEndsOnThePaidPages) {
    TempSandbox folder;
    auto outcome = runRepositoryScript(folder, "online-payment.txt");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    // Each payment app was handed its link and paid the order.
    EXPECT_NE(outcome.output.find("ripple://wap/pay?oid="), std::string::npos) << outcome.output;
    EXPECT_NE(outcome.output.find("alipay://alipayclient/?oid="), std::string::npos) << outcome.output;
    std::size_t paid = 0;
    for (auto at = outcome.output.find("pay: paid"); at != std::string::npos; at = outcome.output.find("pay: paid", at + 1))
        ++paid;
    EXPECT_EQ(paid, 2u) << outcome.output;
    EXPECT_TRUE(UIImage::imageWithContentsOfFile(folder.path() + "/session/shots/shot-005.png")) << outcome.output;
}

TEST(VelmaroScript, TheRealNameScriptLeavesTheFormByItsBackButton) {
    TempSandbox folder;
    auto outcome = runRepositoryScript(folder, "real-name-form.txt");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.output;
    EXPECT_TRUE(UIImage::imageWithContentsOfFile(folder.path() + "/session/shots/shot-002.png")) << outcome.output;
}

// One session at a time on a folder: a second one, fresh or not, is
// refused at its start, naming the folder, and the first goes on.
TEST(VelmaroScript, AFolderALiveSessionHoldsIsRefusedToASecondOne) {
    TempSandbox folder;
    const std::string session = folder.path() + "/session", said = folder.path() + "/live.txt";
    LiveSession live("--data " + session, said);
    ASSERT_TRUE(live.started());
    live.send("shot");
    ASSERT_TRUE(live.said("shot-001.png"));

    std::ofstream(folder.path() + "/quit.txt") << "quit\n";
    const auto second = [&](const std::string& fresh) {
        return runVelmaro("--data " + session + fresh + " --script " + folder.path() + "/quit.txt");
    };
    for (const auto& [fresh, why] : {std::pair(" --fresh", "--fresh empties it only when none is"),
                                     std::pair("", "one session at a time uses a folder")}) {
        auto refused = second(fresh);
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_EQ(refused.output, "velmaro: a session is using " + session + ": " + why +
                                      " (quit that session or choose another --data)\n");
    }
    live.send("shot");
    EXPECT_TRUE(live.said("shot-002.png")) << live.answers();
    EXPECT_TRUE(std::filesystem::exists(session + "/shots/shot-001.png"));

    // Once the session ended, the folder is the fresh one's to empty.
    EXPECT_EQ(live.end(), 0);
    EXPECT_EQ(second(" --fresh").exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(session + "/shots/shot-001.png"));
}

// What a session keeps is its user's alone (the back end's database holds
// the payment provider's secret): made so, and a folder an earlier version
// left open to others is closed at the start, but what a link in it names.
TEST(VelmaroScript, WhatASessionKeepsIsItsUsersAlone) {
    namespace fs = std::filesystem;
    TempSandbox folder;
    const std::string session = folder.path() + "/session", outside = folder.path() + "/outside.txt";
    const auto openToOthers = [&] {
        std::vector<std::string> open;
        for (fs::recursive_directory_iterator entry(session), end; entry != end; ++entry)
            if (!entry->is_symlink() && (fs::status(entry->path()).permissions() & fs::perms(077)) != fs::perms::none)
                open.push_back(entry->path().string());
        if ((fs::status(session).permissions() & fs::perms(077)) != fs::perms::none) open.push_back(session);
        return open;
    };
    auto made = runScript(folder.path(), "tab 4\nshot\n", "--demo");
    ASSERT_EQ(made.exitCode, 0) << made.output;
    EXPECT_EQ(openToOthers(), std::vector<std::string>{});

    std::ofstream(outside) << "not the session's";
    fs::permissions(outside, fs::perms(0644));
    fs::create_symlink(outside, session + "/sandbox/Documents/link");
    for (fs::recursive_directory_iterator entry(session), end; entry != end; ++entry)
        if (!entry->is_symlink()) fs::permissions(entry->path(), fs::perms(entry->is_directory() ? 0755 : 0644));
    fs::permissions(session, fs::perms(0755));
    auto kept = runScript(folder.path(), "quit\n", "", false);
    ASSERT_EQ(kept.exitCode, 0) << kept.output;
    EXPECT_EQ(openToOthers(), std::vector<std::string>{});
    EXPECT_EQ(fs::status(outside).permissions(), fs::perms(0644));
}

// A session folder removed under a running session: the next command says
// so, and shot does not make the folder anew.
TEST(VelmaroScript, ASessionSaysWhenItsFolderIsRemovedUnderIt) {
    TempSandbox folder;
    const std::string session = folder.path() + "/session";
    LiveSession live("--data " + session, folder.path() + "/live.txt");
    ASSERT_TRUE(live.started());
    ASSERT_TRUE(live.said("velmaro on"));
    std::filesystem::remove_all(session);
    live.send("wait 0");
    const std::string gone = "the session folder " + session + " was removed while the session ran";
    EXPECT_TRUE(live.said(gone + ": nothing the session stores there is kept from now on"));
    live.send("shot");
    EXPECT_TRUE(live.said("shot: " + gone + " (shot FILE saves the picture elsewhere)"));
    live.send("qrlogin start");
    EXPECT_TRUE(live.said("qrlogin: " + gone + " (the QR code is saved there, so no login starts)"));
    EXPECT_EQ(live.end(), 0);
    EXPECT_FALSE(std::filesystem::exists(session));
}

// A shot on a full disk, or one out of inodes, names the cause and leaves no
// file: the disk is a small one of the session's own, which only the
// superuser may make.
TEST(VelmaroScript, AShotOnAFullDiskSaysSoAndLeavesNoFile) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser makes a disk of its own";
    TempSandbox folder;
    const std::string disk = folder.path() + "/disk", script = folder.path() + "/steps.txt";
    std::filesystem::create_directory(disk);
    std::ofstream(script) << "shot " << disk << "/x.png\n";
    for (const auto& [size, cause] : {std::pair("size=4k", "no space left for " + disk + ")"),
                                      std::pair("nr_inodes=1", "no room for a new file in " + disk + ": no inodes left)")}) {
        auto outcome = runCommand("unshare -m sh -c 'mount -t tmpfs -o " + std::string(size) + " tmpfs " + disk +
                                  " || exit; " + VELMARO_RUNNER_EXECUTABLE + " --data " + folder.path() +
                                  "/session --script " + script + "; echo \"left: [$(ls -A " + disk + ")]\"'");
        if (outcome.output.find("left:") == std::string::npos) GTEST_SKIP() << "no disk of its own: " << outcome.output;
        const std::string said = "shot: cannot write " + disk + "/x.png: the disk is full (" + cause + "\n";
        EXPECT_NE(outcome.output.find(said + "step 1 failed\nleft: []"), std::string::npos) << outcome.output;
    }
}

// A session killed while it writes a shot (by the limit on the size of the
// files it may write, met only by the picture: it has no back end of its
// own) leaves no numbered picture behind, empty or cut.
TEST(VelmaroScript, AShotCutShortLeavesNoNumberedPicture) {
    TempSandbox folder;
    const std::string shots = folder.path() + "/session/shots", script = folder.path() + "/steps.txt";
    std::ofstream(script) << "shot\n";
    auto outcome = runCommand("ulimit -f 16; " + std::string(VELMARO_RUNNER_EXECUTABLE) + " --data " + folder.path() +
                              "/session --backend http://127.0.0.1:1/ --script " + script);
    EXPECT_NE(outcome.exitCode, 0) << outcome.output;
    EXPECT_NE(outcome.output.find("velmaro on"), std::string::npos) << outcome.output;
    std::error_code error;
    for (std::filesystem::directory_iterator entry(shots, error), end; !error && entry != end; entry.increment(error))
        EXPECT_FALSE(entry->path().filename().string().starts_with("shot-")) << entry->path();
}

// A session at a terminal told to end (SIGTERM, or its terminal closed)
// ends as after quit, saving the lines typed in its history, a line of 600
// Chinese characters among them. A save killed earlier left its new file,
// removed at the start; a history that cannot be read is told and kept.
// Told to end in the middle of a long command, it ends at once.
TEST(VelmaroScript, ASessionEndedAtItsTerminalKeepsItsHistory) {
    std::string longLine;
    for (int i = 0; i < 600; ++i) longLine += "中";
    for (const auto& [closed, earlier] : {std::pair(false, ""), std::pair(true, ""), std::pair(false, "not a history\n")}) {
        TempSandbox folder;
        const std::string session = folder.path() + "/session", runner = VELMARO_RUNNER_EXECUTABLE;
        const std::string leftover = session + "/.history.AbC123";
        std::filesystem::create_directories(session);
        if (*earlier) std::ofstream(session + "/history") << earlier;
        std::ofstream{leftover};
        const int terminal = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_TRUE(terminal >= 0 && ::grantpt(terminal) == 0 && ::unlockpt(terminal) == 0);
        const std::string side = ::ptsname(terminal);
        const pid_t child = ::fork();
        if (child == 0) {
            ::setsid();
            for (int stream : {0, 1, 2}) ::dup2(::open(side.c_str(), O_RDWR), stream);
            ::execl(runner.c_str(), runner.c_str(), "--data", session.c_str(), "--backend", "http://127.0.0.1:1/", nullptr);
            ::_exit(127);
        }
        std::string said;
        // Runs until `done`, reading what the session shows on its terminal.
        const auto until = [&](const std::function<bool()>& done) {
            return NSRunLoop::mainRunLoop()->runUntil([&] {
                char buffer[4096];
                for (ssize_t got; (got = ::read(terminal, buffer, sizeof buffer)) > 0;) said.append(buffer, got);
                return done();
            }, 60);
        };
        const auto prompted = [&](std::size_t times) {
            return until([&] {
                std::size_t seen = 0;
                for (auto at = said.find("velmaro> "); at != std::string::npos; at = said.find("velmaro> ", at + 1)) ++seen;
                return seen >= times;
            });
        };
        EXPECT_TRUE(prompted(1)) << said;
        EXPECT_FALSE(std::filesystem::exists(leftover));
        // Typed as fast as the terminal takes it.
        const std::string typed = "wait 0\r" + longLine + "\r";
        std::size_t sent = 0;
        EXPECT_TRUE(until([&] {
            const ssize_t wrote = ::write(terminal, typed.data() + sent, typed.size() - sent);
            sent += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
            return sent == typed.size();
        }));
        EXPECT_TRUE(prompted(3)) << said;
        EXPECT_NE(said.find(longLine + ": there is no such command"), std::string::npos) << said;
        // Told to end in the middle of a long command, it ends at once.
        const std::size_t waiting = said.size();
        ASSERT_EQ(::write(terminal, "wait 600\r", 9), 9);
        EXPECT_TRUE(until([&] { return said.find("\n", waiting) != std::string::npos; })) << said;
        closed ? ::close(terminal) : ::kill(child, SIGTERM);
        int status = 0;
        const bool ended = NSRunLoop::mainRunLoop()->runUntil([&] { return ::waitpid(child, &status, WNOHANG) == child; }, 60);
        if (!ended) ::kill(child, SIGKILL), ::waitpid(child, &status, 0);
        EXPECT_TRUE(ended);
        if (!closed) ::close(terminal);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << closed << " " << status;
        std::ifstream history(session + "/history");
        const std::string kept((std::istreambuf_iterator<char>(history)), std::istreambuf_iterator<char>());
        if (*earlier) {
            EXPECT_EQ(kept, earlier);
            EXPECT_NE(said.find("velmaro: the command history cannot be read: " + session +
                                "/history is not a command history: this session's lines are not saved over it"),
                      std::string::npos)
                << said;
        } else {
            EXPECT_NE(kept.find("\nwait\\0400\n" + longLine + "\nwait\\040600\n"), std::string::npos) << kept;  // a space as \040
        }
    }
}

TEST(VelmaroScript, ASessionsWorkIsThereInTheNextSessionUntilAFreshOne) {
    TempSandbox folder;
    auto added = runScript(folder.path(),
                           "tab 4\n"
                           "tap 添加下级\n"
                           "type #yonghuTextField keptname\n"
                           "type #mimaTextFeild 123456\n"
                           "type #phoneTextFeild 13800000000\n"
                           "tap 初级\n"
                           "tap 确认添加\n"
                           "expect 我的下级\n",
                           "--demo --screen 320x568@1");  // the smallest screen takes the whole form
    ASSERT_EQ(added.exitCode, 0) << added.output;
    // The menu's first row, then one further down it.
    const std::string listed = "tab 4\nexpect 推广码\ntap 我的下级\nexpect keptname\n";
    auto next = runScript(folder.path(), listed, "--demo", false);
    EXPECT_EQ(next.exitCode, 0) << next.output;
    // A fresh one lists the demo team, newest first, without it.
    auto fresh = runScript(folder.path(), "tab 4\nexpect 推广码\ntap 我的下级\nexpect songjia\nscreen\n", "--demo");
    EXPECT_EQ(fresh.exitCode, 0) << fresh.output;
    EXPECT_EQ(fresh.output.find("keptname"), std::string::npos) << fresh.output;
}
