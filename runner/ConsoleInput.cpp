#include "runner/ConsoleInput.h"

#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <iterator>

#include <clocale>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <iostream>

#include <editline/readline.h>

#include "foundation/NSRunLoop.h"
#include "runner/SessionFolder.h"

namespace {

// The line libedit handed over (its callback interface has no user data).
std::optional<std::string> completedLine;
bool lineDone = false;

void lineHandler(char* line) {
    lineDone = true;
    if (line) {
        completedLine = std::string(line);
        std::free(line);
    } else {
        completedLine.reset();
    }
}

// The signals that end a session at a terminal, what they did before it, and
// whether one came.
constexpr int kEndingSignals[] = {SIGTERM, SIGHUP};
struct sigaction earlierActions[std::size(kEndingSignals)];
volatile std::sig_atomic_t endAsked = 0;

void askEnd(int signal) {
    for (std::size_t at = 0; at < std::size(kEndingSignals); ++at) {
        if (kEndingSignals[at] != signal) continue;
        // The second one gets what the first would have had.
        if (endAsked) {
            ::sigaction(signal, &earlierActions[at], nullptr);
            ::raise(signal);
        }
    }
    endAsked = 1;
}

}  // namespace

ConsoleInput::ConsoleInput(std::string historyFile)
    : historyFile_(std::move(historyFile)), interactive_(isatty(STDIN_FILENO)) {
    if (interactive_) {
        // Line editing must know that the terminal speaks UTF-8, or it drops
        // the bytes of Chinese text. Only the character type is taken from
        // the environment (numbers keep the "C" rules the app relies on).
        const char* ctype = setlocale(LC_CTYPE, "");
        if (!ctype || std::string(ctype).find("UTF-8") == std::string::npos) setlocale(LC_CTYPE, "C.UTF-8");
        using_history();
        read_history(historyFile_.c_str());
        endAsked = 0;
        struct sigaction ending {};
        ending.sa_handler = askEnd;
        sigemptyset(&ending.sa_mask);
        for (std::size_t at = 0; at < std::size(kEndingSignals); ++at)
            ::sigaction(kEndingSignals[at], &ending, &earlierActions[at]);
    }
}

ConsoleInput::~ConsoleInput() {
    saveHistory();
    if (interactive_)
        for (std::size_t at = 0; at < std::size(kEndingSignals); ++at)
            ::sigaction(kEndingSignals[at], &earlierActions[at], nullptr);
}

void ConsoleInput::saveHistory() {
    if (!interactive_ || historySaved_) return;
    historySaved_ = true;
    auto problem = SessionFolder::writeFile(historyFile_, [](const std::string& written) {
        return write_history(written.c_str());
    });
    if (problem) std::cerr << "velmaro: the command history is not saved: " << *problem << std::endl;
}

std::optional<std::string> ConsoleInput::readLine(const std::string& prompt) {
    if (interactive_) return readFromTerminal(prompt);
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
}

std::optional<std::string> ConsoleInput::readFromTerminal(const std::string& prompt) {
    lineDone = false;
    completedLine.reset();
    rl_callback_handler_install(prompt.c_str(), lineHandler);
    auto loop = NSRunLoop::mainRunLoop();
    while (!lineDone) {
        if (endAsked) {
            rl_callback_handler_remove();
            return std::nullopt;
        }
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (poll(&input, 1, 20) > 0) {
            rl_callback_read_char();
        } else {
            // Nothing typed: let the app do the work it has now (bounded, so
            // a busy app cannot keep the prompt from answering).
            for (int turn = 0; turn < 100 && loop->runOnce(); ++turn) {
            }
        }
    }
    rl_callback_handler_remove();
    if (completedLine && !completedLine->empty()) add_history(completedLine->c_str());
    return completedLine;
}
