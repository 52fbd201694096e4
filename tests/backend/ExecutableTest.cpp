#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "BackendClient.h"
#include "RawClient.h"
#include "RawTLSClient.h"
#include "backend/AnalyticsFrame.h"
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

std::string proc(pid_t pid, const std::string& path) { return "/proc/" + std::to_string(pid) + path; }

// The descriptors a process holds, each with what it is ("socket:[inode]", ...).
std::map<int, std::string> descriptorsOf(pid_t pid) {
    std::map<int, std::string> open;
    std::error_code listing, reading;
    for (std::filesystem::directory_iterator it(proc(pid, "/fd"), listing), end; !listing && it != end;
         it.increment(listing))
        open[std::stoi(it->path().filename().string())] = std::filesystem::read_symlink(it->path(), reading).string();
    return open;
}

// The TCP ports a process listens on, each with its descriptor.
std::map<int, int> listenersOf(pid_t pid) {
    std::map<std::string, int> sockets;
    for (const auto& [descriptor, what] : descriptorsOf(pid))
        if (what.rfind("socket:[", 0) == 0) sockets[what.substr(8, what.size() - 9)] = descriptor;
    std::ifstream table("/proc/net/tcp");
    std::map<int, int> listeners;
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string slot, local, remote, state, queues, timer, retransmits, user, timeout, inode;
        fields >> slot >> local >> remote >> state >> queues >> timer >> retransmits >> user >> timeout >> inode;
        if (state == "0A" && sockets.count(inode))
            listeners[std::stoi(local.substr(local.find(':') + 1), nullptr, 16)] = sockets[inode];
    }
    return listeners;
}

// The descriptors a process's epolls watch for nothing (the system lists
// them as watched for errors and hang-ups only): its paused listeners.
std::set<int> pausedIn(pid_t pid) {
    std::set<int> paused;
    for (const auto& [descriptor, what] : descriptorsOf(pid)) {
        if (what != "anon_inode:[eventpoll]") continue;
        std::ifstream info(proc(pid, "/fdinfo/" + std::to_string(descriptor)));
        for (std::string word, watched, events, mask; info >> word;)
            if (word == "tfd:" && info >> watched >> events >> mask && mask == "18") paused.insert(std::stoi(watched));
    }
    return paused;
}

// The processor time a process has used, in clock ticks.
long processorTicks(pid_t pid) {
    std::ifstream file(proc(pid, "/stat"));
    const std::string stat((std::istreambuf_iterator<char>(file)), {});
    std::istringstream fields(stat.substr(stat.rfind(')') + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field) fields >> skipped;  // from its state to its user time
    long user = 0, system = 0;
    fields >> user >> system;
    return user + system;
}

std::string bodyOf(const std::string& answer) {
    const std::size_t head = answer.find("\r\n\r\n");
    return head == std::string::npos ? "" : answer.substr(head + 4);
}

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

// A listener that finds no descriptor left for a client (EMFILE) pauses,
// and is tried again as soon as descriptors come back, though none of its
// own connections ends: the clients queued meanwhile are served, and new
// ones. The back end's descriptors (its alone) are bounded and taken by
// silent clients of the Pal stand-in, while a client waits at the API, the
// Ripple stand-in and the analytics collector.
TEST(Executable, ListenersOutOfDescriptorsServeAgainAsSoonAsSomeComeBack) {
    RunningBackend backend({"--port", "0"});
    ASSERT_GT(backend.pid, 0);
    const int api = std::stoi(backend.line());
    backend.line();
    const std::string collectorLine = backend.line();
    ASSERT_NE(collectorLine.find(':'), std::string::npos) << collectorLine;
    const int collector = std::stoi(collectorLine.substr(collectorLine.rfind(':') + 1));
    std::map<int, int> listeners = listenersOf(backend.pid);
    ASSERT_EQ(listeners.size(), 4u);
    ASSERT_EQ(BackendClient(api).login("demo", "123456").json["code"], 1);  // the API's loops are up
    const std::string closing = " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    // A QR login opened at the Ripple stand-in (the one that opens it), and
    // its poll held.
    int pal = 0, ripple = 0;
    std::string uuid;
    for (const auto& [port, descriptor] : listeners) {
        if (port == api || port == collector) continue;
        RawTLSClient opener(port);
        ASSERT_TRUE(opener.send("GET /connect/sdk/qrconnect?appid=rpapp&noncestr=n&timestamp=1&scope=s&signature=s" +
                                closing));
        const auto opened = nlohmann::json::parse(bodyOf(opener.receive()), nullptr, false);
        const bool isRipple = opened.is_object() && opened.contains("uuid");
        (isRipple ? ripple : pal) = port;
        if (isRipple) uuid = opened.value("uuid", "");
    }
    ASSERT_TRUE(pal && ripple && !uuid.empty());
    const std::string polling = "GET /connect/l/qrconnect?uuid=" + uuid + "&f=json&last=";
    RawTLSClient poll(ripple);
    ASSERT_TRUE(poll.send(polling + "401 HTTP/1.1\r\nHost: x\r\n\r\n"));
    // Polls answered at once, one on each of the stand-in's two loops: the
    // held one has been read by its loop, and nothing the back end makes
    // for a poll is made for the first time while it has no descriptor
    // (the sanitizer checks a new kind of object through a pipe).
    for (int loop = 0; loop < 2; ++loop) {
        RawTLSClient answered(ripple);
        ASSERT_TRUE(answered.send(polling + "0" + closing));
        ASSERT_EQ(answered.receive().rfind("HTTP/1.1 200 ", 0), 0u);
    }

    // No connection left open but the held poll's: none ends while the
    // back end is out of descriptors.
    ASSERT_TRUE(eventually([&] {
        const auto open = descriptorsOf(backend.pid);
        return std::count_if(open.begin(), open.end(), [](const auto& descriptor) {
                   return descriptor.second.rfind("socket:", 0) == 0;
               }) == static_cast<long>(listeners.size()) + 1;
    }));
    const rlim_t bound = descriptorsOf(backend.pid).size() + 16;
    rlimit before{}, low{};
    ASSERT_EQ(::prlimit(backend.pid, RLIMIT_NOFILE, nullptr, &before), 0);
    low = {bound, before.rlim_max};
    ASSERT_EQ(::prlimit(backend.pid, RLIMIT_NOFILE, &low, nullptr), 0);
    // Every descriptor number below the bound taken (one it holds above it,
    // made before, leaves no room) and the Pal stand-in's listener paused,
    // on two looks in a row: a descriptor the sanitizer holds for a moment
    // does not count.
    std::vector<std::unique_ptr<RawClient>> silent;
    int fullLooks = 0;
    ASSERT_TRUE(eventually([&] {
        const auto open = descriptorsOf(backend.pid);
        if (std::distance(open.begin(), open.lower_bound(static_cast<int>(bound))) >= static_cast<long>(bound) &&
            pausedIn(backend.pid).count(listeners[pal]))
            return ++fullLooks == 2;
        fullLooks = 0;
        silent.push_back(std::make_unique<RawClient>(pal));
        return false;
    }));
    RawClient apiWaiting(api), rippleWaiting(ripple), collectorWaiting(collector);
    ASSERT_TRUE(apiWaiting.send("GET /?ct=app&ac=kefu" + closing));
    ASSERT_TRUE(rippleWaiting.send("not a TLS client\r\n"));
    const std::string event = backend::analytics_frame::requestFrame(R"([{"e":"queued"}])");
    ASSERT_TRUE(collectorWaiting.send(event));
    ::shutdown(collectorWaiting.socket(), SHUT_WR);
    ASSERT_TRUE(eventually([&] {
        const std::set<int> paused = pausedIn(backend.pid);
        return paused.count(listeners[api]) && paused.count(listeners[ripple]);
    }));
    // With no descriptor to ask the system whether it is still there, a
    // client that only shut its sending side is kept, its poll held.
    poll.shutdownSending();
    // Half a second to measure, not a wait for something: the collector
    // tries again now and then, not at once over and over.
    const long ticks = processorTicks(backend.pid);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_LT(processorTicks(backend.pid) - ticks, ::sysconf(_SC_CLK_TCK) / 10);

    // Descriptors come back: its bound is raised (none of its clients' is
    // freed first, so that the back end is never again left with one), and
    // then the silent clients leave.
    ASSERT_EQ(::prlimit(backend.pid, RLIMIT_NOFILE, &before, nullptr), 0);
    silent.clear();
    const std::string answer = apiWaiting.receive();
    EXPECT_EQ(answer.rfind("HTTP/1.1 200 ", 0), 0u) << answer;
    rippleWaiting.receive();
    ASSERT_TRUE(rippleWaiting.closedByServer());  // a TLS client comes next: it would wait for ever
    EXPECT_NE(collectorWaiting.receive(), "");
    EXPECT_EQ(BackendClient(api).login("demo", "123456").json["code"], 1);
    for (int port : {pal, ripple}) {
        RawTLSClient fresh(port);
        ASSERT_TRUE(fresh.send("GET /connect/confirm?uuid=" + uuid + closing));
        const std::string confirmed = fresh.receive();
        EXPECT_EQ(confirmed.rfind("HTTP/1.1 ", 0), 0u) << confirmed;
    }
    const auto polled = nlohmann::json::parse(bodyOf(poll.receive()), nullptr, false);
    EXPECT_TRUE(polled.is_object() && polled.value("rp_errcode", 0) == 404) << polled;
    RawClient freshCollector(collector);
    ASSERT_TRUE(freshCollector.send(event));
    ::shutdown(freshCollector.socket(), SHUT_WR);
    EXPECT_NE(freshCollector.receive(), "");
}
