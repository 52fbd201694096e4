#pragma once

#include <optional>
#include <string>

#include "foundation/Value.h"

// Dictionaries and arrays kept in property-list files.
class PropertyListFile {
public:
    // Writes the value as an XML property list. False when it holds
    // something a property list cannot, or the file cannot be written.
    static bool writeToFile(const Value& plist, const std::string& path, bool atomically);
    // The dictionary (or array) in a property-list file of either form;
    // nothing when the file is missing, malformed or holds another kind.
    static std::optional<Dictionary> dictionaryWithContentsOfFile(const std::string& path);
    static std::optional<Array> arrayWithContentsOfFile(const std::string& path);
};
