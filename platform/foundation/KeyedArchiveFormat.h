#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"

// The pieces of the keyed-archive layout that the archiver and the
// unarchiver share: a binary property list {"$archiver": "NSKeyedArchiver",
// "$version": 100000, "$top": {key: UID}, "$objects": ["$null", ...]}, where
// objects refer to each other by UID (an index into "$objects") and each
// class instance names its class through a "$class" UID.
namespace KeyedArchiveFormat {

constexpr std::string_view archiverKey = "$archiver";
constexpr std::string_view archiverName = "NSKeyedArchiver";
constexpr std::string_view versionKey = "$version";
constexpr std::int64_t version = 100000;
constexpr std::string_view topKey = "$top";
constexpr std::string_view objectsKey = "$objects";
constexpr std::string_view nullMarker = "$null";
constexpr std::string_view classKey = "$class";
constexpr std::string_view classNameKey = "$classname";
constexpr std::string_view classesKey = "$classes";
constexpr std::string_view rootKey = "root";
// Archive dates count from 2001-01-01; ours from 1970-01-01.
constexpr double secondsFrom1970To2001 = 978307200.0;

// Keys of the coder's own that begin with "$" gain another "$" so that they
// cannot collide with the layout's keys.
std::string escapedKey(std::string_view key);

// A UID as the property-list layer reads and writes it.
Value uid(std::uint64_t index);
std::optional<std::uint64_t> uidOf(const Value& value);

}  // namespace KeyedArchiveFormat
