#pragma once

#include <optional>
#include <string>
#include <vector>

#include "graphics/NSAttributedString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIView.h"

// A view that shows text: plain text in one font, colour and alignment, or
// attributed text (whose runs fall back to the label's font and colour where
// they set none). It sizes itself from the same text metrics it draws with,
// and draws its text centred vertically in its bounds, as UIKit does. Not
// interactive by default, so taps go through to the view behind.
class UILabel : public UIView {
public:
    UILabel();
    explicit UILabel(CGRect frame);

    // Setting the text drops any attributed text.
    const std::string& text() const { return text_; }
    void setText(std::string text);
    // The attributed text shown: the one set, or the plain text with the
    // label's attributes.
    NSAttributedString attributedText() const;
    void setAttributedText(std::optional<NSAttributedString> text);
    const UIFont& font() const { return font_; }
    void setFont(const UIFont& font);
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(const UIColor& color) { textColor_ = color; }
    NSTextAlignment textAlignment() const { return textAlignment_; }
    void setTextAlignment(NSTextAlignment alignment) { textAlignment_ = alignment; }
    // 0 means as many lines as the text needs.
    long numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(long lines);
    NSLineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(NSLineBreakMode mode) { lineBreakMode_ = mode; }
    // A one-line text too wide for the bounds is drawn in a font made
    // smaller to fit, down to `minimumScaleFactor` of its size (no limit for
    // 0); wrapped text shrinks in steps until its lines fit the bounds with
    // no word cut between two lines, down to `minimumScaleFactor` (a tenth
    // for 0). The intrinsic size stays that of the full-size text.
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSizeToFitWidth_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts) { adjustsFontSizeToFitWidth_ = adjusts; }
    CGFloat minimumScaleFactor() const { return minimumScaleFactor_; }
    void setMinimumScaleFactor(CGFloat factor) { minimumScaleFactor_ = factor; }
    // The width multi-line text wraps at for its intrinsic size (0: the bounds' width).
    CGFloat preferredMaxLayoutWidth() const { return preferredMaxLayoutWidth_; }
    void setPreferredMaxLayoutWidth(CGFloat width);

    // The text's size wrapped at `size.width` (multi-line labels), within
    // the line limit, rounded up to whole points.
    CGSize sizeThatFits(CGSize size) override;
    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;

    // How drawRect places the text in the bounds: the rectangle its kept
    // lines cover (which may reach past the bounds when one line is taller
    // than they are), whether the last kept line ends in the line break
    // mode's ellipsis, and whether the text is cut off without one.
    struct DrawnText {
        CGRect rect;
        bool truncated = false;
        bool clipped = false;
        // The kept lines' texts, in order.
        std::vector<std::string> lines;
        // The kept lines as a reader sees them (an ellipsis in place of the
        // text it stands for), each with the rectangle it is drawn in.
        using Line = NSAttributedString::DrawnLine;
        std::vector<Line> shownLines;
    };
    DrawnText drawnText() const;
    // The text, unless a label was set explicitly.
    std::string accessibilityLabel() const override;

private:
    // The attributed text as drawn in the bounds: with its fonts made smaller
    // when adjustsFontSizeToFitWidth asks for it.
    NSAttributedString fittedText() const;
    // The text's size when wrapped at `width` (0: unwrapped), line limit applied.
    CGSize textSize(CGFloat width) const;

    std::string text_;
    std::optional<NSAttributedString> attributedText_;
    UIFont font_ = UIFont::systemFontOfSize(17);
    UIColor textColor_ = UIColor::blackColor();
    NSTextAlignment textAlignment_ = NSTextAlignment::Natural;
    long numberOfLines_ = 1;
    NSLineBreakMode lineBreakMode_ = NSLineBreakMode::ByTruncatingTail;
    bool adjustsFontSizeToFitWidth_ = false;
    CGFloat minimumScaleFactor_ = 0;
    CGFloat preferredMaxLayoutWidth_ = 0;
};
