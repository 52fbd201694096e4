#pragma once

#include <filesystem>
#include <string>

// Where a test writes a picture for a person to look at: <folder of the test
// binary>/shots/<name>, in the build folder whatever the working folder is,
// so running a test binary by hand leaves nothing in the source tree.
inline std::string testShotPath(const std::string& name) {
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "shots" / name;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    return path.string();
}
