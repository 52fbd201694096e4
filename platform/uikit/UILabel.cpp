#include "uikit/UILabel.h"

#include <algorithm>
#include <cmath>

#include "graphics/NSMutableAttributedString.h"

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

CGSize UILabel::textSize(CGFloat width) const {
    if (text_.empty()) return CGSizeZero;
    NSAttributedString shown = attributedText();
    CGSize size = numberOfLines_ == 1 || width <= 0
                      ? shown.size()
                      : shown.boundingRectWithSize({width, 0}, NSStringDrawingUsesLineFragmentOrigin).size;
    if (numberOfLines_ > 0) size.height = std::min(size.height, font_.lineHeight() * static_cast<CGFloat>(numberOfLines_));
    return {std::ceil(size.width), std::ceil(size.height)};
}

CGSize UILabel::sizeThatFits(CGSize size) { return textSize(size.width); }

CGSize UILabel::intrinsicContentSize() {
    CGFloat width = preferredMaxLayoutWidth_ > 0 ? preferredMaxLayoutWidth_ : bounds().size.width;
    return textSize(width);
}

void UILabel::drawRect(CGRect) {
    if (text_.empty()) return;
    CGRect area = bounds();
    CGFloat height = std::min(textSize(area.size.width).height, area.size.height);
    CGFloat top = area.origin.y + (area.size.height - height) / 2;
    attributedText().drawInRect(CGRectMake(area.origin.x, top, area.size.width, height));
}

std::string UILabel::accessibilityLabel() const {
    std::string explicitLabel = UIView::accessibilityLabel();
    return explicitLabel.empty() ? text_ : explicitLabel;
}
