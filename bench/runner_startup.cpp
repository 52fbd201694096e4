// A runner session that only quits against a bare start of the same binary
// (`velmaro --help`), run in turns so both see the same machine: the mean
// wall time of each and their ratio. The session runs on a fresh folder
// each time, as `--fresh` would leave it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

constexpr int kRuns = 15;

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

void QuitOnlySession(benchmark::State& state) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / ("runner-startup-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string script = (folder / "quit.txt").string();
    std::ofstream(script) << "quit\n";
    for (auto _ : state) {
        double bare = 0, session = 0;
        bool failed = false;
        for (int i = 0; i < kRuns + 1; ++i) {
            const double help = run({"--help"});
            const double quit = run({"--data", (folder / "session").string(), "--fresh", "--script", script});
            failed |= help < 0 || quit < 0;
            if (i == 0) continue;  // warm-up
            bare += help;
            session += quit;
        }
        if (failed) state.SkipWithError("a run failed");
        state.counters["help_ms"] = bare / kRuns;
        state.counters["session_ms"] = session / kRuns;
        state.counters["ratio"] = session / bare;
    }
    std::filesystem::remove_all(folder);
}

}  // namespace

BENCHMARK(QuitOnlySession)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);
