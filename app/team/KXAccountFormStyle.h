#pragma once

#include "graphics/UIColor.h"
#include <string>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIButton;
class UITextField;
class UITextFieldDelegate;
class UIView;

// The looks the account pages share beside the team colours (KXTeamColors):
// colours of their own and the entry fields and buttons of their forms.
class KXAccountFormStyle {
public:
    KXAccountFormStyle() = delete;

    // An opaque colour from 0-255 components.
    static UIColor rgb(int red, int green, int blue);

    // Rounds the view's corners and clips its content to them.
    static void round(const Ref<UIView>& view, CGFloat radius);
    // An entry field of the forms: a 12 × 44 empty left view always shown
    // (the text inset), corners of 2, body text of 14 points on RGB(245,
    // 245, 252), the given delegate and outlet name.
    static Ref<UITextField> entryField(CGRect frame, const std::string& placeholder, const std::string& outlet,
                                       const Ref<UITextFieldDelegate>& delegate);
    // A form's submit button: white title on the accent, corners of 2.
    static Ref<UIButton> submitButton(CGRect frame, const std::string& title, const std::string& outlet);
};
