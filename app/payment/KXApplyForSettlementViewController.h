#pragma once

#include "uikit/UIButton.h"
#include "uikit/UIViewController.h"

// The "done" page that ends a settlement application (pushed) or a paid
// top-up (laid over the top-up screen): a card saying the request went
// through and a button back to the screen the flow was opened from.
class KXApplyForSettlementViewController : public UIViewController {
public:
    void loadView() override;
    void viewDidLoad() override;
    // Rounds the card (8) and titles the page "申请结算".
    void setupUI();
    // The done button: back to the flow's opener (KXFlowExit).
    void dianjiWanBut(const Ref<UIButton>& sender);

    Ref<UIView> beijingView() const { return beijingView_.lock(); }

    std::string className() const override { return "KXApplyForSettlementViewController"; }

private:
    WeakRef<UIView> beijingView_;
};
