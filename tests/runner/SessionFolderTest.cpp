#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <grp.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "backend/LocalBackend.h"
#include "backend/LoopbackTLSServer.h"
#include "backend/TemporaryFolder.h"
#include "foundation/NSRunLoop.h"
#include "foundation/FileProblem.h"
#include "runner/SessionFolder.h"
#include "tests/support/TempSandbox.h"
#include "tests/support/UnwritablePath.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// The back-end folders, in shared memory and among the temporary files,
// whose mark names the process.
std::vector<fs::path> foldersOf(pid_t process) {
    std::vector<fs::path> found;
    std::error_code error;
    for (const fs::path& base : {fs::path("/dev/shm"), fs::temp_directory_path(error)}) {
        std::error_code listing;
        for (fs::directory_iterator entry(base, listing), end; !listing && entry != end; entry.increment(listing)) {
            std::ifstream mark(entry->path() / backend::TemporaryFolder::kOwnerMark);
            std::string owner;
            if (std::getline(mark, owner) && owner == std::to_string(process)) found.push_back(entry->path());
        }
    }
    return found;
}

}  // namespace

// Everything a session's back end keeps (its database, the analytics
// events, the stand-ins' TLS identity) is in the session folder: a session
// killed once its back end runs leaves no folder among the temporary files
// or in shared memory for a later start to clear.
TEST(KilledSession, LeavesNoFolderOutsideItsSessionFolder) {
    TempSandbox folder;
    const std::string script = folder.path() + "/steps.txt";
    std::ofstream(script) << "wait 600\n";
    const std::string data = folder.path() + "/session";
    std::vector<std::string> arguments = {VELMARO_RUNNER_EXECUTABLE, "--fresh", "--data", data, "--script", script};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
    pid_t session = 0;
    ASSERT_EQ(posix_spawn(&session, argv[0], &quiet, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&quiet);

    // Killed once its back end serves (the folder records its address).
    const bool started =
        NSRunLoop::mainRunLoop()->runUntil([&] { return fs::exists(data + "/backend-address"); }, 120);
    const auto made = foldersOf(session);
    ::kill(session, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(session, &status, 0), session);
    ASSERT_TRUE(started);
    EXPECT_TRUE(made.empty()) << made.front();
    EXPECT_TRUE(fs::exists(data + "/backend/" + backend::LoopbackIdentity::kKeyFile));
}

TEST(SessionFolder, ALinkToAFolderIsThatFolder) {
    TempSandbox folder;
    const fs::path target = fs::path(folder.path()) / "target", link = fs::path(folder.path()) / "link";
    fs::create_directory(target);
    fs::create_directory_symlink(target, link);
    {
        SessionFolder::Hold hold;
        EXPECT_EQ(SessionFolder::prepare(link.string(), false, hold), std::nullopt);
    }
    // --fresh empties it but for its mark, which a kill part-way must keep.
    std::ofstream(target / SessionFolder::kMarkName) << "kept";
    std::ofstream(target / "stale") << "old";
    SessionFolder::Hold hold;
    EXPECT_EQ(SessionFolder::prepare(link.string(), true, hold), std::nullopt);
    EXPECT_FALSE(fs::exists(target / "stale"));
    EXPECT_EQ(fs::file_size(target / SessionFolder::kMarkName), 4u);
}

// A --data path whose parent is missing is refused, naming where it ends.
TEST(SessionFolder, APathThatLeadsNowhereIsRefusedNamingWhere) {
    TempSandbox sandbox;
    const std::string base = sandbox.path();
    fs::create_directory_symlink(base + "/gone", base + "/link");
    for (const auto& [path, why] : {std::pair(base + "/missing/session", "the folder " + base + "/missing is not there"),
                                    std::pair(base + "/link/session", base + "/link is a link to " + base +
                                                                          "/gone, which is not there")}) {
        SessionFolder::Hold hold;
        EXPECT_EQ(SessionFolder::prepare(path, false, hold), "cannot make " + path + ": " + why);
    }
    EXPECT_FALSE(fs::exists(base + "/missing"));
}

// A session writes in its folder from its start: one it may not write is
// refused at once, fresh or not, with the reason in plain words naming the
// folder (not the system's "Permission denied").
TEST(SessionFolder, AFolderThatCannotBeWrittenIsRefusedSayingWhy) {
    TempSandbox sandbox;
    const std::string folder = sandbox.path() + "/session";
    {
        SessionFolder::Hold hold;
        ASSERT_EQ(SessionFolder::prepare(folder, false, hold), std::nullopt);
    }
    UnwritablePath unwritable(folder);
    if (!unwritable.made()) GTEST_SKIP() << "the file system keeps no immutable flag";
    const std::string refused = "cannot use " + folder + ": the folder " + folder +
                                " is not writable (no permission to write in it)";
    for (bool fresh : {false, true}) {
        SessionFolder::Hold hold;
        EXPECT_EQ(SessionFolder::prepare(folder, fresh, hold), refused);
    }
    // A folder to be made in it: the folder that refuses is named.
    SessionFolder::Hold hold;
    EXPECT_EQ(SessionFolder::prepare(folder + "/inner", false, hold),
              "cannot make " + folder + "/inner: the folder " + folder +
                  " is not writable (no permission to write in it)");
}

// A folder the session may write in but not read (-wx) is refused as one
// it cannot read, not as one it cannot write. The superuser reads every
// folder, so the runner runs as another user.
TEST(SessionFolder, AFolderThatCannotBeReadIsRefusedSayingSo) {
    TempSandbox sandbox;
    const std::string folder = sandbox.path() + "/session";
    {
        SessionFolder::Hold hold;
        ASSERT_EQ(SessionFolder::prepare(folder, false, hold), std::nullopt);
    }
    const std::string script = sandbox.path() + "/steps.txt";
    std::ofstream(script) << "screen\n";
    constexpr uid_t kNobody = 65534;
    const bool asRoot = ::geteuid() == 0;
    // The way to it is open to all, the folder itself only to write in.
    fs::permissions(sandbox.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    fs::permissions(script, fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    fs::permissions(folder, fs::perms::owner_write | fs::perms::owner_exec);
    if (asRoot) {
        ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    }
    // The build folder may be closed to that user (a checkout in a folder
    // of mode 700): the runner is started through a link in the sandbox,
    // which it reaches. The refusal comes before the runner reads anything
    // of the build.
    std::string runnerPath = sandbox.path() + "/velmaro";
    std::error_code notLinked;
    fs::create_hard_link(VELMARO_RUNNER_EXECUTABLE, runnerPath, notLinked);
    if (notLinked) runnerPath = VELMARO_RUNNER_EXECUTABLE;
    std::vector<std::string> arguments = {runnerPath, "--data", folder, "--script", script};
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int said[2];
    ASSERT_EQ(::pipe(said), 0);
    const pid_t runner = ::fork();
    ASSERT_GE(runner, 0);
    if (runner == 0) {
        // Only calls safe after a fork of a process with threads.
        ::dup2(said[1], 2);
        ::close(said[0]);
        if (asRoot && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) ::_exit(77);
        ::execve(argv[0], argv.data(), environ);
        ::_exit(78);
    }
    ::close(said[1]);
    std::string refusal;
    char buffer[512];
    for (ssize_t got; (got = ::read(said[0], buffer, sizeof buffer)) > 0;) refusal.append(buffer, got);
    ::close(said[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(runner, &status, 0), runner);
    fs::permissions(folder, fs::perms::owner_all);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 77) GTEST_SKIP() << "the runner cannot run as another user";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 78)
        GTEST_SKIP() << "the runner cannot be reached by another user from " << runnerPath;
    EXPECT_NE(refusal.find("velmaro: cannot open " + folder + ": the folder " + folder +
                           " cannot be read (no permission to read it)\n"),
              std::string::npos)
        << refusal;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

// The causes the system gives in its words, said in plain ones naming the
// folder a write would change: the nearest one that is there.
TEST(FileProblem, NamesTheCauseAndTheFolderItStrikes) {
    TempSandbox sandbox;
    const std::string missing = sandbox.path() + "/shots/shot-001.png";
    EXPECT_EQ(FileProblem::why(missing, ENOSPC), "the disk is full (no space left for " + sandbox.path() + ")");
    EXPECT_EQ(FileProblem::why(missing, EDQUOT), "the disk quota is used up (no space left for " + sandbox.path() + ")");
    EXPECT_EQ(FileProblem::why(missing, EROFS),
              "the folder " + sandbox.path() + " is read-only (its disk is mounted read-only)");
    EXPECT_EQ(FileProblem::why(sandbox.path(), EROFS),
              "the folder " + sandbox.path() + " is read-only (its disk is mounted read-only)");
    const std::string file = sandbox.path() + "/history";
    std::ofstream(file) << "tap 登录\n";
    EXPECT_EQ(FileProblem::why(file, EACCES), file + " is not writable (no permission to write it)");
}
