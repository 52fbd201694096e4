#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "foundation/Value.h"

// Reads one JSON text into a Value, straight from the parser's events into
// the containers (no intermediate tree). The rules are NSJSONSerialization's.
class JSONReader {
public:
    static constexpr std::size_t unknownOffset = static_cast<std::size_t>(-1);

    explicit JSONReader(int maxDepth) : maxDepth_(maxDepth) {}

    // The value of `text`, or nil when it is not JSON; then failureReason()
    // says why and failureOffset() where (in bytes, when known).
    Value read(std::string_view text);
    const std::string& failureReason() const { return failureReason_; }
    std::size_t failureOffset() const { return failureOffset_; }

private:
    int maxDepth_;
    std::string failureReason_;
    std::size_t failureOffset_ = unknownOffset;
};
