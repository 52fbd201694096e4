#include "foundation/KeyedArchiveFormat.h"

namespace KeyedArchiveFormat {

namespace {
constexpr std::string_view uidKey = "CF$UID";
}

std::string escapedKey(std::string_view key) {
    std::string escaped;
    if (!key.empty() && key.front() == '$') escaped = "$";
    return escaped.append(key);
}

Value uid(std::uint64_t index) { return Dictionary{{std::string(uidKey), index}}; }

std::optional<std::uint64_t> uidOf(const Value& value) {
    const Dictionary* entries = value.dictionary();
    if (!entries || entries->count() != 1) return std::nullopt;
    const Value* index = entries->find(uidKey);
    return index ? index->unsignedInteger() : std::nullopt;
}

}  // namespace KeyedArchiveFormat
