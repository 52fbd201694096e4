#pragma once

#include <optional>
#include <string>
#include <vector>

// The folders an app asks for by kind; all live in its sandbox.
enum NSSearchPathDirectory {
    NSLibraryDirectory = 5,
    NSDocumentDirectory = 9,
    NSCachesDirectory = 13,
    NSPreferencePanesDirectory = 22,
};

enum NSSearchPathDomainMask {
    NSUserDomainMask = 1,
};

// The sandbox folder.
std::string NSHomeDirectory();
// The sandbox's tmp folder, with a trailing slash.
std::string NSTemporaryDirectory();
// The folder of the given kind: one path for the user domain, none for other
// domains. Without tilde expansion the path starts with "~" for the home.
std::vector<std::string> NSSearchPathForDirectoriesInDomains(NSSearchPathDirectory directory,
                                                             NSSearchPathDomainMask domains, bool expandTilde);

// Whether `path`, with every symbolic link on it resolved, lies inside
// `folder` (also resolved). A path that climbs out with ".." or through a
// link to elsewhere is not inside.
bool pathIsInside(const std::string& path, const std::string& folder);

// `folder`/`relative`; nothing when `relative` is empty or absolute, or when
// that path, with its links resolved, would not lie inside `folder`.
// The files an app keeps in its sandbox and bundle are reached through this,
// so a name from outside cannot lead a read or a write out of them.
std::optional<std::string> pathResolvedInside(const std::string& folder, const std::string& relative);
