#include "uikit/UIViewController.h"

#include "uikit/UIScreen.h"

Ref<UIView> UIViewController::view() {
    if (!view_) {
        loadView();
        if (!view_) setView(make<UIView>(UIScreen::mainScreen()->bounds()));
        viewDidLoad();
    }
    return view_;
}

void UIViewController::setView(const Ref<UIView>& view) {
    if (view_ && view_->owningViewController().get() == this) view_->setOwningViewController(nullptr);
    view_ = view;
    if (view_) view_->setOwningViewController(self<UIViewController>());
}

void UIViewController::loadView() { setView(make<UIView>(UIScreen::mainScreen()->bounds())); }

Ref<UIResponder> UIViewController::nextResponder() const { return view_ ? view_->superview() : nullptr; }
