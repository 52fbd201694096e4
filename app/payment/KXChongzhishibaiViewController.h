#pragma once

#include <optional>
#include <string>

#include "uikit/UIViewController.h"

// The page laid over a top-up or recharge screen when the order was not
// found paid: a card saying so and where the order can be followed. When
// the back end answered, refusing the order's state, the card says what it
// said ("订单未支付") and that a paid order shows in the list. When no answer came, the order may still be paid a
// moment later: the card says the payment is not confirmed and that no new
// order is needed. It has no button: the screen's back item leaves.
class KXChongzhishibaiViewController : public UIViewController {
public:
    // `records` names the list where the order shows (KXMoneyRequest::records);
    // `refusal` is the back end's message, none when it did not answer.
    explicit KXChongzhishibaiViewController(std::string records, std::optional<std::string> refusal = std::nullopt);

    static constexpr const char* kHeadline = "支付尚未确认";
    // The headline when the back end refused the order's state.
    static constexpr const char* kRefusedHeadline = "支付未完成";
    // "订单支付结果尚未确认，请稍后在<records>中查看，无需重新下单".
    static std::string explanation(const std::string& records);
    // "<refusal>，支付成功的订单可在<records>中查看" (the lists show paid
    // orders only); "订单未支付" stands for a refusal without a message.
    static std::string refusalExplanation(const std::string& records, const std::string& refusal);

    void loadView() override;
    void viewDidLoad() override;
    // The page's background, #F5F5F5.
    void setupUI();

    std::string className() const override { return "KXChongzhishibaiViewController"; }

private:
    std::string records_;
    std::optional<std::string> refusal_;
};
