#include "uikit/UITextField.h"

#include <algorithm>
#include <cmath>

#include "foundation/NSNotificationCenter.h"
#include "foundation/UTF16.h"
#include "graphics/NSMutableAttributedString.h"
#include "uikit/KeyboardEdit.h"
#include "uikit/UIBezierPath.h"
#include "graphics/UIGraphics.h"

const char* const UITextFieldTextDidBeginEditingNotification = "UITextFieldTextDidBeginEditingNotification";
const char* const UITextFieldTextDidChangeNotification = "UITextFieldTextDidChangeNotification";
const char* const UITextFieldTextDidEndEditingNotification = "UITextFieldTextDidEndEditingNotification";

namespace {

constexpr CGFloat clearButtonSide = 19;
constexpr CGFloat clearButtonMargin = 5;
// The cross on the clear button: its span as a share of the disc, its stroke.
constexpr CGFloat clearCrossShare = 0.42;
constexpr CGFloat clearCrossWidth = 1.5;

UIColor placeholderColor() { return UIColor::colorWithWhite(0.7, 1); }

void post(const char* name, const Ref<NSObject>& field) {
    NSNotificationCenter::defaultCenter()->postNotificationName(name, field);
}

}  // namespace

UITextField::UITextField() = default;

UITextField::UITextField(CGRect frame) : UIControl(frame) {}

// --- Content ---

void UITextField::setText(std::string text) {
    text_ = std::move(text);
    textChanged(std::nullopt);
}

void UITextField::textChanged(std::optional<std::size_t> units) {
    textUnits_ = units;
    // The text keeps no attributes of its own, as when set.
    attributedText_.reset();
    invalidateIntrinsicContentSize();
}

NSAttributedString UITextField::attributedText() const {
    NSStringAttributes defaults;
    defaults.font = font_;
    defaults.foregroundColor = textColor_;
    NSParagraphStyle paragraph;
    paragraph.alignment = textAlignment_;
    defaults.paragraphStyle = paragraph;
    if (!attributedText_) return NSAttributedString(text_, defaults);
    NSMutableAttributedString merged(*attributedText_);
    for (const auto& run : attributedText_->runs()) merged.setAttributes(defaults.mergedWith(run.attributes), run.range);
    return merged;
}

void UITextField::setAttributedText(std::optional<NSAttributedString> text) {
    text_ = text ? text->string() : std::string();
    textUnits_.reset();
    attributedText_ = std::move(text);
    invalidateIntrinsicContentSize();
}

std::string UITextField::placeholder() const { return attributedPlaceholder_ ? attributedPlaceholder_->string() : ""; }

void UITextField::setPlaceholder(std::string placeholder) {
    if (placeholder.empty()) {
        setAttributedPlaceholder(std::nullopt);
        return;
    }
    NSStringAttributes attributes;
    attributes.foregroundColor = placeholderColor();
    setAttributedPlaceholder(NSAttributedString(std::move(placeholder), attributes));
}

void UITextField::setAttributedPlaceholder(std::optional<NSAttributedString> placeholder) {
    attributedPlaceholder_ = std::move(placeholder);
    invalidateIntrinsicContentSize();
}

// --- Appearance ---

void UITextField::setFont(const UIFont& font) {
    font_ = font;
    invalidateIntrinsicContentSize();
}

void UITextField::setBorderStyle(UITextBorderStyle style) {
    borderStyle_ = style;
    setNeedsLayout();
}

void UITextField::setClearButtonMode(UITextFieldViewMode mode) {
    clearButtonMode_ = mode;
    setNeedsLayout();
}

void UITextField::setLeftView(const Ref<UIView>& view) {
    if (leftView_ == view) return;
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

void UITextField::setLeftViewMode(UITextFieldViewMode mode) {
    leftViewMode_ = mode;
    setNeedsLayout();
}

void UITextField::setRightView(const Ref<UIView>& view) {
    if (rightView_ == view) return;
    if (rightView_) rightView_->removeFromSuperview();
    rightView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

void UITextField::setRightViewMode(UITextFieldViewMode mode) {
    rightViewMode_ = mode;
    setNeedsLayout();
}

bool UITextField::shows(UITextFieldViewMode mode, bool editing) {
    switch (mode) {
        case UITextFieldViewMode::Never: return false;
        case UITextFieldViewMode::WhileEditing: return editing;
        case UITextFieldViewMode::UnlessEditing: return !editing;
        case UITextFieldViewMode::Always: return true;
    }
    return false;
}

bool UITextField::showsClearButton() const { return !text_.empty() && shows(clearButtonMode_, editing_); }

// --- Geometry ---

CGFloat UITextField::borderPadding() const {
    switch (borderStyle_) {
        case UITextBorderStyle::None: return 0;
        case UITextBorderStyle::Line:
        case UITextBorderStyle::Bezel: return 2;
        case UITextBorderStyle::RoundedRect: return 7;
    }
    return 0;
}

CGRect UITextField::leftViewRectForBounds(CGRect bounds) {
    if (!leftView_) return CGRectZero;
    CGSize size = leftView_->frame().size;
    return CGRectMake(CGRectGetMinX(bounds), CGRectGetMinY(bounds) + (bounds.size.height - size.height) / 2, size.width,
                      size.height);
}

CGRect UITextField::rightViewRectForBounds(CGRect bounds) {
    if (!rightView_) return CGRectZero;
    CGSize size = rightView_->frame().size;
    return CGRectMake(CGRectGetMaxX(bounds) - size.width,
                      CGRectGetMinY(bounds) + (bounds.size.height - size.height) / 2, size.width, size.height);
}

CGRect UITextField::clearButtonRectForBounds(CGRect bounds) {
    CGFloat right = CGRectGetMaxX(bounds) - clearButtonMargin;
    if (rightView_ && shows(rightViewMode_, editing_)) right -= rightViewRectForBounds(bounds).size.width;
    return CGRectMake(right - clearButtonSide, CGRectGetMinY(bounds) + (bounds.size.height - clearButtonSide) / 2,
                      clearButtonSide, clearButtonSide);
}

CGRect UITextField::textRectForBounds(CGRect bounds) {
    CGFloat left = CGRectGetMinX(bounds) + borderPadding();
    CGFloat right = CGRectGetMaxX(bounds) - borderPadding();
    if (leftView_ && shows(leftViewMode_, editing_)) left = std::max(left, CGRectGetMaxX(leftViewRectForBounds(bounds)));
    if (rightView_ && shows(rightViewMode_, editing_)) right = std::min(right, CGRectGetMinX(rightViewRectForBounds(bounds)));
    if (showsClearButton()) right = std::min(right, CGRectGetMinX(clearButtonRectForBounds(bounds)));
    return CGRectMake(left, CGRectGetMinY(bounds), std::max(0.0, right - left), bounds.size.height);
}

void UITextField::layoutSubviews() {
    UIControl::layoutSubviews();
    CGRect area = bounds();
    if (leftView_) {
        leftView_->setFrame(leftViewRectForBounds(area));
        leftView_->setHidden(!shows(leftViewMode_, editing_));
    }
    if (rightView_) {
        rightView_->setFrame(rightViewRectForBounds(area));
        rightView_->setHidden(!shows(rightViewMode_, editing_));
    }
}

CGSize UITextField::sizeThatFits(CGSize) {
    NSAttributedString shown = text_.empty() && attributedPlaceholder_ ? *attributedPlaceholder_ : attributedText();
    CGSize textSize = shown.size();
    CGFloat width = std::ceil(textSize.width) + 2 * borderPadding();
    CGFloat height = std::ceil(font_.lineHeight());
    for (const auto& [view, mode] : {std::pair{leftView_, leftViewMode_}, std::pair{rightView_, rightViewMode_}}) {
        if (!view || !shows(mode, editing_)) continue;
        width += view->frame().size.width;
        height = std::max(height, view->frame().size.height);
    }
    if (borderStyle_ == UITextBorderStyle::RoundedRect) height += 8;
    return {width, height};
}

CGSize UITextField::intrinsicContentSize() { return sizeThatFits(CGSizeZero); }

// --- Drawing ---

std::string UITextField::shownText() const { return secureTextEntry_ ? KeyboardEdit::bullets(text_) : text_; }

void UITextField::drawBorder() const {
    CGRect area = bounds();
    switch (borderStyle_) {
        case UITextBorderStyle::None: return;
        case UITextBorderStyle::Line:
        case UITextBorderStyle::Bezel: {
            auto path = UIBezierPath::bezierPathWithRect(CGRectInset(area, 0.5, 0.5));
            UIColor colour = borderStyle_ == UITextBorderStyle::Line ? UIColor::blackColor() : UIColor::grayColor();
            CGContextSetStrokeColorWithColor(UIGraphicsGetCurrentContext(), colour);
            path->setLineWidth(1);
            path->stroke();
            return;
        }
        case UITextBorderStyle::RoundedRect: {
            auto path = UIBezierPath::bezierPathWithRoundedRect(CGRectInset(area, 0.25, 0.25), 5);
            auto context = UIGraphicsGetCurrentContext();
            if (!backgroundColor()) {
                CGContextSetFillColorWithColor(context, UIColor::whiteColor());
                path->fill();
            }
            CGContextSetStrokeColorWithColor(context, UIColor::colorWithWhite(0.8, 1));
            path->setLineWidth(0.5);
            path->stroke();
            return;
        }
    }
}

std::optional<UITextField::DrawnString> UITextField::drawnString() {
    CGRect area = bounds();
    NSAttributedString shown;
    CGRect rect;
    if (!text_.empty()) {
        shown = secureTextEntry_ ? NSAttributedString(shownText(), attributedText().attributesAtIndex(0)) : attributedText();
        rect = editing_ ? editingRectForBounds(area) : textRectForBounds(area);
    } else if (attributedPlaceholder_) {
        NSStringAttributes defaults;
        defaults.font = font_;
        NSParagraphStyle paragraph;
        paragraph.alignment = textAlignment_;
        defaults.paragraphStyle = paragraph;
        NSMutableAttributedString merged(*attributedPlaceholder_);
        for (const auto& run : attributedPlaceholder_->runs())
            merged.setAttributes(defaults.mergedWith(run.attributes), run.range);
        shown = merged;
        rect = placeholderRectForBounds(area);
    } else {
        return std::nullopt;
    }
    // A field shows one line: the first its text wraps into across the
    // rectangle, which is all that is laid out, however long the text.
    TextLayout line(shown, {rect.size.width, 0}, 1);
    CGFloat lineHeight = std::min(std::ceil(line.size().height), rect.size.height);
    return DrawnString{std::move(line), CGRectMake(rect.origin.x, rect.origin.y + (rect.size.height - lineHeight) / 2,
                                                   rect.size.width, lineHeight)};
}

std::vector<NSAttributedString::DrawnLine> UITextField::drawnLines() {
    std::vector<NSAttributedString::DrawnLine> lines;
    if (auto drawn = drawnString())
        for (auto& line : drawn->line.drawnLines())
            lines.push_back({std::move(line.text), CGRectMake(drawn->rect.origin.x, drawn->rect.origin.y + line.top,
                                                              drawn->rect.size.width, line.height)});
    return lines;
}

void UITextField::drawRect(CGRect) {
    if (!UIGraphicsGetCurrentContext()) return;
    drawBorder();
    if (auto drawn = drawnString()) drawn->line.draw(UIGraphicsGetCurrentContext(), drawn->rect, true);
    if (showsClearButton()) drawClearButton(clearButtonRectForBounds(bounds()));
}

void UITextField::drawClearButton(CGRect rect) {
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::colorWithWhite(0.75, 1));
    UIBezierPath::bezierPathWithOvalInRect(rect)->fill();
    // A white cross across the disc's middle, its arms half the disc wide.
    const CGFloat arm = rect.size.width * clearCrossShare / 2;
    const CGPoint centre{CGRectGetMidX(rect), CGRectGetMidY(rect)};
    auto cross = UIBezierPath::bezierPath();
    cross->moveToPoint({centre.x - arm, centre.y - arm});
    cross->addLineToPoint({centre.x + arm, centre.y + arm});
    cross->moveToPoint({centre.x + arm, centre.y - arm});
    cross->addLineToPoint({centre.x - arm, centre.y + arm});
    cross->setLineWidth(clearCrossWidth);
    cross->setLineCapStyle(kCGLineCapRound);
    CGContextSetStrokeColorWithColor(context, UIColor::whiteColor());
    cross->stroke();
}

std::string UITextField::accessibilityLabel() const {
    std::string explicitLabel = UIView::accessibilityLabel();
    return explicitLabel.empty() ? placeholder() : explicitLabel;
}

std::string UITextField::accessibilityValue() const { return shownText(); }

// --- Responder ---

bool UITextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder() || !window()) return false;
    Ref<UITextField> me = self<UITextField>();
    if (auto listener = delegate(); listener && !listener->textFieldShouldBeginEditing(me)) return false;
    return UIControl::becomeFirstResponder();
}

bool UITextField::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    Ref<UITextField> me = self<UITextField>();
    if (!isResigningByForce())
        if (auto listener = delegate(); listener && !listener->textFieldShouldEndEditing(me)) return false;
    return UIControl::resignFirstResponder();
}

void UITextField::firstResponderDidChange(bool isFirst) {
    Ref<UITextField> me = self<UITextField>();
    editing_ = isFirst;
    setNeedsLayout();
    auto listener = delegate();
    if (isFirst) {
        if (listener) listener->textFieldDidBeginEditing(me);
        sendActionsForControlEvents(UIControlEventEditingDidBegin);
        post(UITextFieldTextDidBeginEditingNotification, me);
    } else {
        if (listener) listener->textFieldDidEndEditing(me);
        sendActionsForControlEvents(UIControlEventEditingDidEnd);
        post(UITextFieldTextDidEndEditingNotification, me);
    }
}

void UITextField::trackTapAt(CGPoint point) {
    Ref<UITextField> me = self<UITextField>();
    UIControl::trackTapAt(point);
    if (showsClearButton() && CGRectContainsPoint(clearButtonRectForBounds(bounds()), point)) {
        if (auto listener = delegate(); listener && !listener->textFieldShouldClear(me)) return;
        if (!editing_ && !becomeFirstResponder()) return;
        setText("");
        textDidChangeByEditing();
        return;
    }
    becomeFirstResponder();
}

// --- Typing ---

bool UITextField::replaceCharacters(NSRange range, const std::string& replacement) {
    Ref<UITextField> me = self<UITextField>();
    if (auto listener = delegate();
        listener && !listener->textFieldShouldChangeCharactersInRangeReplacementString(me, range, replacement))
        return false;
    // Edited in place: a typed character costs what it adds, not a copy of
    // the text.
    textChanged(KeyboardEdit::apply(text_, textUnits(), range, replacement));
    textDidChangeByEditing();
    return true;
}

std::size_t UITextField::textUnits() const {
    if (!textUnits_) textUnits_ = UTF16::length(text_);
    return *textUnits_;
}

void UITextField::textDidChangeByEditing() {
    Ref<UITextField> me = self<UITextField>();
    setNeedsLayout();
    sendActionsForControlEvents(UIControlEventEditingChanged);
    post(UITextFieldTextDidChangeNotification, me);
}

void UITextField::insertText(const std::string& text) {
    Ref<UITextField> keepAlive = self<UITextField>();
    for (std::size_t at = 0; at < text.size();) {
        const std::string character(KeyboardEdit::nextCharacter(text, at));
        if (character == "\n" || character == "\r") {
            pressReturn();
            continue;
        }
        replaceCharacters({textUnits(), 0}, character);
    }
}

void UITextField::deleteBackward() {
    if (text_.empty()) return;
    replaceCharacters(KeyboardEdit::lastCharacterRange(text_, textUnits()), "");
}

void UITextField::pressReturn() {
    Ref<UITextField> me = self<UITextField>();
    if (auto listener = delegate(); listener && !listener->textFieldShouldReturn(me)) return;
    bool endsOnExit = allControlEvents() & UIControlEventEditingDidEndOnExit;
    sendActionsForControlEvents(UIControlEventEditingDidEndOnExit);
    if (endsOnExit) resignFirstResponder();
}
