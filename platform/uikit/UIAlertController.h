#pragma once

#include <string>
#include <vector>

#include "uikit/UIAlertAction.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIViewController.h"

enum class UIAlertControllerStyle { ActionSheet = 0, Alert = 1 };

// An alert or action sheet, shown by presenting it: it covers the window
// with a dimmed backdrop while the presenter stays on screen (and hears no
// appear or disappear callbacks). A tap on an action's button dismisses
// the alert, animated, and then runs the action's handler, as UIKit does.
class UIAlertController : public UIViewController {
public:
    UIAlertController(std::string title, std::string message, UIAlertControllerStyle style);
    static Ref<UIAlertController> alertControllerWithTitle(std::string title, std::string message,
                                                           UIAlertControllerStyle preferredStyle) {
        return make<UIAlertController>(std::move(title), std::move(message), preferredStyle);
    }

    const std::string& message() const { return message_; }
    UIAlertControllerStyle preferredStyle() const { return style_; }
    void addAction(const Ref<UIAlertAction>& action);
    const std::vector<Ref<UIAlertAction>>& actions() const { return actions_; }
    // Kept for tablets; always there.
    Ref<UIPopoverPresentationController> popoverPresentationController() const { return popover_; }

    // What a tap on the action's button does (the driver taps the button).
    void actionTapped(const Ref<UIAlertAction>& action);
    std::string className() const override { return "UIAlertController"; }

protected:
    void loadView() override;

private:
    void updateButtons();

    std::string message_;
    UIAlertControllerStyle style_;
    std::vector<Ref<UIAlertAction>> actions_;
    Ref<UIPopoverPresentationController> popover_ = make<UIPopoverPresentationController>();
    bool dismissing_ = false;
};
