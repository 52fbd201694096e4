#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "foundation/Value.h"

// Reads the binary property-list form ("bplist00") into a Value, checking
// every offset, length, reference and nesting level against the file, so
// that any damage gives nothing rather than a fault.
class BinaryPropertyListReader {
public:
    static std::optional<Value> read(std::string_view bytes);

private:
    explicit BinaryPropertyListReader(std::string_view bytes) : bytes_(bytes) {}

    bool readTrailer();
    std::optional<Value> object(std::uint64_t reference, int depth);
    std::optional<Value> decode(std::size_t offset, int depth);
    // The count in a marker's low nibble, or the integer object after it.
    std::optional<std::uint64_t> count(std::uint8_t info, std::size_t& at) const;
    std::optional<std::uint64_t> unsignedAt(std::size_t at, std::size_t width) const;
    std::optional<std::uint64_t> referenceAt(std::size_t& at) const;
    std::optional<Value> text(std::size_t at, std::uint64_t units, bool utf16) const;

    std::string_view bytes_;
    std::size_t offsetSize_ = 0;
    std::size_t referenceSize_ = 0;
    std::uint64_t objectCount_ = 0;
    std::uint64_t topObject_ = 0;
    std::size_t offsetTable_ = 0;
    // Objects on the path being decoded, to refuse reference cycles.
    std::vector<bool> inProgress_;
    // Shared containers can expand a small file into a huge value; the
    // number of objects decoded is capped in proportion to the file size.
    std::uint64_t budget_ = 0;
};
