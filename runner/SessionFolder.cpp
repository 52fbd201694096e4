#include "runner/SessionFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

std::optional<std::string> SessionFolder::prepare(const std::string& path, bool fresh) {
    if (path.empty()) return "the session folder cannot be empty";
    std::error_code error;
    const fs::path folder(path);
    const fs::file_status status = fs::symlink_status(folder, error);
    const bool exists = fs::exists(status);
    if (exists && !fs::is_directory(status)) return path + " is not a folder";
    const bool marked = exists && fs::is_regular_file(fs::symlink_status(folder / kMarkName, error));
    if (fresh && exists && !marked && !fs::is_empty(folder, error)) {
        return "--fresh empties only a session folder that velmaro made, and " + path + " has no " + kMarkName +
               " mark: remove it yourself or choose another --data";
    }
    if (fresh && marked) {
        fs::remove_all(folder, error);
        if (error) return "cannot empty " + path + ": " + error.message();
    }
    const bool madeHere = !fs::exists(folder, error) || fs::is_empty(folder, error);
    fs::create_directories(folder, error);
    if (error) return "cannot make " + path + ": " + error.message();
    if (madeHere && !std::ofstream(folder / kMarkName)) return "cannot mark " + path + " as a session folder";
    return std::nullopt;
}

std::optional<std::string> SessionFolder::claimNumberedFile(const std::string& folder,
                                                           const std::function<std::string(int)>& name, int& last,
                                                           std::string& error) {
    std::error_code made;
    fs::create_directories(folder, made);
    // Bounded, as the numbers read from the folder's names are.
    for (int number = last + 1; number < 1000000; ++number) {
        const std::string path = folder + "/" + name(number);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (file >= 0) {
            ::close(file);
            last = number;
            return path;
        }
        if (errno != EEXIST) {
            error = "cannot write " + path + ": " + std::strerror(errno);
            return std::nullopt;
        }
    }
    error = "no free picture number left in " + folder;
    return std::nullopt;
}
