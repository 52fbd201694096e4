#pragma once

#include "uikit/UIViewController.h"

// The page laid over a top-up or recharge screen when the order was not
// paid: a card saying so. It has no button: the screen's back item leaves.
class KXChongzhishibaiViewController : public UIViewController {
public:
    void loadView() override;
    void viewDidLoad() override;
    // The page's background, #F5F5F5.
    void setupUI();

    std::string className() const override { return "KXChongzhishibaiViewController"; }
};
