#include "uikit/UIAlertView.h"

#include "uikit/AlertCardView.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

UIAlertView::UIAlertView(std::string title, std::string message, const Ref<UIAlertViewDelegate>& delegate,
                         std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : UIView(UIScreen::mainScreen()->bounds()),
      title_(std::move(title)),
      message_(std::move(message)),
      delegate_(delegate),
      hasCancelButton_(!cancelButtonTitle.empty()) {
    if (hasCancelButton_) buttonTitles_.push_back(std::move(cancelButtonTitle));
    for (auto& other : otherButtonTitles) buttonTitles_.push_back(std::move(other));
}

void UIAlertView::didCreate() {
    UIView::didCreate();
    card_ = make<AlertCardView>(title_, message_, false);
    card_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    std::vector<AlertCardView::Button> buttons;
    for (std::size_t i = 0; i < buttonTitles_.size(); ++i)
        buttons.push_back({buttonTitles_[i], hasCancelButton_ && i == 0 ? AlertCardView::ButtonRole::Cancel
                                                                        : AlertCardView::ButtonRole::Default});
    WeakRef<UIAlertView> weak = self<UIAlertView>();
    card_->setButtons(std::move(buttons), [weak](std::size_t index) {
        if (auto alert = weak.lock()) alert->buttonTapped(static_cast<long>(index));
    });
    addSubview(card_);
}

std::string UIAlertView::buttonTitleAtIndex(long index) const {
    return index >= 0 && index < numberOfButtons() ? buttonTitles_[static_cast<std::size_t>(index)] : std::string();
}

void UIAlertView::show() {
    if (window_) return;
    previousKeyWindow_ = UIApplication::sharedApplication()->keyWindow();
    window_ = make<UIWindow>();
    window_->setWindowLevel(UIWindowLevelAlert);
    setFrame(window_->bounds());
    card_->setFrame(bounds());
    window_->addSubview(self<UIView>());
    window_->makeKeyAndVisible();
}

void UIAlertView::buttonTapped(long index) {
    Ref<UIAlertView> me = self<UIAlertView>();
    if (auto delegate = delegate_.lock()) delegate->clickedButtonAtIndex(me, index);
    dismissWithClickedButtonIndex(index, true);
}

void UIAlertView::dismissWithClickedButtonIndex(long buttonIndex, bool) {
    if (!window_) return;
    Ref<UIAlertView> me = self<UIAlertView>();
    Ref<UIWindow> window = std::move(window_);
    removeFromSuperview();
    window->setHidden(true);
    if (auto previous = previousKeyWindow_.lock(); previous && !previous->isHidden()) previous->makeKeyWindow();
    if (auto delegate = delegate_.lock()) delegate->didDismissWithButtonIndex(me, buttonIndex);
}
