#include "uikit/UIAlertController.h"

#include "uikit/AlertCardView.h"

namespace {

AlertCardView::ButtonRole roleOf(UIAlertActionStyle style) {
    switch (style) {
        case UIAlertActionStyle::Cancel: return AlertCardView::ButtonRole::Cancel;
        case UIAlertActionStyle::Destructive: return AlertCardView::ButtonRole::Destructive;
        case UIAlertActionStyle::Default: break;
    }
    return AlertCardView::ButtonRole::Default;
}

}  // namespace

UIAlertController::UIAlertController(std::string title, std::string message, UIAlertControllerStyle style)
    : message_(std::move(message)), style_(style) {
    setTitle(std::move(title));
    setModalPresentationStyle(UIModalPresentationStyle::OverFullScreen);
}

void UIAlertController::loadView() {
    setView(make<AlertCardView>(title(), message_, style_ == UIAlertControllerStyle::ActionSheet));
    updateButtons();
}

void UIAlertController::addAction(const Ref<UIAlertAction>& action) {
    if (!action) return;
    actions_.push_back(action);
    if (isViewLoaded()) updateButtons();
}

void UIAlertController::updateButtons() {
    std::vector<AlertCardView::Button> buttons;
    for (const auto& action : actions_) buttons.push_back({action->title(), roleOf(action->style())});
    WeakRef<UIAlertController> weak = self<UIAlertController>();
    auto card = std::static_pointer_cast<AlertCardView>(view());
    card->setButtons(std::move(buttons), [weak](std::size_t index) {
        if (auto alert = weak.lock(); alert && index < alert->actions_.size()) alert->actionTapped(alert->actions_[index]);
    });
}

void UIAlertController::actionTapped(const Ref<UIAlertAction>& action) {
    if (dismissing_ || !action) return;
    dismissing_ = true;
    dismissViewControllerAnimated(true, [action] {
        if (action->handler()) action->handler()(action);
    });
}
