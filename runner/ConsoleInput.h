#pragma once

#include <optional>
#include <string>

// Reads the runner's command lines: from a terminal with line editing and
// history (libedit), keeping the app's main loop running while it waits, so
// timers, answers and animations go on at the prompt; from a pipe line by line.
// A signal that ends the session (SessionEnd) ends the input as its end
// would, at the prompt or once the command running has finished, so the
// session ends as after `quit` and its history is saved.
class ConsoleInput {
public:
    // History is loaded from and saved to `historyFile`.
    explicit ConsoleInput(std::string historyFile);
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // The next line, or nothing at the end of the input.
    std::optional<std::string> readLine(const std::string& prompt);

    // Saves the lines read at the terminal to the history file whole: a
    // new file beside it takes its place once written, so a session killed
    // while it saves leaves the history as it was. Called when the session
    // ends; nothing to do once done, or without a terminal.
    void saveHistory();

private:
    std::optional<std::string> readFromTerminal(const std::string& prompt);

    std::string historyFile_;
    bool interactive_;
    bool historySaved_ = false;
};
