#include "frameworks/keyboard/IQKeyboardManager.h"

#include "foundation/NSNotificationCenter.h"
#include "uikit/UIControl.h"
#include "uikit/UINavigationBar.h"
#include "uikit/UITextField.h"
#include "uikit/UITextView.h"
#include "uikit/UITouch.h"
#include "uikit/UIWindow.h"

Ref<IQKeyboardManager> IQKeyboardManager::shared() {
    static const Ref<IQKeyboardManager> instance = make<IQKeyboardManager>();
    return instance;
}

void IQKeyboardManager::didCreate() {
    NSObject::didCreate();
    auto me = self<IQKeyboardManager>();
    resignGesture_ = make<UITapGestureRecognizer>(me, &IQKeyboardManager::tappedOutside);
    // The tapped view keeps its tap (a row still opens, a button still acts).
    resignGesture_->setCancelsTouchesInView(false);
    resignGesture_->setDelegate(me);
    WeakRef<IQKeyboardManager> weak = me;
    auto began = [weak](const Ref<NSNotification>& notification) {
        auto manager = weak.lock();
        if (manager) manager->editingBegan(cast<UIView>(notification->object()));
    };
    auto ended = [weak](const Ref<NSNotification>&) {
        if (auto manager = weak.lock()) manager->editingEnded();
    };
    auto centre = NSNotificationCenter::defaultCenter();
    centre->addObserver(me, began, UITextFieldTextDidBeginEditingNotification);
    centre->addObserver(me, began, UITextViewTextDidBeginEditingNotification);
    centre->addObserver(me, ended, UITextFieldTextDidEndEditingNotification);
    centre->addObserver(me, ended, UITextViewTextDidEndEditingNotification);
}

void IQKeyboardManager::editingBegan(const Ref<UIView>& field) {
    editingEnded();
    auto window = field ? field->window() : nullptr;
    if (window && enable_ && shouldResignOnTouchOutside_) window->addGestureRecognizer(resignGesture_);
}

void IQKeyboardManager::editingEnded() {
    if (auto view = resignGesture_->view()) view->removeGestureRecognizer(resignGesture_);
}

bool IQKeyboardManager::gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&,
                                                            const Ref<UITouch>& touch) {
    for (auto view = touch ? touch->view() : nullptr; view; view = view->superview()) {
        if (cast<UIControl>(view) || cast<UINavigationBar>(view)) return false;
    }
    return true;
}

void IQKeyboardManager::tappedOutside(const Ref<UIGestureRecognizer>& recognizer) {
    if (auto view = recognizer->view()) view->endEditing(true);
}
