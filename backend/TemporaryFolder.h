#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace backend {

// A folder of the back end's own among the temporary files, removed with
// this object. A process killed before it could remove its folders leaves
// them behind, so each folder is held while its back end runs (a lock on
// the folder itself, which the system drops when the process ends, however
// it ends) and marked once held; making one first removes the marked
// folders of the same name prefix in `base` that nobody holds. A folder
// without the mark (one being made, or not the back end's) is left alone.
class TemporaryFolder {
public:
    // A new folder in `base` named `prefix` and six random characters; null
    // when none can be made.
    static std::unique_ptr<TemporaryFolder> make(const std::filesystem::path& base, const std::string& prefix);
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

    // The file that marks a held folder; it names the process holding it.
    static constexpr const char* kOwnerMark = "owner";

private:
    TemporaryFolder() = default;

    std::filesystem::path path_;
    int hold_ = -1;
};

}  // namespace backend
