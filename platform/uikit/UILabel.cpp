#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

#include "graphics/NSMutableAttributedString.h"
#include "graphics/TextLayout.h"
#include "graphics/UIGraphics.h"

UILabel::UILabel() { setUserInteractionEnabled(false); }

UILabel::UILabel(CGRect frame) : UIView(frame) { setUserInteractionEnabled(false); }

void UILabel::setText(std::string text) {
    text_ = std::move(text);
    attributedText_.reset();
    invalidateIntrinsicContentSize();
}

void UILabel::setAttributedText(std::optional<NSAttributedString> text) {
    text_ = text ? text->string() : std::string();
    attributedText_ = std::move(text);
    invalidateIntrinsicContentSize();
}

void UILabel::setFont(const UIFont& font) {
    font_ = font;
    invalidateIntrinsicContentSize();
}

void UILabel::setNumberOfLines(long lines) {
    numberOfLines_ = std::max(0L, lines);
    invalidateIntrinsicContentSize();
}

void UILabel::setPreferredMaxLayoutWidth(CGFloat width) {
    preferredMaxLayoutWidth_ = width;
    invalidateIntrinsicContentSize();
}

NSAttributedString UILabel::attributedText() const {
    NSStringAttributes defaults;
    defaults.font = font_;
    defaults.foregroundColor = textColor_;
    NSParagraphStyle paragraph;
    paragraph.alignment = textAlignment_;
    paragraph.lineBreakMode = lineBreakMode_;
    defaults.paragraphStyle = paragraph;
    if (!attributedText_) return NSAttributedString(text_, defaults);
    NSMutableAttributedString merged(*attributedText_);
    for (const auto& run : attributedText_->runs()) merged.setAttributes(defaults.mergedWith(run.attributes), run.range);
    return merged;
}

namespace {

// Each step of shrinking wrapped text takes this share of the previous size.
constexpr CGFloat kShrinkStep = 0.9;
// Wrapped text shrinks no further than this without a minimum scale.
constexpr CGFloat kSmallestWrappedScale = 0.1;

NSAttributedString scaledText(const NSAttributedString& text, const UIFont& fallback, CGFloat scale) {
    NSMutableAttributedString scaled(text);
    for (const auto& run : text.runs()) {
        NSStringAttributes attributes = run.attributes;
        const UIFont font = attributes.font.value_or(fallback);
        attributes.font = font.fontWithSize(font.pointSize() * scale);
        scaled.setAttributes(attributes, run.range);
    }
    return scaled;
}

}  // namespace

NSAttributedString UILabel::fittedText() const {
    NSAttributedString text = attributedText();
    const CGSize area = bounds().size;
    if (!adjustsFontSizeToFitWidth_ || area.width <= 0 || text.length() == 0) return text;
    if (numberOfLines_ == 1) {
        const CGFloat natural = TextLayout(text, {}, 1).size().width;
        if (natural <= area.width) return text;
        // Glyph widths scale with the font size (unhinted text); a hair less
        // keeps rounding to pango's units from wrapping the line.
        return scaledText(text, font_, std::max(area.width / natural * 0.995, minimumScaleFactor_));
    }
    const auto lineLimit = static_cast<std::size_t>(numberOfLines_);
    const auto fits = [&](const NSAttributedString& candidate) {
        TextLayout layout(candidate, area, lineLimit);
        return !layout.clipped() && !layout.truncated() && !layout.splitsWord();
    };
    if (fits(text)) return text;
    const CGFloat smallest = minimumScaleFactor_ > 0 ? minimumScaleFactor_ : kSmallestWrappedScale;
    for (CGFloat scale = kShrinkStep;; scale *= kShrinkStep) {
        NSAttributedString scaled = scaledText(text, font_, std::max(scale, smallest));
        if (scale <= smallest || fits(scaled)) return scaled;
    }
}

CGSize UILabel::textSize(CGFloat width) const {
    if (text_.empty()) return CGSizeZero;
    // One-line labels measure their whole line; others wrap at the width.
    CGFloat wrapWidth = numberOfLines_ == 1 ? 0 : std::max(0.0, width);
    CGSize size = TextLayout(attributedText(), {wrapWidth, 0}, static_cast<std::size_t>(numberOfLines_)).size();
    return {std::ceil(size.width), std::ceil(size.height)};
}

CGSize UILabel::sizeThatFits(CGSize size) { return textSize(size.width); }

CGSize UILabel::intrinsicContentSize() {
    CGFloat width = preferredMaxLayoutWidth_ > 0 ? preferredMaxLayoutWidth_ : bounds().size.width;
    return textSize(width);
}

namespace {

// The horizontal share of the slack that goes left of a line, as drawing places it.
CGFloat alignmentShare(NSTextAlignment alignment) {
    switch (alignment) {
        case NSTextAlignment::Center: return 0.5;
        case NSTextAlignment::Right: return 1;
        default: return 0;
    }
}

}  // namespace

UILabel::DrawnText UILabel::drawnText() const {
    if (text_.empty()) return {};
    CGRect area = bounds();
    NSAttributedString text = fittedText();
    NSTextAlignment alignment = textAlignment_;
    if (!text.runs().empty() && text.runs().front().attributes.paragraphStyle)
        alignment = text.runs().front().attributes.paragraphStyle->alignment;
    TextLayout layout(text, area.size, static_cast<std::size_t>(numberOfLines_));
    CGSize size = layout.size();
    CGFloat left = area.size.width > 0 ? alignmentShare(alignment) * (area.size.width - size.width) : 0;
    CGRect rect = CGRectMake(area.origin.x + left, area.origin.y + (area.size.height - size.height) / 2, size.width,
                             size.height);
    std::vector<std::string> lines;
    std::vector<DrawnText::Line> shownLines;
    for (auto& line : layout.drawnLines()) {
        lines.push_back(std::move(line.kept));
        shownLines.push_back(
            {std::move(line.text), CGRectMake(area.origin.x, rect.origin.y + line.top, area.size.width, line.height)});
    }
    return {rect, layout.truncated(), layout.clipped(), std::move(lines), std::move(shownLines)};
}

// The lines that fit the bounds and the line limit (the last one truncated
// as the line break mode says), centred vertically.
void UILabel::drawRect(CGRect) {
    auto context = UIGraphicsGetCurrentContext();
    if (text_.empty() || !context) return;
    CGRect area = bounds();
    TextLayout layout(fittedText(), area.size, static_cast<std::size_t>(numberOfLines_));
    CGFloat top = area.origin.y + (area.size.height - layout.size().height) / 2;
    layout.draw(context, CGRectMake(area.origin.x, top, area.size.width, layout.size().height), false);
}

std::string UILabel::accessibilityLabel() const {
    std::string explicitLabel = UIView::accessibilityLabel();
    return explicitLabel.empty() ? text_ : explicitLabel;
}
