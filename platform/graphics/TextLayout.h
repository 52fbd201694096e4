#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/NSAttributedString.h"

typedef struct _PangoLayout PangoLayout;

// Lines of attributed text laid out by pango, as measuring and drawing both
// use them, so the size a caller measures is the size that is drawn.
//
// The text wraps at the width limit (by word, or by character for
// NSLineBreakMode::ByCharWrapping and for a text holding a run of more than
// 1 KiB without white space, which pango wraps by word with work growing
// with the square of the run; words longer than a line break between
// characters). Lines are kept while they fit the height limit and the line
// limit, at least one. When lines are left out or a line overflows, and the
// line break mode truncates (or `truncatesLastVisibleLine`), the last kept
// line ends in an ellipsis at the mode's place (tail for non-truncating modes).
// Paragraph-level settings (line spacing, alignment, line break mode) come
// from the first character's paragraph style.
class TextLayout {
public:
    // A limit of 0 means none along that side, and so does a negative or an
    // unbounded one (such as the largest float); `lineLimit` 0 means any number.
    TextLayout(const NSAttributedString& text, CGSize limit, std::size_t lineLimit,
               bool truncatesLastVisibleLine = false);
    // The layout of the platform's string drawing: with
    // NSStringDrawingUsesLineFragmentOrigin text wraps in the size, except that
    // clipping and truncating line break modes keep one line; without it the
    // text is a single unwrapped line.
    static TextLayout forStringDrawing(const NSAttributedString& text, CGSize limit, NSStringDrawingOptions options);

    TextLayout(TextLayout&& other) noexcept;
    TextLayout& operator=(TextLayout&&) = delete;
    TextLayout(const TextLayout&) = delete;
    ~TextLayout();

    // Width of the widest kept line, height from the top of the first kept
    // line to the bottom of the last; unrounded.
    CGSize size() const { return size_; }
    std::size_t lineCount() const { return lineCount_; }
    // Distance from the top to the first line's baseline.
    CGFloat firstBaseline() const { return firstBaseline_; }
    // Whether the kept lines end in an ellipsis because the text did not fit.
    bool truncated() const { return truncated_; }
    // Whether the text did not fit (lines left out, or a line wider than the
    // width limit) and no ellipsis says so: the reader sees it cut off.
    bool clipped() const { return clipped_; }
    // The kept lines' texts, in order, each up to where the next begins (a
    // hard line break or the spaces a line was wrapped at end it).
    std::vector<std::string> lineTexts() const;
    // A kept line as drawn: its text (lineTexts), the same with the part an
    // ellipsis stands for replaced by "…", and where it lies from the top of
    // the first line.
    struct DrawnLine {
        std::string kept;
        std::string text;
        CGFloat top = 0;
        CGFloat height = 0;
    };
    std::vector<DrawnLine> drawnLines() const;
    // Whether a kept line begins where the text offers no line break: a
    // word wider than the width limit was cut between two of its characters.
    bool splitsWord() const;

    // Draws the kept lines with their top at the rectangle's top, each line
    // placed across the rectangle's width by the alignment; optionally
    // clipped to the rectangle. Uses the context's alpha and shadow.
    void draw(const CGContextRef& context, CGRect rect, bool clip) const;

private:
    void measure(CGFloat heightLimit, std::size_t lineLimit);

    PangoLayout* layout_ = nullptr;
    NSParagraphStyle paragraph_;
    std::size_t lineCount_ = 0;
    std::size_t totalLines_ = 0;
    bool overflows_ = false;
    bool truncated_ = false;
    bool clipped_ = false;
    CGSize size_{};
    CGFloat firstBaseline_ = 0;
};
