#pragma once

#include <optional>
#include <string>

// Why a file or folder cannot be made, written or read, in a person's words
// rather than the system's ("/tmp/a is a file, not a folder" for "Not a
// directory"): the runner's, the stand-alone back end's and the app's answers.
namespace FileProblem {

// What the system refused at `path`: a permission error reads "not
// writable" for a write and "cannot be read" for a read.
enum class Doing { Writing, Reading };

// The reason for the system's error `error` (an errno value) met at `path`.
std::string why(const std::string& path, int error, Doing doing = Doing::Writing);

// Why the file `path` cannot be written (one there, opened for writing and
// left as it is, or a new one in its folder); nothing when it can.
std::optional<std::string> ofWriting(const std::string& path);

// That `path` names something other than a regular file (a folder, a pipe,
// a device, a socket), following links; nothing when it is a regular file
// or is not there. A file kept from one start to the next is read and
// written whole, and opening what is not one may wait for good (a pipe with
// no writer) or reach what no file holds: every kept file is checked by this
// before it is opened. Never opens `path`.
std::optional<std::string> ofKind(const std::string& path);

// Why the file `path` cannot be replaced by a new file written beside it and
// renamed over it: its folder not to be written, a folder that keeps others'
// files (sticky) holding a file of another user, or a file the system keeps
// as it is (immutable or append-only). The file's own mode does not matter.
// Nothing when it can be replaced, or made when missing.
std::optional<std::string> ofReplacing(const std::string& path);

// Makes the folder `path` and those above it that are missing; nothing
// when it is there, else "cannot make PATH: " and why.
std::optional<std::string> makeFolder(const std::string& path);
// Makes the folder `path` alone, whose parent must be there; nothing when it
// is there, else "cannot make PATH: " and why (the first missing part of
// the path, a link to what is not there).
std::optional<std::string> makeLastFolder(const std::string& path);

// That the disk holding the folder `folder` has no space left for what this
// process writes, or bytes but no room for another file (its table of files,
// its inodes, is full; a file system without such a table tells of none);
// nothing when it has some, or cannot be asked.
std::optional<std::string> ofSpace(const std::string& folder);

}  // namespace FileProblem
