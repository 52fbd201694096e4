// A runner session that only quits against a bare start of the same binary
// (`velmaro --help`), run in turns so all see the same machine: the median
// wall time of each and their ratio. The session runs on a folder kept from
// the run before, as a promoter's next start finds it; the same session on
// a fresh folder (`--fresh`: the database made and seeded, a new TLS
// identity) is given beside it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 31;

// The wall time of one run of the runner with `arguments`, its output
// dropped; negative when it fails.
double run(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    std::string program = VELMARO_RUNNER_EXECUTABLE;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (auto& argument : copies) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const auto begin = std::chrono::steady_clock::now();
    pid_t child = 0;
    const bool spawned = posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (!spawned || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
}

double median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void QuitOnlySession(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("runner-startup-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string script = (folder / "quit.txt").string();
    std::ofstream(script) << "quit\n";
    const std::vector<std::string> kept{"--data", (folder / "kept").string(), "--script", script};
    const std::vector<std::string> fresh{"--data", (folder / "fresh").string(), "--fresh", "--script", script};
    for (auto _ : state) {
        std::vector<double> bare, session, freshSession;
        bool failed = run(kept) < 0;  // makes the kept folder
        for (int i = 0; i < kRuns + 1; ++i) {
            const double help = run({"--help"});
            const double quit = run(kept);
            const double quitFresh = run(fresh);
            failed |= help < 0 || quit < 0 || quitFresh < 0;
            if (i == 0) continue;  // warm-up
            bare.push_back(help);
            session.push_back(quit);
            freshSession.push_back(quitFresh);
        }
        if (failed) {
            state.SkipWithError("a run failed");
            break;
        }
        state.counters["help_ms"] = median(bare);
        state.counters["session_ms"] = median(session);
        state.counters["ratio"] = median(session) / median(bare);
        state.counters["fresh_ms"] = median(freshSession);
        state.counters["fresh_ratio"] = median(freshSession) / median(bare);
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(QuitOnlySession)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
