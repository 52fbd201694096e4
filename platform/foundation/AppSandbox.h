#pragma once

#include <string>
#include <system_error>

// The app's private folder: home of its documents, caches, preferences and
// temporary files. Tests and the runner choose it; each app instance has one.
class AppSandbox {
public:
    // Makes `path` the sandbox, creating it and its standard folders
    // (Documents, Library/Caches, Library/Preferences, Library/PreferencePanes,
    // tmp). False when they cannot be created; then `failedFolder` and
    // `error`, when given, tell which one and the system's error.
    static bool setRoot(const std::string& path, std::string* failedFolder = nullptr, std::error_code* error = nullptr);
    // The sandbox folder. When none was chosen, a folder for this process in
    // the system's temporary folder is made and used.
    static std::string root();
    // Forgets the chosen folder (leaving it on disk).
    static void reset();
};
