#include "graphics/NSMutableAttributedString.h"

#include <algorithm>

namespace {

NSRange clamp(NSRange range, std::size_t length) {
    std::size_t start = std::min(range.location, length);
    return {start, std::min(range.length, length - start)};
}

}  // namespace

void NSMutableAttributedString::addAttributes(const NSStringAttributes& attributes, NSRange range) {
    range = clamp(range, length_);
    if (range.length == 0) return;
    std::size_t first = splitRunAt(range.location);
    std::size_t end = splitRunAt(range.max());
    for (std::size_t i = first; i < end; ++i) runs_[i].attributes = runs_[i].attributes.mergedWith(attributes);
    coalesceRuns();
}

void NSMutableAttributedString::setAttributes(const NSStringAttributes& attributes, NSRange range) {
    range = clamp(range, length_);
    if (range.length == 0) return;
    std::size_t first = splitRunAt(range.location);
    std::size_t end = splitRunAt(range.max());
    for (std::size_t i = first; i < end; ++i) runs_[i].attributes = attributes;
    coalesceRuns();
}

void NSMutableAttributedString::appendAttributedString(const NSAttributedString& other) {
    std::size_t offset = length_;
    string_ += other.string();
    length_ += other.length();
    for (Run run : other.runs()) {
        run.range.location += offset;
        runs_.push_back(std::move(run));
    }
    coalesceRuns();
}
