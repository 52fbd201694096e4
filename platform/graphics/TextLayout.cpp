#include "graphics/TextLayout.h"

#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "graphics/FontLibrary.h"

namespace {

constexpr CGFloat tolerance = 0.01;  // points; absorbs rounding to pango units

int toPango(CGFloat points) { return static_cast<int>(std::lround(points * PANGO_SCALE)); }

// Pango keeps lengths as ints of 1/PANGO_SCALE point; no longer limit can
// bound any text.
constexpr CGFloat kLongestLimit = std::numeric_limits<int>::max() / PANGO_SCALE;

// A side's limit as the layout takes it: 0 for none. Zero, negative and
// unbounded limits (the largest float, infinity, anything beyond pango's
// range) all mean none, so a caller's "no limit" never becomes a wrapped
// width after a conversion that overflows.
CGFloat limitOrNone(CGFloat side) { return side > 0 && side < kLongestLimit ? side : 0; }

CGFloat fromPango(int units) { return units / static_cast<CGFloat>(PANGO_SCALE); }

guint16 toPangoColor(CGFloat component) { return static_cast<guint16>(std::lround(component * 65535)); }

bool isTruncating(NSLineBreakMode mode) {
    return mode == NSLineBreakMode::ByTruncatingHead || mode == NSLineBreakMode::ByTruncatingTail ||
           mode == NSLineBreakMode::ByTruncatingMiddle;
}

PangoEllipsizeMode ellipsisFor(NSLineBreakMode mode) {
    switch (mode) {
        case NSLineBreakMode::ByTruncatingHead: return PANGO_ELLIPSIZE_START;
        case NSLineBreakMode::ByTruncatingMiddle: return PANGO_ELLIPSIZE_MIDDLE;
        default: return PANGO_ELLIPSIZE_END;
    }
}

CGFloat alignmentFactor(NSTextAlignment alignment) {
    switch (alignment) {
        case NSTextAlignment::Center: return 0.5;
        case NSTextAlignment::Right: return 1;
        default: return 0;
    }
}

void addAttribute(PangoAttrList* list, PangoAttribute* attribute, std::size_t start, std::size_t end) {
    attribute->start_index = static_cast<guint>(start);
    attribute->end_index = static_cast<guint>(end);
    pango_attr_list_insert(list, attribute);
}

// The part of a text a layout starts with when it keeps a bounded number of
// lines, in bytes; it grows by kGrowth while that is not enough. kWholeText:
// no part, the whole text.
constexpr std::size_t kFirstPart = 1024;
constexpr std::size_t kGrowth = 4;
constexpr std::size_t kWholeText = std::numeric_limits<std::size_t>::max();

// Pango wants valid UTF-8 and byte ranges: the runs' texts, made valid one
// by one, are joined, and each run's attributes cover its part. Only the
// text's first `part` bytes or so are given (to the last whole character
// at or after them); answers whether that is the whole text.
bool setTextAndAttributes(PangoLayout* layout, const NSAttributedString& text, std::size_t part) {
    std::string joined;
    PangoAttrList* list = pango_attr_list_new();
    bool whole = true;
    for (const NSAttributedString::Run& run : text.runs()) {
        if (joined.size() >= part) {
            whole = false;
            break;
        }
        std::size_t from = text.byteOffset(run.range.location), to = text.byteOffset(run.range.max());
        // A few bytes past the part, so that its last character is whole.
        if (part != kWholeText && to - from > part - joined.size() + 8) {
            to = from + (part - joined.size() + 8);
            whole = false;
        }
        gchar* valid = g_utf8_make_valid(text.string().data() + from, static_cast<gssize>(to - from));
        std::size_t start = joined.size();
        joined += valid;
        g_free(valid);
        std::size_t end = joined.size();

        const NSStringAttributes& attributes = run.attributes;
        PangoFontDescription* font = attributes.font.value_or(NSStringAttributes::defaultFont()).newPangoDescription();
        addAttribute(list, pango_attr_font_desc_new(font), start, end);
        pango_font_description_free(font);
        UIColor color = attributes.foregroundColor.value_or(NSStringAttributes::defaultColor());
        addAttribute(list,
                     pango_attr_foreground_new(toPangoColor(color.red()), toPangoColor(color.green()),
                                               toPangoColor(color.blue())),
                     start, end);
        addAttribute(list, pango_attr_foreground_alpha_new(std::max<guint16>(1, toPangoColor(color.alpha()))), start,
                     end);
        if (attributes.kern) addAttribute(list, pango_attr_letter_spacing_new(toPango(*attributes.kern)), start, end);
    }
    if (!whole && joined.size() > part) {
        std::size_t cut = part;
        while (cut > 0 && (static_cast<unsigned char>(joined[cut]) & 0xC0) == 0x80) --cut;
        joined.resize(cut);
    }
    pango_layout_set_text(layout, joined.data(), static_cast<int>(joined.size()));
    pango_layout_set_attributes(layout, list);
    pango_attr_list_unref(list);
    return whole;
}

// The longest run without white space that a text wraps by word. Pango
// wraps a run longer than a line with work growing with the square of its
// length (16 KiB took a second); by character at once, and a run that long
// is broken between characters either way.
constexpr std::size_t kLongestWordBytes = 1024;

bool holdsLongRun(const std::string& text) {
    std::size_t run = 0;
    for (const char c : text)
        if ((run = c == ' ' || c == '\n' || c == '\t' ? 0 : run + 1) > kLongestWordBytes) return true;
    return false;
}

}  // namespace

TextLayout::TextLayout(const NSAttributedString& text, CGSize limit, std::size_t lineLimit,
                       bool truncatesLastVisibleLine) {
    limit = {limitOrNone(limit.width), limitOrNone(limit.height)};
    auto lock = FontLibrary::shared().lock();
    layout_ = pango_layout_new(FontLibrary::shared().context());
    if (!text.runs().empty()) paragraph_ = text.runs().front().attributes.paragraphStyle.value_or(NSParagraphStyle{});
    PangoFontDescription* font = NSStringAttributes::defaultFont().newPangoDescription();
    pango_layout_set_font_description(layout_, font);
    pango_font_description_free(font);
    pango_layout_set_spacing(layout_, toPango(std::max(0.0, paragraph_.lineSpacing)));
    if (limit.width > 0) {
        pango_layout_set_width(layout_, toPango(limit.width));
        const bool byCharacter =
            paragraph_.lineBreakMode == NSLineBreakMode::ByCharWrapping || holdsLongRun(text.string());
        pango_layout_set_wrap(layout_, byCharacter ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
        pango_layout_set_justify(layout_, paragraph_.alignment == NSTextAlignment::Justified);
    }
    // Text wrapped in a bounded number of lines is laid out only as far as
    // those lines and two more reach: the kept lines are then those of the
    // whole text (what follows a line break after them changes none of
    // them), and a long text costs what a short one does. A line cut at its
    // head or middle shows the text's end, so it takes the whole text.
    const bool bounded = limit.width > 0 && (limit.height > 0 || lineLimit > 0) &&
                         paragraph_.lineBreakMode != NSLineBreakMode::ByTruncatingHead &&
                         paragraph_.lineBreakMode != NSLineBreakMode::ByTruncatingMiddle;
    for (std::size_t part = bounded ? kFirstPart : kWholeText;; part *= kGrowth) {
        const bool whole = setTextAndAttributes(layout_, text, part);
        if (text.length() == 0) return;
        measure(limit.height, lineLimit);
        if (whole || totalLines_ > lineCount_ + 2) break;
    }

    bool truncates = isTruncating(paragraph_.lineBreakMode) || truncatesLastVisibleLine;
    bool cut = lineCount_ < totalLines_ || overflows_;
    if (truncates && limit.width > 0 && cut) {
        // Pango ellipsizes the last line that fits the height it is given,
        // folding the rest of the text into it.
        pango_layout_set_ellipsize(layout_, ellipsisFor(paragraph_.lineBreakMode));
        pango_layout_set_height(layout_, toPango(size_.height));
        measure(limit.height, lineCount_);
        truncated_ = true;
    } else {
        clipped_ = cut;
    }
}

TextLayout TextLayout::forStringDrawing(const NSAttributedString& text, CGSize limit, NSStringDrawingOptions options) {
    if (!(options & NSStringDrawingUsesLineFragmentOrigin)) return TextLayout(text, {}, 1);
    NSLineBreakMode mode = NSLineBreakMode::ByWordWrapping;
    if (!text.runs().empty() && text.runs().front().attributes.paragraphStyle) {
        mode = text.runs().front().attributes.paragraphStyle->lineBreakMode;
    }
    bool oneLine = mode == NSLineBreakMode::ByClipping || isTruncating(mode);
    return TextLayout(text, limit, oneLine ? 1 : 0, options & NSStringDrawingTruncatesLastVisibleLine);
}

TextLayout::TextLayout(TextLayout&& other) noexcept
    : layout_(std::exchange(other.layout_, nullptr)),
      paragraph_(other.paragraph_),
      lineCount_(other.lineCount_),
      totalLines_(other.totalLines_),
      overflows_(other.overflows_),
      truncated_(other.truncated_),
      clipped_(other.clipped_),
      size_(other.size_),
      firstBaseline_(other.firstBaseline_) {}

TextLayout::~TextLayout() {
    if (!layout_) return;
    auto lock = FontLibrary::shared().lock();
    g_object_unref(layout_);
}

void TextLayout::measure(CGFloat heightLimit, std::size_t lineLimit) {
    totalLines_ = static_cast<std::size_t>(pango_layout_get_line_count(layout_));
    lineCount_ = 0;
    overflows_ = false;
    size_ = {};
    int width = pango_layout_get_width(layout_);
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    firstBaseline_ = fromPango(pango_layout_iter_get_baseline(iter));
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        CGFloat bottom = fromPango(logical.y + logical.height);
        bool fits = (lineLimit == 0 || lineCount_ < lineLimit) &&
                    (heightLimit <= 0 || bottom <= heightLimit + tolerance || lineCount_ == 0);
        if (!fits) break;
        ++lineCount_;
        size_.width = std::max(size_.width, fromPango(logical.width));
        size_.height = bottom;
        if (width >= 0 && logical.width > width) overflows_ = true;
    } while (pango_layout_iter_next_line(iter));
    pango_layout_iter_free(iter);
}

std::vector<std::string> TextLayout::lineTexts() const {
    std::vector<std::string> lines;
    if (!layout_) return lines;
    auto lock = FontLibrary::shared().lock();
    const char* text = pango_layout_get_text(layout_);
    GSList* line = pango_layout_get_lines_readonly(layout_);
    for (std::size_t kept = 0; kept < lineCount_ && line; ++kept, line = line->next) {
        // A line reaches to where the next begins, so a hard line break
        // stays at its end.
        const auto* layoutLine = static_cast<const PangoLayoutLine*>(line->data);
        const int end = line->next ? static_cast<const PangoLayoutLine*>(line->next->data)->start_index
                                   : layoutLine->start_index + layoutLine->length;
        lines.emplace_back(text + layoutLine->start_index, static_cast<std::size_t>(end - layoutLine->start_index));
    }
    return lines;
}

std::vector<TextLayout::DrawnLine> TextLayout::drawnLines() const {
    std::vector<DrawnLine> drawn;
    const std::vector<std::string> texts = lineTexts();
    if (texts.empty()) return drawn;
    auto lock = FontLibrary::shared().lock();
    PangoLayoutIter* iter = pango_layout_get_iter(layout_);
    for (std::size_t kept = 0; kept < texts.size(); ++kept) {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(iter, nullptr, &logical);
        const PangoLayoutLine* line = pango_layout_iter_get_line_readonly(iter);
        const std::string& whole = texts[kept];
        std::string text = whole;
        // The run an ellipsis replaces covers the text it stands for.
        for (GSList* run = line->runs; run; run = run->next) {
            const PangoItem* item = static_cast<const PangoGlyphItem*>(run->data)->item;
            if (!(item->analysis.flags & PANGO_ANALYSIS_FLAG_IS_ELLIPSIS)) continue;
            const auto from = static_cast<std::size_t>(item->offset - line->start_index);
            if (from <= text.size())
                text.replace(from, std::min(static_cast<std::size_t>(item->length), text.size() - from), "…");
        }
        drawn.push_back({whole, std::move(text), fromPango(logical.y), fromPango(logical.height)});
        if (!pango_layout_iter_next_line(iter)) break;
    }
    pango_layout_iter_free(iter);
    return drawn;
}

bool TextLayout::splitsWord() const {
    if (!layout_) return false;
    auto lock = FontLibrary::shared().lock();
    const char* text = pango_layout_get_text(layout_);
    int count = 0;
    const PangoLogAttr* attributes = pango_layout_get_log_attrs_readonly(layout_, &count);
    GSList* line = pango_layout_get_lines_readonly(layout_);
    for (std::size_t kept = 0; kept < lineCount_ && line; ++kept, line = line->next) {
        const int start = static_cast<const PangoLayoutLine*>(line->data)->start_index;
        const auto offset = static_cast<int>(g_utf8_pointer_to_offset(text, text + start));
        if (kept > 0 && offset < count && !attributes[offset].is_line_break) return true;
    }
    return false;
}

void TextLayout::draw(const CGContextRef& context, CGRect rect, bool clip) const {
    if (!context || lineCount_ == 0) return;
    auto lock = FontLibrary::shared().lock();
    cairo_t* cr = context->cairo();
    // Drawing text leaves the context's current path as it was (cairo keeps
    // the path outside its saved state, and the lines are placed by moves).
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_save(cr);
    cairo_new_path(cr);
    if (clip) {
        cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
        cairo_clip(cr);
    }
    CGFloat factor = alignmentFactor(paragraph_.alignment);
    context->paint([&] {
        PangoLayoutIter* iter = pango_layout_get_iter(layout_);
        for (std::size_t line = 0; line < lineCount_; ++line) {
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(iter, nullptr, &logical);
            CGFloat slack = rect.size.width > 0 ? rect.size.width - fromPango(logical.width) : 0;
            CGFloat x = rect.origin.x + fromPango(logical.x) + factor * slack;
            CGFloat baseline = rect.origin.y + fromPango(pango_layout_iter_get_baseline(iter));
            cairo_move_to(cr, x, baseline);
            pango_cairo_show_layout_line(cr, pango_layout_iter_get_line_readonly(iter));
            if (!pango_layout_iter_next_line(iter)) break;
        }
        pango_layout_iter_free(iter);
    });
    cairo_restore(cr);
    cairo_new_path(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}
