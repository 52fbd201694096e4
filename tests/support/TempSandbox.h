#pragma once

#include <string>

// A fresh folder in the temporary folder for the life of a test, removed
// with all it holds at the end, whatever the test's outcome. `name` starts
// the folder's name.
class TempFolder {
public:
    explicit TempFolder(const std::string& name = "velmaro-test");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // `name` inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// For the life of a test: a fresh temporary folder as the app's sandbox, with
// the standard user defaults following it. Removes the folder at the end.
class TempSandbox {
public:
    TempSandbox();
    ~TempSandbox();
    TempSandbox(const TempSandbox&) = delete;
    TempSandbox& operator=(const TempSandbox&) = delete;

    const std::string& path() const { return folder_.path(); }

private:
    TempFolder folder_;
};
