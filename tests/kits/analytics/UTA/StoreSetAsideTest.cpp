// A store file with no event row id left is replaced by a fresh one: the
// process may end at any moment of that, and each waiting event still
// reaches the collector exactly once after a restart, counted as sent.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>

#include "foundation/AppSandbox.h"
#include "foundation/NSUserDefaults.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAService.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAStore.h"
#include "tests/kits/analytics/UTA/CountedStoreFixture.h"
#include "tests/support/UnwritablePath.h"
#include "tests/support/ManualClock.h"

extern char** environ;

namespace {

// How the test tells the process it starts which folder to use and at
// which step of the renewal to stop ("step#occurrence"); the process says
// "stopped" (or "done" when it never got there) on descriptor 3.
constexpr const char* kChildFolder = "VELMARO_UTA_SET_ASIDE_SANDBOX";
constexpr const char* kChildStop = "VELMARO_UTA_SET_ASIDE_STOP";
constexpr int kChildSays = 3;
// The event the stopped process was storing when the file ran out of ids.
constexpr const char* kEventBeingStored = R"({"new":1})";
constexpr int kWaiting = 120;

class StoreSetAside : public CountedStoreFixture {
protected:
    // A store file of `waiting` events (the first ten in flight when the
    // last process ended), a user of type 3 and a configuration row, whose
    // id counter is used up.
    std::string prepareFileOutOfIds(int waiting) {
        const std::string path = prepareFile(waiting, 10);
        storeFileRows(path, "update sqlite_sequence set seq = " +
                                std::to_string(std::numeric_limits<std::int64_t>::max()) + " where name = 'events'");
        return path;
    }

    // Starts this test binary on the sandbox to store one event, and ends it
    // with SIGKILL once it has reached `occurrence` times the renewal's
    // `step`. What it said: "stopped" when it got there.
    std::string storeAndKillAt(const std::string& step, int occurrence) {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) return "no pipe";
        const std::string filter =
            "--gtest_filter=StoreSetAsideProcess.DISABLED_StoresAnEventAndStopsAtTheStepItIsTold";
        std::vector<std::string> arguments{"/proc/self/exe", filter, "--gtest_also_run_disabled_tests"};
        std::vector<std::string> variables{std::string(kChildFolder) + "=" + sandbox.path(),
                                           std::string(kChildStop) + "=" + step + "#" + std::to_string(occurrence)};
        for (char** variable = environ; *variable; ++variable) variables.emplace_back(*variable);
        std::vector<char*> argv, envp;
        for (auto& argument : arguments) argv.push_back(argument.data());
        for (auto& variable : variables) envp.push_back(variable.data());
        argv.push_back(nullptr);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, ends[1], kChildSays);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        close(ends[1]);
        std::string said;
        if (spawned == 0) {
            // Until it says a line, or ends without one.
            char byte = 0;
            pollfd readable{ends[0], POLLIN, 0};
            while (poll(&readable, 1, static_cast<int>(kGiveUpAfterSeconds * 1000)) == 1 && read(ends[0], &byte, 1) == 1 &&
                   byte != '\n') {
                said += byte;
            }
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
        }
        close(ends[0]);
        return said;
    }

};

void say(const std::string& line) {
    const std::string whole = line + "\n";
    [[maybe_unused]] const auto written = write(kChildSays, whole.data(), whole.size());
}

}  // namespace

// Run by StoreSetAside.AProcessKilledAtAnyStepLosesNoEventAndSendsNoneTwice
// in a process of its own: stores one event in the store file it is given,
// which has no row id left, and stops for good at the step it is told.
TEST(StoreSetAsideProcess, DISABLED_StoresAnEventAndStopsAtTheStepItIsTold) {
    const char* folder = std::getenv(kChildFolder);
    const char* stop = std::getenv(kChildStop);
    if (!folder || !stop) GTEST_SKIP() << "started by StoreSetAside.AProcessKilledAtAnyStepLosesNoEventAndSendsNoneTwice";
    const std::string where = stop;
    const std::string step = where.substr(0, where.find('#'));
    const int occurrence = std::atoi(where.substr(where.find('#') + 1).c_str());
    NSUserDefaults::resetStandardUserDefaults();
    ASSERT_TRUE(AppSandbox::setRoot(folder));
    int seen = 0;
    RPOUTAStore::setRenewalStepHookForTests([&](const std::string& reached) {
        if (reached != step || ++seen != occurrence) return;
        say("stopped");
        for (;;) pause();
    });
    auto store = make<RPOUTAStore>();
    store->storeEvent(customEvent(kEventBeingStored, 1000), false, [] {});
    store->taskQueue()->sync([] {});
    say("done");
    _exit(0);
}

TEST_F(StoreSetAside, AProcessKilledAtAnyStepLosesNoEventAndSendsNoneTwice) {
    const std::vector<std::pair<std::string, int>> moments{{"fresh file made", 1},
                                                           {"event carried", kWaiting / 2},
                                                           {"fresh file complete", 1},
                                                           {"old file kept aside", 1},
                                                           {"fresh file in place", 1}};
    for (const auto& [step, occurrence] : moments) {
        SCOPED_TRACE(step);
        const std::string path = prepareFileOutOfIds(kWaiting);
        ASSERT_EQ(storeAndKillAt(step, occurrence), "stopped");
        restart();
        // Another event after the restart: the file is renewed now if it
        // was not before.
        ASSERT_TRUE(stored(R"({"after":1})", 2000));
        sendStored();
        EXPECT_EQ(notSentOnce(kWaiting), (std::map<std::string, int>{}));
        EXPECT_EQ(proxy->timesSent({R"({"after":1})"}), std::vector<int>{1});
        EXPECT_LE(proxy->timesSent({kEventBeingStored}).front(), 1);
        EXPECT_EQ(store->storedEventCount(), 0u);
        EXPECT_EQ(store->loadUser()->userType, 3) << "the user row is the one the file held";
        EXPECT_FALSE(std::filesystem::exists(path + ".fresh"));
    }
}

TEST_F(StoreSetAside, AnAsideFileThatCannotBeRemovedStillLetsAFreshFileTakeOver) {
    if (geteuid() != 0) GTEST_SKIP() << "only the superuser can make a file that cannot be removed";
    const std::string path = prepareFileOutOfIds(2);
    const std::string aside = path + ".unusable";
    storeFileRows(aside, "select 1");
    // Immutable while the test runs: it cannot be removed, replaced or renamed over.
    UnwritablePath immutable(aside);
    if (!immutable.made()) GTEST_SKIP() << "this file system or container does not let a file be made immutable";
    restart();
    ASSERT_TRUE(stored(R"({"n":3})", 3));
    ASSERT_TRUE(stored(R"({"n":4})", 4));
    sendStored();
    EXPECT_EQ(storeFileRows(aside, "select count(*) from sqlite_master"), (std::vector<std::vector<std::string>>{{"0"}}))
        << "the aside file stayed as it was";
    EXPECT_EQ(notSentOnce(4), (std::map<std::string, int>{}));
    EXPECT_TRUE(storeFileRows(path, "select * from events").empty());
    EXPECT_EQ(store->storedEventCount(), 0u);
}

TEST_F(StoreSetAside, TheUserRowAndTheConfigurationGoIntoTheFreshFile) {
    const std::string path = prepareFileOutOfIds(2);
    storeFileRows(path, "update user set app_ver = '7.1'");
    restart();
    const std::string uid = store->loadUser()->uid;
    ASSERT_TRUE(stored(R"({"n":3})", 3));
    ASSERT_TRUE(std::filesystem::exists(path + ".unusable")) << "the file was renewed";
    restart();
    auto user = store->loadUser();
    EXPECT_EQ(user->uid, uid);
    EXPECT_EQ(user->userType, 3);
    EXPECT_EQ(user->appVer, "7.1");
    std::vector<std::tuple<std::uint32_t, std::string, std::string, std::uint32_t>> configs;
    store->loadConfig([&](const Ref<RPOUTADataConfig>& config) {
        configs.emplace_back(config->type, config->content, config->md5, config->version);
    });
    EXPECT_EQ(configs, (std::vector<std::tuple<std::uint32_t, std::string, std::string, std::uint32_t>>{
                           {2, R"({"k":"v"})", "m", 4}}));
}
