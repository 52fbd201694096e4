#include "runner/ConsoleInput.h"

#include <fcntl.h>
#include <histedit.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cwchar>
#include <iostream>
#include <string>
#include <utility>

#include "foundation/FileProblem.h"
#include "foundation/NSRunLoop.h"
#include "runner/SessionEnd.h"
#include "runner/SessionFolder.h"

namespace {

// Set when the terminal's window changed size: the editor learns the new
// size before the next key.
volatile std::sig_atomic_t resized = 0;

// What the editor hands back, as the only character of a line, when the
// end of input is typed (control-D) on an empty line.
constexpr wchar_t kEndOfInput = L'\004';

// UTF-8 text as wide characters, and back, in the terminal's encoding
// (a byte that is no character is dropped).
std::wstring widened(const std::string& text) {
    std::wstring wide;
    std::mbstate_t state{};
    const char* next = text.data();
    const char* end = next + text.size();
    while (next < end) {
        wchar_t character;
        const std::size_t used = std::mbrtowc(&character, next, static_cast<std::size_t>(end - next), &state);
        if (used == static_cast<std::size_t>(-1) || used == static_cast<std::size_t>(-2)) {
            state = {};
            ++next;
            continue;
        }
        wide += character;
        next += used ? used : 1;
    }
    return wide;
}

std::string narrowed(const std::wstring& wide) {
    std::string text;
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (const wchar_t character : wide) {
        const std::size_t length = std::wcrtomb(bytes, character, &state);
        if (length != static_cast<std::size_t>(-1)) text.append(bytes, length);
    }
    return text;
}

}  // namespace

struct ConsoleInput::Editor {
    EditLine* line = nullptr;
    HistoryW* history = nullptr;
    std::wstring prompt;
    // False when a history was there that could not be read: it is not
    // saved over.
    bool historyKept = true;

    ~Editor() {
        if (line) el_end(line);
        if (history) history_wend(history);
    }

    static wchar_t* promptOf(EditLine* line) {
        void* editor = nullptr;
        el_wget(line, EL_CLIENTDATA, &editor);
        return static_cast<Editor*>(editor)->prompt.data();
    }
};

ConsoleInput::ConsoleInput(std::string historyFile)
    : historyFile_(std::move(historyFile)), interactive_(isatty(STDIN_FILENO)) {
    // A save killed part-way in an earlier session left its new file.
    SessionFolder::removeLeftovers(historyFile_);
    if (!interactive_) return;
    // Line editing must know that the terminal speaks UTF-8, or it drops
    // the bytes of Chinese text. Only the character type is taken from
    // the environment (numbers keep the "C" rules the app relies on).
    const char* ctype = setlocale(LC_CTYPE, "");
    if (!ctype || std::string(ctype).find("UTF-8") == std::string::npos) setlocale(LC_CTYPE, "C.UTF-8");
    editor_ = std::make_unique<Editor>();
    editor_->history = history_winit();
    HistEventW event;
    history_w(editor_->history, &event, H_SETSIZE, INT_MAX);
    EditLine* line = editor_->line = el_init("velmaro", stdin, stdout, stderr);
    el_wset(line, EL_CLIENTDATA, editor_.get());
    el_wset(line, EL_PROMPT, &Editor::promptOf);
    el_wset(line, EL_EDITOR, L"emacs");
    // The editor's own signal handling is left off: its handlers share one
    // editor with no lock, and a signal may reach any of the app's threads
    // (a closed terminal's SIGHUP crashed one while the prompt ended). The
    // session's signals end the wait for a line (SessionEnd), which gives
    // the terminal back; a resized window is told to the editor here.
    struct sigaction onResize {};
    onResize.sa_handler = [](int) { resized = 1; };
    onResize.sa_flags = SA_RESTART;
    sigemptyset(&onResize.sa_mask);
    sigaction(SIGWINCH, &onResize, nullptr);
    el_wset(line, EL_HIST, history_w, editor_->history);
    el_wset(line, EL_BIND, L"^R", L"em-inc-search-prev", nullptr);
    el_source(line, nullptr);
    loadHistory();
}

ConsoleInput::~ConsoleInput() { saveHistory(); }

void ConsoleInput::loadHistory() {
    std::optional<std::string> problem;
    struct stat status {};
    if (::stat(historyFile_.c_str(), &status) != 0) {
        // None yet: this session's lines begin it.
        if (errno != ENOENT) problem = FileProblem::why(historyFile_, errno, FileProblem::Doing::Reading);
    } else if (!S_ISREG(status.st_mode)) {
        problem = historyFile_ + " is not a regular file";
    } else if (status.st_size > 0) {
        // Read by name below: whether it may be read is asked first, to tell
        // a file closed to this user from one that holds no history.
        const int file = ::open(historyFile_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (file < 0) {
            problem = FileProblem::why(historyFile_, errno, FileProblem::Doing::Reading);
        } else {
            ::close(file);
            HistEventW event;
            if (history_w(editor_->history, &event, H_LOAD, historyFile_.c_str()) == -1)
                problem = historyFile_ + " is not a command history";
        }
    }
    if (!problem) return;
    editor_->historyKept = false;
    std::cerr << "velmaro: the command history cannot be read: " << *problem
              << ": this session's lines are not saved over it" << std::endl;
}

void ConsoleInput::saveHistory() {
    if (!editor_ || historySaved_ || !editor_->historyKept) return;
    historySaved_ = true;
    auto problem = SessionFolder::writeFile(historyFile_, [this](const std::string& written) {
        HistEventW event;
        errno = 0;
        if (history_w(editor_->history, &event, H_SAVE, written.c_str()) != -1) return 0;
        return errno ? errno : EIO;
    });
    if (problem) std::cerr << "velmaro: the command history is not saved: " << *problem << std::endl;
}

std::optional<std::string> ConsoleInput::readLine(const std::string& prompt) {
    return interactive_ ? readFromTerminal(prompt) : readFromPipe();
}

bool ConsoleInput::waitForInput() {
    auto loop = NSRunLoop::mainRunLoop();
    for (;;) {
        // A signal that ends the session ends the wait for a line, as the
        // end of the input would.
        if (SessionEnd::signalled()) return false;
        pollfd input{STDIN_FILENO, POLLIN, 0};
        if (::poll(&input, 1, 20) > 0) return true;
        // Nothing to read: let the app do the work it has now (bounded, so
        // a busy app cannot keep the input from being read).
        for (int turn = 0; turn < 100 && loop->runOnce(); ++turn) {
        }
    }
}

std::optional<std::string> ConsoleInput::readFromTerminal(const std::string& prompt) {
    editor_->prompt = widened(prompt);
    EditLine* line = editor_->line;
    // A character at a time, the editor showing the prompt and the line as
    // it is edited, so the app runs between keys.
    el_wset(line, EL_UNBUFFERED, 1);
    std::optional<std::wstring> typed;
    while (waitForInput()) {
        if (resized) {
            resized = 0;
            el_resize(line);
        }
        int count = 0;
        const wchar_t* text = el_wgets(line, &count);
        // The terminal gone, or the end of input typed on an empty line.
        if (!text || (count == 1 && text[0] == kEndOfInput)) break;
        if (count > 0 && text[count - 1] == L'\n') {
            typed.emplace(text, static_cast<std::size_t>(count - 1));
            break;
        }
    }
    el_wset(line, EL_UNBUFFERED, 0);
    if (!typed) return std::nullopt;
    HistEventW event;
    if (!typed->empty()) history_w(editor_->history, &event, H_ENTER, typed->c_str());
    return narrowed(*typed);
}

std::optional<std::string> ConsoleInput::readFromPipe() {
    for (;;) {
        if (const std::size_t end = piped_.find('\n'); end != std::string::npos) {
            std::string line = piped_.substr(0, end);
            piped_.erase(0, end + 1);
            return line;
        }
        // A last line without its line end is a line all the same.
        if (pipeEnded_) return piped_.empty() ? std::nullopt : std::optional(std::exchange(piped_, {}));
        if (!waitForInput()) return std::nullopt;
        char buffer[4096];
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got > 0) piped_.append(buffer, static_cast<std::size_t>(got));
        else if (got == 0 || (errno != EINTR && errno != EAGAIN)) pipeEnded_ = true;
    }
}
