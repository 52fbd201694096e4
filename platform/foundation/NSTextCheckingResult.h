#pragma once

#include <vector>

#include "foundation/NSRange.h"

// One match of a regular expression: its range and its capture groups'
// ranges, in UTF-16 units. A group that took no part is {NSNotFound, 0}.
class NSTextCheckingResult {
public:
    explicit NSTextCheckingResult(std::vector<NSRange> ranges) : ranges_(std::move(ranges)) {}

    NSRange range() const { return rangeAtIndex(0); }
    std::size_t numberOfRanges() const { return ranges_.size(); }
    // Index 0 is the whole match; past the last group gives {NSNotFound, 0}.
    NSRange rangeAtIndex(std::size_t index) const {
        return index < ranges_.size() ? ranges_[index] : NSRange{NSNotFound, 0};
    }

private:
    std::vector<NSRange> ranges_;
};
