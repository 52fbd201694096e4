#pragma once

#include <optional>
#include <string>

#include "app/payment/KXMoneyRequest.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

// The 充值 screen: the promoter adds money to the prepaid balance. The
// promoter types an amount; "recharge" answers with an order and its
// payment page, which is pushed in the web page screen. Every time the
// screen appears again after an order, it asks for the last order's state
// ("recharge_log") and lays the success page over itself, or, when the order
// was not found paid or no answer came, the page saying the payment is not
// confirmed yet. The success page shows the balance the back end then
// answers ("yufu").
//
// The pusher sets `cunchuStr`, the balance before the recharge; one that
// has none to give (its own data not loaded yet) leaves it empty, and the
// screen asks "yufu" for it when it loads. The card
// with the amount entry and the submit button are built in code; outlets
// are weak and carry their names as accessibility identifiers.
class KXChangchyongViewController : public UIViewController {
public:
    // The prepaid balance: the pusher's, then the back end's after a
    // recharge.
    const std::optional<std::string>& cunchuStr() const { return cunchuStr_; }
    void setCunchuStr(std::string balance) { cunchuStr_ = std::move(balance); }
    // The amount of the last submitted recharge, as typed.
    const std::optional<std::string>& chongzhijinger() const { return chongzhijinger_; }
    // The last recharge order; none before the first.
    const std::optional<std::string>& oidStr() const { return oidStr_; }

    Ref<UIView> kapianView() const { return kapianView_.lock(); }
    Ref<UILabel> jingELabel() const { return jingELabel_.lock(); }
    Ref<UIView> zhanghuzongeLabel() const { return zhanghuzongeLabel_.lock(); }
    Ref<UITextField> shurutextField() const { return shurutextField_.lock(); }
    Ref<UIButton> tijianbut() const { return tijianbut_.lock(); }
    // What is wrong with the typed amount, under the field.
    Ref<UILabel> amountHint() const { return amountHint_.lock(); }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Background, title, the card's corners and the balance label.
    void setupshuxing();
    // The tap that ends editing, the card's background, the submit action.
    void setupUI();
    void tapview();
    // The amount field's every edit: the hint follows it.
    void amountChanged(const Ref<UIControl>& sender);
    // The submit button: checks the amount, then sendNetworkRequest.
    void tijiaoTap();
    // Sends "recharge"; a success pushes the payment page.
    void sendNetworkRequest();
    // Sends "recharge_log" for the last order and lays its result page
    // (KXMoneyRequest::askOrderState).
    void chaxundingdang();
    // Asks "yufu" for the balance after the paid order, then lays the
    // success page.
    void showPaid();

    std::string className() const override { return "KXChangchyongViewController"; }

private:
    // After an order's unknown result: "yufu" quietly into the balance
    // label, then `reloaded`.
    KXMoneyRequest::Reload balanceReload();
    // Loads the prepaid balance and shows it; `reloaded` runs once it ended.
    // `quietly`: a refusal or a failure shows nothing.
    void loadPrepaidBalance(KXMoneyRequest::Reloaded reloaded, bool quietly);
    // The balance a "yufu" answer gives, into `cunchuStr` and its label.
    void takeBalance(const Value& answer);

    std::optional<std::string> cunchuStr_;
    std::optional<std::string> chongzhijinger_;
    std::optional<std::string> oidStr_;
    // "recharge": one order at a time; after an unknown result, none until
    // the balance has been loaded again.
    KXMoneyRequest ordering_{"", "充值记录"};
    KXScreenLoads loads_;
    WeakRef<UIView> kapianView_;
    WeakRef<UILabel> jingELabel_;
    WeakRef<UIView> zhanghuzongeLabel_;
    WeakRef<UITextField> shurutextField_;
    WeakRef<UIButton> tijianbut_;
    WeakRef<UILabel> amountHint_;
};
