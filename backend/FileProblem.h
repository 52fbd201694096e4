#pragma once

#include <optional>
#include <string>

// Why a file or folder cannot be made, written or read, in a person's words
// rather than the system's ("/tmp/a is a file, not a folder" for "Not a
// directory"): the runner's and the stand-alone back end's answers.
namespace backend::FileProblem {

// What the system refused at `path`: a permission error reads "not
// writable" for a write and "cannot be read" for a read.
enum class Doing { Writing, Reading };

// The reason for the system's error `error` (an errno value) met at `path`.
std::string why(const std::string& path, int error, Doing doing = Doing::Writing);

// Why the file `path` cannot be written (one there, opened for writing and
// left as it is, or a new one in its folder); nothing when it can.
std::optional<std::string> ofWriting(const std::string& path);

// Makes the folder `path` and those above it that are missing; nothing
// when it is there, else "cannot make PATH: " and why.
std::optional<std::string> makeFolder(const std::string& path);

// That the disk holding the folder `folder` has no space left for what this
// process writes; nothing when it has some.
std::optional<std::string> ofSpace(const std::string& folder);

}  // namespace backend::FileProblem
