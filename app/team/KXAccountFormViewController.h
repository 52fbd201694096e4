#pragma once

#include "app/payment/KXSingleRequest.h"
#include "uikit/UITextFieldDelegate.h"
#include "uikit/UIViewController.h"

// What the account forms share: return resigns the keyboard, a tap
// anywhere on the view ends editing, and a save is sent once at a time.
class KXAccountFormViewController : public UIViewController, public UITextFieldDelegate {
public:
    // Ends editing of the whole view.
    void tapView();
    bool textFieldShouldReturn(const Ref<UITextField>& textField) override;

protected:
    // Pops the screen, animated, when it is still the top of its stack (an
    // answer arriving after the user moved on closes nothing else).
    void closeIfOnTop();

    // A tap recogniser on the view calling tapView.
    void addTapToEndEditing();

    // The form's save: one at a time.
    KXSingleRequest saving_;
};
