#include "uikit/UITextView.h"

#include "foundation/NSNotificationCenter.h"
#include "graphics/NSAttributedString.h"
#include "foundation/UTF16.h"
#include "uikit/KeyboardEdit.h"

const char* const UITextViewTextDidBeginEditingNotification = "UITextViewTextDidBeginEditingNotification";
const char* const UITextViewTextDidChangeNotification = "UITextViewTextDidChangeNotification";
const char* const UITextViewTextDidEndEditingNotification = "UITextViewTextDidEndEditingNotification";

namespace {
// The space between the text container's edges and the text.
constexpr CGFloat lineFragmentPadding = 5;
}  // namespace

void UITextView::setText(std::string text) {
    text_ = std::move(text);
    textChanged(std::nullopt);
}

void UITextView::textChanged(std::optional<std::size_t> units) {
    textUnits_ = units;
    setNeedsLayout();
}

void UITextView::setFont(const UIFont& font) {
    font_ = font;
    setNeedsLayout();
}

void UITextView::setEditable(bool editable) {
    editable_ = editable;
    if (!editable) forceResignFirstResponder();
}

bool UITextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder() || !window()) return false;
    Ref<UITextView> me = self<UITextView>();
    if (auto listener = delegate(); listener && !listener->textViewShouldBeginEditing(me)) return false;
    return UIView::becomeFirstResponder();
}

bool UITextView::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    Ref<UITextView> me = self<UITextView>();
    if (!isResigningByForce())
        if (auto listener = delegate(); listener && !listener->textViewShouldEndEditing(me)) return false;
    return UIView::resignFirstResponder();
}

void UITextView::firstResponderDidChange(bool isFirst) {
    Ref<UITextView> me = self<UITextView>();
    auto listener = delegate();
    if (isFirst) {
        if (listener) listener->textViewDidBeginEditing(me);
        NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidBeginEditingNotification, me);
    } else {
        if (listener) listener->textViewDidEndEditing(me);
        NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidEndEditingNotification, me);
    }
}

bool UITextView::handleTapAt(CGPoint point) {
    if (UIView::handleTapAt(point)) return true;
    if (!editable_) return false;
    becomeFirstResponder();
    return true;
}

void UITextView::replaceText(NSRange range, const std::string& replacement) {
    Ref<UITextView> me = self<UITextView>();
    if (!editable_) return;
    if (auto listener = delegate();
        listener && !listener->textViewShouldChangeTextInRangeReplacementText(me, range, replacement))
        return;
    // Edited in place: a typed character costs what it adds, not a copy of the text.
    textChanged(KeyboardEdit::apply(text_, textUnits(), range, replacement));
    if (auto listener = delegate()) listener->textViewDidChange(me);
    NSNotificationCenter::defaultCenter()->postNotificationName(UITextViewTextDidChangeNotification, me);
}

void UITextView::insertText(const std::string& text) {
    Ref<UITextView> keepAlive = self<UITextView>();
    for (std::size_t at = 0; at < text.size();)
        replaceText({textUnits(), 0}, std::string(KeyboardEdit::nextCharacter(text, at)));
}

std::size_t UITextView::textUnits() const {
    if (!textUnits_) textUnits_ = UTF16::length(text_);
    return *textUnits_;
}

void UITextView::deleteBackward() {
    if (!text_.empty()) replaceText(KeyboardEdit::lastCharacterRange(text_, textUnits()), "");
}

NSAttributedString UITextView::drawnString() const {
    NSStringAttributes attributes;
    attributes.font = font_;
    attributes.foregroundColor = textColor_;
    NSParagraphStyle paragraph;
    paragraph.alignment = textAlignment_;
    attributes.paragraphStyle = paragraph;
    return NSAttributedString(text_, attributes);
}

CGRect UITextView::textRect() const {
    UIEdgeInsets inset = textContainerInset_;
    inset.left += lineFragmentPadding;
    inset.right += lineFragmentPadding;
    return UIEdgeInsetsInsetRect(bounds(), inset);
}

void UITextView::drawRect(CGRect) {
    if (!text_.empty()) drawnString().drawInRect(textRect());
}

std::vector<NSAttributedString::DrawnLine> UITextView::drawnLines() const {
    if (text_.empty()) return {};
    return drawnString().drawnLinesInRect(textRect());
}
