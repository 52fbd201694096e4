#include "runner/ConsoleInput.h"

#include <poll.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <string>
#include <cstdlib>
#include <iostream>

#include <editline/readline.h>

#include "foundation/NSRunLoop.h"
#include "runner/SessionEnd.h"
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
    }
}

ConsoleInput::~ConsoleInput() { saveHistory(); }

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
        // A signal that ends the session ends the wait for a line, as the
        // end of the input would.
        if (SessionEnd::signalled()) {
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
