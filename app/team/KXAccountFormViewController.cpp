#include "app/team/KXAccountFormViewController.h"

#include "uikit/UINavigationController.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITextField.h"

void KXAccountFormViewController::tapView() { view()->endEditing(true); }

bool KXAccountFormViewController::textFieldShouldReturn(const Ref<UITextField>& textField) {
    textField->resignFirstResponder();
    return true;
}

void KXAccountFormViewController::addTapToEndEditing() {
    view()->addGestureRecognizer(
        make<UITapGestureRecognizer>(self<KXAccountFormViewController>(), &KXAccountFormViewController::tapView));
}

void KXAccountFormViewController::closeIfOnTop() {
    auto navigation = navigationController();
    if (navigation && navigation->topViewController() == self<UIViewController>()) navigation->popViewControllerAnimated(true);
}
