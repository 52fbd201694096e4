#pragma once

#include <string>

// For the life of a test: a fresh temporary folder as the app's sandbox, with
// the standard user defaults following it. Removes the folder at the end.
class TempSandbox {
public:
    TempSandbox();
    ~TempSandbox();
    TempSandbox(const TempSandbox&) = delete;
    TempSandbox& operator=(const TempSandbox&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};
