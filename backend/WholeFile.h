#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Files written whole or not at all: the bytes go into a new hidden file
// beside the target (".<name>.XXXXXX", made for its owner only), which gets
// its mode once written and only then takes the target's name. A process
// killed part-way leaves the target as it was (and at most the hidden file).
namespace backend::WholeFile {

// Fills the file `path` (which exists, empty) with its contents; 0 or the
// errno of the failure.
using Writer = std::function<int(const std::string& path)>;

// A Writer of `bytes`.
int writeBytes(const std::string& path, std::string_view bytes);

// Writes the hidden file in `folder` for the target named `base`, with
// `mode`: its path, or nothing with `failed` (an errno) and `failedAt` (the
// file it concerns) set.
std::optional<std::string> writeHidden(const std::string& folder, const std::string& base, const Writer& write,
                                       mode_t mode, int& failed, std::string& failedAt);

// Whether `name` is the name of a hidden file writeHidden makes for the
// target named `base` (one left behind by a process killed part-way).
bool isHiddenFor(std::string_view name, std::string_view base);

// Replaces `path` (or makes it) with what `write` writes, with `mode`. 0 or
// the errno, `failedAt` naming the file it concerns.
int replace(const std::string& path, const Writer& write, mode_t mode, std::string& failedAt);

}  // namespace backend::WholeFile
