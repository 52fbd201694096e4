#include "app/team/KXRowActionButton.h"

Ref<UIButton> KXRowActionButton::buttonWithTitle(const std::string& title, CGRect frame, UIColor background) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->setBackgroundColor(background);
    button->layer()->setCornerRadius(2);
    button->layer()->setMasksToBounds(true);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    button->setUserInteractionEnabled(true);
    return button;
}
