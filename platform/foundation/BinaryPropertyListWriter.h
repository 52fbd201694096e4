#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/Value.h"

// Writes a Value in the binary property-list form ("bplist00"). Integers
// keep their full signed or unsigned 64-bit range, dates their fractions,
// UIDs any width up to 8 bytes. Equal scalars (keys above all) are stored
// once and shared.
class BinaryPropertyListWriter {
public:
    // Nothing when the value holds what the form cannot: nil, null, object
    // references, texts that are not UTF-8, or nesting deeper than readers take.
    static std::optional<std::string> write(const Value& value);

private:
    // One object of the file: its encoded bytes, and for containers the
    // objects it refers to (written after the bytes once their width is known).
    struct Object {
        std::string bytes;
        std::vector<std::uint64_t> references;
    };

    std::optional<std::uint64_t> add(const Value& value, int depth);
    std::optional<std::uint64_t> addScalar(std::string bytes);
    std::optional<std::uint64_t> addText(const std::string& text);
    std::string layout() const;

    std::vector<Object> objects_;
    std::unordered_map<std::string, std::uint64_t> scalars_;
};
