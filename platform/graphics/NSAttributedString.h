#pragma once

#include <string>
#include <vector>

#include "foundation/NSRange.h"
#include "graphics/CGGeometry.h"
#include "graphics/NSStringAttributes.h"
#include "graphics/NSStringDrawingOptions.h"

// Text with attributes over runs of it. Ranges and indexes count UTF-16
// units; the runs cover the text end to end, neighbours always differ.
class NSAttributedString {
public:
    struct Run {
        NSRange range;
        NSStringAttributes attributes;
        bool operator==(const Run&) const = default;
    };

    NSAttributedString() = default;
    explicit NSAttributedString(std::string string, const NSStringAttributes& attributes = {});

    const std::string& string() const { return string_; }
    // In UTF-16 units.
    std::size_t length() const { return length_; }
    const std::vector<Run>& runs() const { return runs_; }
    // The attributes at an index and, optionally, the run holding it; empty
    // attributes past the end.
    NSStringAttributes attributesAtIndex(std::size_t index, NSRange* effectiveRange = nullptr) const;
    // The byte offset in string() where the character at a UTF-16 index
    // starts; the text's size at or past the end.
    std::size_t byteOffset(std::size_t index) const;

    // The rectangle the text takes when laid out in `size` (0 for no limit
    // along a side): with NSStringDrawingUsesLineFragmentOrigin its origin is
    // (0, 0) and lines wrap at the width; without it, the text is one line
    // and the origin is (0, -ascender), from the baseline.
    CGRect boundingRectWithSize(CGSize size, NSStringDrawingOptions options) const;
    // The size of the text on unwrapped lines.
    CGSize size() const;
    // Draws into the current context: from the point as the top-left corner,
    // unwrapped; or within the rectangle, wrapped, aligned and clipped to it.
    void drawAtPoint(CGPoint point) const;
    void drawInRect(CGRect rect) const;
    // A line of text as a reader sees it (an ellipsis in place of the text it
    // stands for) and the rectangle it is drawn in.
    struct DrawnLine {
        std::string text;
        CGRect rect;
    };
    // The lines drawInRect draws in the rectangle, each across its width.
    std::vector<DrawnLine> drawnLinesInRect(CGRect rect) const;

    bool operator==(const NSAttributedString&) const = default;

protected:
    // Splits the run holding `index` so that a run starts there; returns the
    // position of that run.
    std::size_t splitRunAt(std::size_t index);
    // Joins neighbouring runs with equal attributes and drops empty ones.
    void coalesceRuns();

    std::string string_;
    std::size_t length_ = 0;
    std::vector<Run> runs_;
};
