#pragma once

#include <functional>
#include <string>
#include <vector>

#include "uikit/UIView.h"

class UILabel;

// What alerts draw: a dimmed full-screen backdrop with a white card holding
// the title, the message and one button per action. An alert's card sits in
// the middle, 270 points wide, its buttons stacked (two buttons side by
// side); an action sheet's card sits at the bottom, screen-wide less 8-point
// margins. Buttons are drawn blue, destructive ones red, the cancel one
// bold; a tap on a button reports its index in the list given.
class AlertCardView : public UIView {
public:
    enum class ButtonRole { Default, Cancel, Destructive };
    struct Button {
        std::string title;
        ButtonRole role = ButtonRole::Default;
    };

    AlertCardView(std::string title, std::string message, bool actionSheet);

    // Replaces the buttons; `tapped` gets the index in `buttons`.
    void setButtons(std::vector<Button> buttons, std::function<void(std::size_t)> tapped);
    void layoutSubviews() override;

protected:
    void didCreate() override;

private:
    std::string title_;
    std::string message_;
    bool actionSheet_;
    Ref<UIView> card_;
    Ref<UILabel> titleLabel_;
    Ref<UILabel> messageLabel_;
    // In drawing order (top to bottom, or left to right for a pair).
    std::vector<Ref<UIView>> buttonViews_;
};
