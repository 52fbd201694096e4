#pragma once

#include <string>

#include "uikit/UIViewController.h"

// The page laid over a top-up or recharge screen when the order was not
// found paid (yet): a card saying the payment is not confirmed and where the
// order can be followed. It never asks for a new order: the first one may
// still be paid a moment later. It has no button: the screen's back item
// leaves.
class KXChongzhishibaiViewController : public UIViewController {
public:
    // `records` names the list where the order shows (KXMoneyRequest::records).
    explicit KXChongzhishibaiViewController(std::string records);

    static constexpr const char* kHeadline = "支付尚未确认";
    // "订单支付结果尚未确认，请稍后在<records>中查看，无需重新下单".
    static std::string explanation(const std::string& records);

    void loadView() override;
    void viewDidLoad() override;
    // The page's background, #F5F5F5.
    void setupUI();

    std::string className() const override { return "KXChongzhishibaiViewController"; }

private:
    std::string records_;
};
