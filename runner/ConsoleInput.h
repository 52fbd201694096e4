#pragma once

#include <memory>
#include <optional>
#include <string>

// Reads the runner's command lines: from a terminal with line editing and
// history (libedit's own wide-character interface, so a line of any length
// in any script is read whole), from a pipe line by line. While it waits
// for a line, the app's main loop runs, so timers, answers and animations go
// on between commands as they would on a phone. A signal that ends the
// session (SessionEnd) ends the input as its end would, at the prompt or
// once the command running has finished, so the session ends as after
// `quit` and its history is saved.
class ConsoleInput {
public:
    // History is loaded from and saved to `historyFile`. A history there
    // that cannot be read is told on standard error and never saved over.
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
    // The line editor and its history.
    struct Editor;

    // Runs the app until standard input has something to read: false when a
    // signal ended the session first.
    bool waitForInput();
    std::optional<std::string> readFromTerminal(const std::string& prompt);
    std::optional<std::string> readFromPipe();
    // Loads the history, or tells why it cannot and keeps it from being saved.
    void loadHistory();

    std::string historyFile_;
    bool interactive_;
    bool historySaved_ = false;
    std::unique_ptr<Editor> editor_;
    // Piped bytes read but not yet handed over as lines.
    std::string piped_;
    bool pipeEnded_ = false;
};
