#pragma once

#include <iosfwd>
#include <optional>
#include <string>

class ConsoleInput;
class RunnerSession;

// Feeds command lines to a session and reports each outcome: from a script
// (each step printed, stopping at the first that fails), from the prompt
// (failures reported, the session goes on), or the demo sign-in.
class ScriptRunner {
public:
    ScriptRunner(RunnerSession& session, std::ostream& out) : session_(session), out_(out) {}

    // True when every step succeeded; stops at the first failing step or `quit`.
    bool runScript(std::istream& script);
    bool runScriptFile(const std::string& path);
    // Why the script at `path` cannot be read ("cannot read the script ..."),
    // or nothing when it can.
    static std::optional<std::string> scriptFileProblem(const std::string& path);
    void runInteractive(ConsoleInput& input);
    // Signs in with the demo account unless a user is signed in already, and
    // waits for the tab bar.
    bool signInWithDemoAccount();

private:
    RunnerSession& session_;
    std::ostream& out_;
};
