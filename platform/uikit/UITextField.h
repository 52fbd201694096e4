#pragma once

#include <optional>
#include <string>

#include "foundation/NSRange.h"
#include "graphics/NSAttributedString.h"
#include "graphics/NSParagraphStyle.h"
#include "graphics/TextLayout.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "uikit/UIControl.h"
#include "uikit/UIKeyInput.h"
#include "uikit/UITextFieldDelegate.h"
#include "uikit/UITextInputTraits.h"

enum class UITextBorderStyle { None, Line, Bezel, RoundedRect };
// When an overlay view (left, right, clear button) shows.
enum class UITextFieldViewMode { Never, WhileEditing, UnlessEditing, Always };

// Posted by a text field (the object) as editing begins, after each edit,
// and as editing ends.
extern const char* const UITextFieldTextDidBeginEditingNotification;
extern const char* const UITextFieldTextDidChangeNotification;
extern const char* const UITextFieldTextDidEndEditingNotification;

// A one-line text input.
//
// Editing: the field edits while it is first responder. Becoming first
// responder (a tap, the driver's typing, or code) first asks the delegate's
// textFieldShouldBeginEditing; then the field tells the delegate
// (DidBeginEditing), sends EditingDidBegin and posts the begin
// notification. Resigning asks textFieldShouldEndEditing (unless forced by
// UIView::endEditing(true)), then DidEndEditing, EditingDidEnd and the end
// notification.
//
// Typing (UIKeyInput) goes one character at a time, at the end of the text:
// for each, the delegate may refuse the change of that UTF-16 range; an
// accepted one is applied, then the EditingChanged actions run and the
// change notification is posted. A line feed is the return key: it asks
// textFieldShouldReturn, and when that agrees sends EditingDidEndOnExit,
// ending editing when that event has actions. Setting `text` in code sends
// nothing.
//
// Looks: the text (bullets when secure) or else the placeholder, in the text
// rectangle: the bounds less the border's padding and the overlay views that
// show. The left and right views are subviews placed at the edges.
class UITextField : public UIControl, public UIKeyInput {
public:
    UITextField();
    explicit UITextField(CGRect frame);

    // --- Content ---
    const std::string& text() const { return text_; }
    // Drops any attributed text.
    void setText(std::string text);
    // The attributed text set, or the text with the field's attributes.
    NSAttributedString attributedText() const;
    void setAttributedText(std::optional<NSAttributedString> text);
    // The attributed placeholder's text ("" when none).
    std::string placeholder() const;
    // Sets the attributed placeholder to the text in the placeholder grey.
    void setPlaceholder(std::string placeholder);
    std::optional<NSAttributedString> attributedPlaceholder() const { return attributedPlaceholder_; }
    void setAttributedPlaceholder(std::optional<NSAttributedString> placeholder);

    // --- Appearance ---
    const UIFont& font() const { return font_; }
    void setFont(const UIFont& font);
    const UIColor& textColor() const { return textColor_; }
    void setTextColor(const UIColor& color) { textColor_ = color; }
    NSTextAlignment textAlignment() const { return textAlignment_; }
    void setTextAlignment(NSTextAlignment alignment) { textAlignment_ = alignment; }
    UITextBorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(UITextBorderStyle style);
    bool isSecureTextEntry() const { return secureTextEntry_; }
    void setSecureTextEntry(bool secure) { secureTextEntry_ = secure; }
    UIKeyboardType keyboardType() const { return keyboardType_; }
    void setKeyboardType(UIKeyboardType type) { keyboardType_ = type; }
    UIReturnKeyType returnKeyType() const { return returnKeyType_; }
    void setReturnKeyType(UIReturnKeyType type) { returnKeyType_ = type; }
    UITextFieldViewMode clearButtonMode() const { return clearButtonMode_; }
    void setClearButtonMode(UITextFieldViewMode mode);
    Ref<UIView> leftView() const { return leftView_; }
    void setLeftView(const Ref<UIView>& view);
    UITextFieldViewMode leftViewMode() const { return leftViewMode_; }
    void setLeftViewMode(UITextFieldViewMode mode);
    Ref<UIView> rightView() const { return rightView_; }
    void setRightView(const Ref<UIView>& view);
    UITextFieldViewMode rightViewMode() const { return rightViewMode_; }
    void setRightViewMode(UITextFieldViewMode mode);

    Ref<UITextFieldDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<UITextFieldDelegate>& delegate) { delegate_ = delegate; }
    bool isEditing() const { return editing_; }

    // --- Geometry (bounds space) ---
    virtual CGRect textRectForBounds(CGRect bounds);
    virtual CGRect placeholderRectForBounds(CGRect bounds) { return textRectForBounds(bounds); }
    virtual CGRect editingRectForBounds(CGRect bounds) { return textRectForBounds(bounds); }
    virtual CGRect clearButtonRectForBounds(CGRect bounds);
    virtual CGRect leftViewRectForBounds(CGRect bounds);
    virtual CGRect rightViewRectForBounds(CGRect bounds);

    // --- Responder and typing ---
    bool canBecomeFirstResponder() const override { return isEnabled(); }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;
    bool hasText() const override { return !text_.empty(); }
    void insertText(const std::string& text) override;
    void deleteBackward() override;

    void layoutSubviews() override;
    CGSize sizeThatFits(CGSize size) override;
    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;
    // The lines of text drawRect draws (bounds space): the text's (bullets
    // when secure) or, while it is empty, the placeholder's, as laid out in
    // their one-line-high rectangle: a text wider than that shows its first
    // line only.
    std::vector<NSAttributedString::DrawnLine> drawnLines();
    // The placeholder, unless a label was set explicitly.
    std::string accessibilityLabel() const override;
    // What the field shows as its text: bullets when secure.
    std::string accessibilityValue() const override;

protected:
    void firstResponderDidChange(bool isFirst) override;
    // Touch down and up; then the clear button clears, anywhere else the
    // field starts editing.
    void trackTapAt(CGPoint point) override;

private:
    static bool shows(UITextFieldViewMode mode, bool editing);
    bool showsClearButton() const;
    // Asks the delegate, applies the change and reports it; false when refused.
    bool replaceCharacters(NSRange range, const std::string& replacement);
    // After `text_` changed: its length in UTF-16 units when known.
    void textChanged(std::optional<std::size_t> units);
    void textDidChangeByEditing();
    void pressReturn();
    std::string shownText() const;
    // The line drawRect draws and the rectangle it draws it in; nothing
    // when there is neither text nor placeholder.
    struct DrawnString {
        TextLayout line;
        CGRect rect;
    };
    std::optional<DrawnString> drawnString();
    // Left and right padding of the border style.
    CGFloat borderPadding() const;
    void drawBorder() const;
    static void drawClearButton(CGRect rect);

    // The text's length in UTF-16 units, carried along while editing, so
    // typing a long text costs no scan of the text per character.
    std::size_t textUnits() const;

    std::string text_;
    mutable std::optional<std::size_t> textUnits_;
    std::optional<NSAttributedString> attributedText_;
    std::optional<NSAttributedString> attributedPlaceholder_;
    UIFont font_ = UIFont::systemFontOfSize(17);
    UIColor textColor_ = UIColor::blackColor();
    NSTextAlignment textAlignment_ = NSTextAlignment::Natural;
    UITextBorderStyle borderStyle_ = UITextBorderStyle::None;
    bool secureTextEntry_ = false;
    UIKeyboardType keyboardType_ = UIKeyboardType::Default;
    UIReturnKeyType returnKeyType_ = UIReturnKeyType::Default;
    UITextFieldViewMode clearButtonMode_ = UITextFieldViewMode::Never;
    Ref<UIView> leftView_;
    UITextFieldViewMode leftViewMode_ = UITextFieldViewMode::Never;
    Ref<UIView> rightView_;
    UITextFieldViewMode rightViewMode_ = UITextFieldViewMode::Never;
    WeakRef<UITextFieldDelegate> delegate_;
    bool editing_ = false;
};
