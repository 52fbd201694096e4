#include "app/team/KXAccountFormStyle.h"

#include "app/team/KXTeamColors.h"
#include "graphics/UIFont.h"
#include "uikit/UIButton.h"
#include "uikit/UITextField.h"

UIColor KXAccountFormStyle::rgb(int red, int green, int blue) {
    return UIColor::colorWithRed(red / 255.0, green / 255.0, blue / 255.0, 1);
}

void KXAccountFormStyle::round(const Ref<UIView>& view, CGFloat radius) {
    view->layer()->setCornerRadius(radius);
    view->setClipsToBounds(true);
}

Ref<UITextField> KXAccountFormStyle::entryField(CGRect frame, const std::string& placeholder, const std::string& outlet,
                                                const Ref<UITextFieldDelegate>& delegate) {
    auto field = make<UITextField>(frame);
    field->setAccessibilityIdentifier(outlet);
    field->setPlaceholder(placeholder);
    field->setTextColor(KXTeamColors::bodyText());
    field->setFont(UIFont::systemFontOfSize(14));
    field->setBackgroundColor(rgb(245, 245, 252));
    field->setLeftView(make<UIView>(CGRectMake(0, 0, 12, 44)));
    field->setLeftViewMode(UITextFieldViewMode::Always);
    round(field, 2);
    field->setDelegate(delegate);
    return field;
}

Ref<UIButton> KXAccountFormStyle::submitButton(CGRect frame, const std::string& title, const std::string& outlet) {
    auto button = make<UIButton>(frame);
    button->setAccessibilityIdentifier(outlet);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->setBackgroundColor(KXTeamColors::accentBlue());
    round(button, 2);
    return button;
}
