#pragma once

#include <optional>
#include <string>

#include "app/payment/KXMoney.h"
#include "app/payment/KXMoneyRequest.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITextField.h"
#include "uikit/UIViewController.h"

// The 申请结算 screen: the promoter applies for the payout of commission.
// Under a card with the promoter's avatar and name stands the amount field,
// whose placeholder tells the settleable amount, with a 全部 button that
// fills it in whole; a hint strip and the 提交 button follow. Every
// appearance asks the back end for the promoter's data ("my") and takes its
// `shareMoney` as the settleable amount; submitting checks the amount and
// sends "jiesuan", and a success pushes the done page. The right bar item
// 结算明细 opens the settlement details.
//
// The views are built in code with fixed frames from the main screen's
// width and carry their property names as accessibility identifiers.
class KXApplyjiesuanViewController : public UIViewController {
public:
    // The settleable amount as the back end gives it; unset until an opener
    // or the "my" answer sets it.
    const std::optional<std::string>& jisuanStr() const { return jisuanStr_; }
    void setJisuanStr(std::string amount) { jisuanStr_ = std::move(amount); }

    const Ref<UIView>& navigationTopView() const { return navigationTopView_; }
    const Ref<UIImageView>& icoIamgeView() const { return icoIamgeView_; }
    const Ref<UILabel>& zhanghaoLabel() const { return zhanghaoLabel_; }
    const Ref<UIView>& kesuanjianView() const { return kesuanjianView_; }
    const Ref<UITextField>& manaTextField() const { return manaTextField_; }
    // What is wrong with the typed amount, under the field.
    const Ref<UILabel>& amountHint() const { return amountHint_; }
    const Ref<UIView>& tishiView() const { return tishiView_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The title and the 结算明细 bar item.
    void setupNavigate();
    // The cards, the hint strip and the submit button.
    void setupUI();
    // The amount card with its currency icon, field and 全部 button.
    void addkesuanjianView();
    // The placeholder, the user name and the avatar.
    void setUpshuxing();
    // Asks "my" for the settleable amount.
    void fasongwanglu();
    // The 结算明细 bar item: pushes the settlement details.
    void rightBarButtonTap();
    // The 全部 button: the whole settleable amount, to the fen, into the
    // field.
    void quanbu();
    // The 提交 button: checks the amount, then sends "jiesuan".
    void submit();
    // The amount field's every edit: the hint follows it.
    void amountChanged(const Ref<UIControl>& sender);

    std::string className() const override { return "KXApplyjiesuanViewController"; }

private:
    // The settleable amount in whole fen, cut down to the fen whatever its
    // decimals (600.505 and "600.5099999999999999999" are 600.50); 0 while it
    // is unknown or no amount.
    KXMoney settleableAmount() const;
    // "可结算金额: <amount>"; the amount is left out while it is unknown.
    void showSettleableAmount();
    // Asks "my" for the settleable amount, then runs `reloaded`; `quietly`:
    // a refusal or a failure shows nothing.
    void loadSettleableAmount(KXMoneyRequest::Reloaded reloaded, bool quietly);

    std::optional<std::string> jisuanStr_;
    Ref<UIView> navigationTopView_;
    Ref<UIImageView> icoIamgeView_;
    Ref<UILabel> zhanghaoLabel_;
    Ref<UIView> kesuanjianView_;
    Ref<UITextField> manaTextField_;
    Ref<UILabel> amountHint_;
    Ref<UIView> tishiView_;
    // "jiesuan": one application at a time; after an unknown result, none
    // until the settleable amount has been loaded again.
    KXMoneyRequest applying_{"", "结算明细"};
    KXScreenLoads loads_;
};
