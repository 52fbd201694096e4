#include "runner/ScriptRunner.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "runner/ConsoleInput.h"
#include "runner/RunnerSession.h"
#include "runner/SessionEnd.h"

namespace {

// The demo account's sign-in, as a user would type it; the last step waits
// (up to ten seconds) for the tab bar's first tab.
constexpr const char* demoSignIn =
    "type #zhanghuTextField demo\n"
    "type #mimaTextFeild 123456\n"
    "tap #dengluBut\n";

}  // namespace

bool ScriptRunner::runScript(std::istream& script) {
    std::string line;
    int number = 0;
    while (!session_.quitRequested() && !SessionEnd::signalled() && std::getline(script, line)) {
        ++number;
        // Scripts written on Windows end their lines in CR LF.
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out_ << "> " << line << "\n";
        CommandResult result = session_.execute(line);
        if (!result.output.empty()) out_ << result.output << (result.output.back() == '\n' ? "" : "\n");
        if (!result.ok) {
            out_ << "step " << number << " failed\n";
            return false;
        }
    }
    // Ended from outside before its end: not run through.
    if (SessionEnd::signalled()) {
        out_ << "stopped by a signal after step " << number << "\n";
        return false;
    }
    return true;
}

std::optional<std::string> ScriptRunner::scriptFileProblem(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return "cannot read the script " + path + ": no such file";
    if (!std::filesystem::is_regular_file(path, error)) return "cannot read the script " + path + ": not a file";
    if (!std::ifstream(path)) return "cannot read the script " + path;
    return std::nullopt;
}

bool ScriptRunner::runScriptFile(const std::string& path) {
    if (auto problem = scriptFileProblem(path)) {
        out_ << *problem << "\n";
        return false;
    }
    std::ifstream script(path);
    if (!script) {
        out_ << "cannot read the script " << path << "\n";
        return false;
    }
    return runScript(script);
}

void ScriptRunner::runInteractive(ConsoleInput& input) {
    while (!session_.quitRequested() && !SessionEnd::signalled()) {
        auto line = input.readLine("velmaro> ");
        if (!line || SessionEnd::signalled()) break;
        CommandResult result = session_.execute(*line);
        if (!result.output.empty()) out_ << result.output << (result.output.back() == '\n' ? "" : "\n");
        if (!result.ok && result.output.empty()) out_ << "failed\n";
        out_.flush();
    }
}

bool ScriptRunner::signInWithDemoAccount() {
    if (!session_.isOnScreen("#dengluBut")) {
        out_ << "--demo: this session folder is signed in already: its stored sign-in is used\n";
        return true;
    }
    std::istringstream steps(demoSignIn);
    if (!runScript(steps)) return false;
    for (int waited = 0; waited < 100; ++waited) {
        if (!session_.isOnScreen("#dengluBut")) return true;
        session_.execute("wait 0.1");
    }
    out_ << "the demo sign-in did not finish\n";
    return false;
}
