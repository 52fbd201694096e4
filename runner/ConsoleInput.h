#pragma once

#include <optional>
#include <string>

// Reads the runner's command lines: from a terminal with line editing and
// history (libedit), keeping the app's main loop running while it waits, so
// timers, answers and animations go on at the prompt; from a pipe line by line.
class ConsoleInput {
public:
    // History is loaded from and saved to `historyFile`.
    explicit ConsoleInput(std::string historyFile);
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // The next line, or nothing at the end of the input.
    std::optional<std::string> readLine(const std::string& prompt);

private:
    std::optional<std::string> readFromTerminal(const std::string& prompt);

    std::string historyFile_;
    bool interactive_;
};
