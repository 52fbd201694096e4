#pragma once

#include <optional>
#include <string>
#include <vector>

// What the command line asks of a runner session.
struct RunnerOptions {
    // The session folder: the app's sandbox, the device folder and shots.
    std::string dataFolder;
    bool fresh = false;
    double screenWidth = 375;
    double screenHeight = 667;
    double screenScale = 2;
    bool notched = false;
    // Another back end instead of the embedded one.
    std::optional<std::string> backendURL;
    std::optional<std::string> scriptFile;
    // How long tap, tab and expect let the app run for their target to show
    // up, and every command for the screen to settle.
    static constexpr double kDefaultTargetWaitSeconds = 5;
    double targetWaitSeconds = kDefaultTargetWaitSeconds;
    // The longest a session waits at once: for a target, or at `wait`.
    static constexpr double kLongestWaitSeconds = 600;
    bool demo = false;
    bool help = false;

    // The options, or nothing with the reason in `error`.
    static std::optional<RunnerOptions> parse(const std::vector<std::string>& arguments, std::string& error);
    static std::string usage();
    // "5", "0.5": seconds as a user writes them.
    static std::string seconds(double value);
    // "$XDG_DATA_HOME/velmaro", else "~/.local/share/velmaro".
    static std::string defaultDataFolder();
};
