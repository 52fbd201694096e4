#pragma once

#include <optional>
#include <string>

#include "graphics/NSAttributedString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/UIColor.h"
#include "graphics/UIEdgeInsets.h"
#include "graphics/UIFont.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UITextViewDelegate.h"
#include "uikit/UIView.h"

// Posted by a text view (the object) as editing begins, after each edit, and
// as editing ends.
extern const char* const UITextViewTextDidBeginEditingNotification;
extern const char* const UITextViewTextDidChangeNotification;
extern const char* const UITextViewTextDidEndEditingNotification;

// A multi-line text input. It edits while first responder: a tap on an
// editable view, or the driver's typing, makes it so after the delegate's
// textViewShouldBeginEditing agrees. Typing goes one character at a time at
// the end of the text (a line feed is a character like any other): the
// delegate may refuse each change; an accepted one is applied, then the
// delegate's textViewDidChange runs and the change notification is posted.
// Setting `text` in code reports nothing.
//
// The text is drawn wrapped inside textContainerInset (8 points above and
// below) with 5 points of line padding on each side, as UIKit lays it out.
class UITextView : public UIView, public UIKeyInput {
public:
    UITextView() = default;
    explicit UITextView(CGRect frame) : UIView(frame) {}

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const UIFont& font() const { return font_; }
    virtual void setFont(const UIFont& font);
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(const UIColor& color) { textColor_ = color; }
    NSTextAlignment textAlignment() const { return textAlignment_; }
    void setTextAlignment(NSTextAlignment alignment) { textAlignment_ = alignment; }
    bool isEditable() const { return editable_; }
    // Not editable: typing is refused and a first responder resigns.
    void setEditable(bool editable);
    UIEdgeInsets textContainerInset() const { return textContainerInset_; }
    void setTextContainerInset(UIEdgeInsets inset) { textContainerInset_ = inset; }

    Ref<UITextViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UITextViewDelegate>& delegate) { delegate_ = delegate; }
    bool isEditing() const { return isFirstResponder(); }

    bool canBecomeFirstResponder() const override { return editable_; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool hasText() const override { return !text_.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    // A tap on an editable view starts editing.
    bool handleTapAt(CGPoint point) override;
    void drawRect(CGRect rect) override;
    // The lines of text drawRect draws (bounds space): those that fit.
    std::vector<NSAttributedString::DrawnLine> drawnLines() const;
    std::string accessibilityValue() const override { return text_; }

protected:
    void firstResponderDidChange(bool isFirst) override;

private:
    void replaceText(NSRange range, const std::string& replacement);
    // After `text_` changed: its length in UTF-16 units when known.
    void textChanged(std::optional<std::size_t> units);
    // The text as drawn, and the rectangle it is drawn in.
    NSAttributedString drawnString() const;
    CGRect textRect() const;

    // The text's length in UTF-16 units, carried along while typing.
    std::size_t textUnits() const;

    std::string text_;
    mutable std::optional<std::size_t> textUnits_;
    UIFont font_ = UIFont::systemFontOfSize(12);
    UIColor textColor_ = UIColor::blackColor();
    NSTextAlignment textAlignment_ = NSTextAlignment::Natural;
    bool editable_ = true;
    UIEdgeInsets textContainerInset_{8, 0, 8, 0};
    WeakRef<UITextViewDelegate> delegate_;
};
