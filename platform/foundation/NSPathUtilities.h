#pragma once

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
