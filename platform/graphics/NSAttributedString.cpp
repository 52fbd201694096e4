#include "graphics/NSAttributedString.h"

#include <algorithm>

#include "foundation/UTF16.h"

#include "graphics/TextLayout.h"
#include "graphics/UIGraphics.h"

NSAttributedString::NSAttributedString(std::string string, const NSStringAttributes& attributes)
    : string_(std::move(string)), length_(UTF16::length(string_)) {
    if (length_ > 0) runs_.push_back({{0, length_}, attributes});
}

NSStringAttributes NSAttributedString::attributesAtIndex(std::size_t index, NSRange* effectiveRange) const {
    for (const Run& run : runs_) {
        if (index >= run.range.location && index < run.range.max()) {
            if (effectiveRange) *effectiveRange = run.range;
            return run.attributes;
        }
    }
    if (effectiveRange) *effectiveRange = {NSNotFound, 0};
    return {};
}

std::size_t NSAttributedString::byteOffset(std::size_t index) const { return UTF16::byteOffset(string_, index); }

CGRect NSAttributedString::boundingRectWithSize(CGSize size, NSStringDrawingOptions options) const {
    TextLayout layout = TextLayout::forStringDrawing(*this, size, options);
    CGSize extent = layout.size();
    if (options & NSStringDrawingUsesLineFragmentOrigin) return {{0, 0}, extent};
    return {{0, -layout.firstBaseline()}, extent};
}

CGSize NSAttributedString::size() const { return TextLayout(*this, {}, 0).size(); }

void NSAttributedString::drawAtPoint(CGPoint point) const {
    TextLayout layout(*this, {}, 0);
    layout.draw(UIGraphicsGetCurrentContext(), {point, layout.size()}, false);
}

namespace {

// The layout drawInRect draws: wrapped in the rectangle's size.
TextLayout layoutInRect(const NSAttributedString& text, CGRect rect) {
    return TextLayout::forStringDrawing(text, rect.size, NSStringDrawingUsesLineFragmentOrigin);
}

}  // namespace

void NSAttributedString::drawInRect(CGRect rect) const {
    rect = CGRectStandardize(rect);
    layoutInRect(*this, rect).draw(UIGraphicsGetCurrentContext(), rect, true);
}

std::vector<NSAttributedString::DrawnLine> NSAttributedString::drawnLinesInRect(CGRect rect) const {
    rect = CGRectStandardize(rect);
    std::vector<DrawnLine> lines;
    for (auto& line : layoutInRect(*this, rect).drawnLines())
        lines.push_back({std::move(line.text), CGRectMake(rect.origin.x, rect.origin.y + line.top, rect.size.width, line.height)});
    return lines;
}

std::size_t NSAttributedString::splitRunAt(std::size_t index) {
    for (std::size_t i = 0; i < runs_.size(); ++i) {
        Run& run = runs_[i];
        if (run.range.location == index) return i;
        if (index > run.range.location && index < run.range.max()) {
            Run tail{{index, run.range.max() - index}, run.attributes};
            run.range.length = index - run.range.location;
            runs_.insert(runs_.begin() + static_cast<std::ptrdiff_t>(i) + 1, tail);
            return i + 1;
        }
    }
    return runs_.size();
}

void NSAttributedString::coalesceRuns() {
    std::vector<Run> joined;
    for (Run& run : runs_) {
        if (run.range.length == 0) continue;
        if (!joined.empty() && joined.back().attributes == run.attributes) {
            joined.back().range.length += run.range.length;
        } else {
            joined.push_back(std::move(run));
        }
    }
    runs_ = std::move(joined);
}
