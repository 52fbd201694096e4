#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "BackendClient.h"
#include "tests/support/TempSandbox.h"

extern char** environ;

namespace {

// Starts the executable with its output on a pipe.
struct RunningBackend {
    pid_t pid = -1;
    FILE* output = nullptr;

    explicit RunningBackend(std::vector<std::string> arguments) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        arguments.insert(arguments.begin(), VELMARO_BACKEND_EXECUTABLE);
        std::vector<char*> argv;
        for (auto& argument : arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output = fdopen(pipeEnds[0], "r");
    }
    std::string line() {
        char buffer[256];
        if (!output || !std::fgets(buffer, sizeof buffer, output)) return {};
        std::string text(buffer);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
    // Waits for it to end by itself; its exit code (-1 when killed).
    int exitCode() {
        int status = -1;
        waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // Sends `signal` and answers the exit status.
    int stop(int signal = SIGTERM) {
        int status = -1;
        if (pid > 0) {
            kill(pid, signal);
            waitpid(pid, &status, 0);
            pid = -1;
        }
        return status;
    }
    ~RunningBackend() {
        stop(SIGKILL);
        if (output) fclose(output);
    }
};

}  // namespace

TEST(Executable, PortZeroPrintsTheChosenPortAndServesUntilTerminated) {
    RunningBackend backend({"--port", "0"});
    ASSERT_GT(backend.pid, 0);
    const std::string port = backend.line();
    ASSERT_FALSE(port.empty());
    EXPECT_EQ(backend.line(), "http://127.0.0.1:" + port + "/");
    BackendClient client(std::stoi(port));
    EXPECT_EQ(client.login("demo", "123456").json["code"], 1);
    const int status = backend.stop();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(Executable, RefusesUnknownFlagsAndBadPorts) {
    const std::vector<std::vector<std::string>> refused = {
        {"--colour"}, {"--port"}, {"--port", "http"}, {"--port", "70000"}, {"--db", ""}};
    for (const auto& arguments : refused) {
        RunningBackend backend(arguments);
        ASSERT_GT(backend.pid, 0);
        EXPECT_EQ(backend.exitCode(), 2);
    }
    // --help is the usage asked for, on standard output.
    RunningBackend help({"--help"});
    ASSERT_GT(help.pid, 0);
    EXPECT_EQ(help.line().rfind("usage: velmaro-backend ", 0), 0u);
    EXPECT_EQ(help.exitCode(), 0);
}

TEST(Executable, PrintsTheAnalyticsCollectorOnTheChosenPort) {
    RunningBackend backend({"--port", "0", "--collector-port", "0"});
    ASSERT_GT(backend.pid, 0);
    const std::string port = backend.line();
    backend.line();
    const std::string collector = backend.line();
    const std::string prefix = "analytics collector 127.0.0.1:";
    ASSERT_EQ(collector.substr(0, prefix.size()), prefix);
    const int collectorPort = std::stoi(collector.substr(prefix.size()));
    EXPECT_GT(collectorPort, 0);
    EXPECT_NE(std::to_string(collectorPort), port);
    EXPECT_EQ(backend.stop(), 0);

    RunningBackend refused({"--collector-port", "70000"});
    int status = -1;
    waitpid(refused.pid, &status, 0);
    refused.pid = -1;
    EXPECT_EQ(WEXITSTATUS(status), 2);
}

// A disk whose table of files (its inodes) is full, with bytes free, is
// named full, and the intact database on it not damaged: the disk is a
// small one of the test's own, which only the superuser may make.
TEST(Executable, ADiskWithNoRoomForNewFilesIsNamedFull) {
    if (::geteuid() != 0) GTEST_SKIP() << "only the superuser makes a disk of its own";
    const TempFolder folder("velmaro-storage");
    const std::string intact = folder / "backend.db", disk = folder / "disk";
    ASSERT_NE(backend::LocalBackend::start({0, intact}), nullptr);
    std::filesystem::create_directory(disk);
    FILE* shell = popen(("unshare -m sh -c 'mount -t tmpfs -o size=8m,nr_inodes=64 tmpfs " + disk + " || exit; cp " +
                         intact + " " + disk + "/ && i=0; while touch " + disk + "/f$i 2>/dev/null; do i=$((i+1)); done; " +
                         VELMARO_BACKEND_EXECUTABLE + " --db " + disk + "/backend.db; echo \"ended $?\"' 2>&1")
                            .c_str(),
                        "r");
    ASSERT_NE(shell, nullptr);
    std::string said;
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, shell)) said.append(buffer, read);
    pclose(shell);
    if (said.find("ended") == std::string::npos) GTEST_SKIP() << "no disk of its own: " << said;
    EXPECT_EQ(said, "velmaro-backend: cannot open " + disk + "/backend.db: the disk is full (no room for a new file in " +
                        disk + ": no inodes left)\nended 1\n");
}
