#pragma once

#include <string>

#include "uikit/UILabel.h"
#include "uikit/UITextView.h"

// A multi-line text input that shows a grey placeholder while it is empty.
// The placeholder follows the view's own edits (its change notifications):
// text set in code leaves it as it is until the next edit.
class LFOpinionView : public UITextView {
public:
    using UITextView::UITextView;
    ~LFOpinionView() override;

    const std::string& placeholder() const { return placeholder_; }
    // Shown at once; the label is sized at the next layout pass.
    void setPlaceholder(std::string placeholder);
    Ref<UILabel> placeholderLable() const { return placeholderLable_.lock(); }

    // The text view's font and the placeholder's.
    void setFont(const UIFont& font) override;
    void layoutSubviews() override;
    // Hides the placeholder while there is text.
    void textDidChange();

protected:
    void didCreate() override;

private:
    std::string placeholder_;
    WeakRef<UILabel> placeholderLable_;
};
